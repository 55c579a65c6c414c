#!/usr/bin/env bash
# The GUI tests' fixture: keeps Wine's desktop up from the first GUI test to
# the last (see desktop_keeper.cpp), in the build's own Wine prefix.
#
#   desktop.sh up <wine-run> <desktop_keeper.exe>
#   desktop.sh down <wine-run> <desktop_keeper.exe>
set -euo pipefail
action=$1
wine_run=$2
keeper=$3
case "$action" in
  up)
    # Away from the test runner's output, which it would wait on until the
    # holder ends; in a session of its own, so the runner's end of the test
    # does not end it.
    setsid "$wine_run" "$keeper" </dev/null >/dev/null 2>&1 &
    status=0
    "$wine_run" "$keeper" --ready || status=$?
    [ "$status" = 77 ] && echo "desktop: this host cannot run this build: nothing to keep up"
    [ "$status" = 0 ] || [ "$status" = 77 ] || exit "$status"
    ;;
  down)
    status=0
    "$wine_run" "$keeper" --stop || status=$?
    [ "$status" = 0 ] || [ "$status" = 77 ] || exit "$status"
    ;;
  *)
    echo "desktop.sh: up or down, not $action" >&2
    exit 2
    ;;
esac
