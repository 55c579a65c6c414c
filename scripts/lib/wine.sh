# Wine on this host, for the scripts that run the Windows builds (sourced,
# not run). One place decides whether this host can run the 32-bit build:
# some kernels carry no IA32 emulation, and there the 32-bit Wine loader,
# like every 32-bit program, fails with "Exec format error". The 64-bit
# build runs on every x86-64 host through the 64-bit loader.
#
#   VELMORA_WINE32=0   take "no" for an answer without trying
#   VELMORA_WINE32=1   take "yes" without trying
# Anything else: try the 32-bit loader once and remember the answer in
# VELMORA_WINE32, so child processes agree without trying again.

velmora_wine32_loader=/usr/lib/wine/wine
velmora_wine64_loader=/usr/lib/wine/wine64
velmora_no32_reason="this kernel runs no 32-bit programs"

# Succeeds when this host runs 32-bit x86 programs. Decided by running one.
velmora_runs_32bit() {
  case "${VELMORA_WINE32:-}" in
    0) return 1 ;;
    1) return 0 ;;
  esac
  local out
  if [ ! -x "$velmora_wine32_loader" ]; then
    VELMORA_WINE32=0  # no 32-bit Wine to try with: nothing 32-bit can run here
  elif out=$("$velmora_wine32_loader" --version 2>&1); then
    VELMORA_WINE32=1
  else
    case "$out" in
      *"Exec format error"*) ;;
      *) echo "wine: the 32-bit Wine loader fails here: ${out%%$'\n'*}" >&2 ;;
    esac
    VELMORA_WINE32=0
  fi
  export VELMORA_WINE32
  [ "$VELMORA_WINE32" = 1 ]
}

# The bitness of a Windows program (32 or 64), read from its PE header;
# empty when the file is no Windows program.
velmora_pe_bits() {
  local file=$1 pe machine
  pe=$(od -An -tu4 -j60 -N4 "$file" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] || return 0
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$file" 2>/dev/null | tr -d ' ')
  case "$machine" in
    014c) echo 32 ;;
    8664) echo 64 ;;
  esac
}

# Sets WINELOADER and WINEARCH for a build of the given bitness, after
# checking that Wine can run it here; otherwise says why in one line and
# fails (status 77 when this host runs no 32-bit programs, 2 when Wine is
# missing).
velmora_use_wine() {
  local bits=$1
  if [ "$bits" = 32 ]; then
    if ! velmora_runs_32bit; then
      [ -x "$velmora_wine32_loader" ] || {
        echo "wine: 32-bit Wine is not installed ($velmora_wine32_loader is missing; scripts/setup installs it)" >&2
        return 2
      }
      echo "wine: cannot run the 32-bit build: $velmora_no32_reason" >&2
      return 77
    fi
    export WINELOADER=$velmora_wine32_loader WINEARCH=win32
  else
    [ -x "$velmora_wine64_loader" ] || {
      echo "wine: 64-bit Wine is not installed ($velmora_wine64_loader is missing; scripts/setup installs it)" >&2
      return 2
    }
    export WINELOADER=$velmora_wine64_loader WINEARCH=win64
  fi
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  # Wine turns a program's command line from the locale's character set into
  # UTF-16: without a UTF-8 locale (a bare system, or an emptied
  # environment, has none set) a Chinese file name or text would reach the
  # program garbled.
  case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
    *UTF-8* | *utf8* | *UTF8* | *utf-8*) ;;
    *) export LC_ALL=C.UTF-8 ;;
  esac
}

# Starts a virtual X display of its own (a free number chosen by Xvfb) and
# exports DISPLAY; VELMORA_XVFB_PID names the server for velmora_stop_display.
velmora_start_display() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  VELMORA_XVFB_PID=$!
  local i
  for i in $(seq 200); do
    [ -s "$fdfile" ] && break
    kill -0 "$VELMORA_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  if [ ! -s "$fdfile" ]; then
    rm -f "$fdfile"
    echo "display: the virtual X display (Xvfb) did not start" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
  rm -f "$fdfile"
}

velmora_stop_display() {
  [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null
  VELMORA_XVFB_PID=
}

# Stops the Wine servers of the named builds' prefixes (build/<preset>/
# wineprefix*), run from the source folder.
velmora_stop_wine() {
  local preset prefix
  for preset in "$@"; do
    for prefix in "build/$preset"/wineprefix*; do
      if [ -d "$prefix" ]; then
        WINEPREFIX=$PWD/$prefix wineserver -k 2>/dev/null || true
      fi
    done
  done
}
