// The console on Windows: text to a console window goes as UTF-16 through
// WriteConsoleW, so the Chinese shows whatever the console's code page;
// pipes and files get the UTF-8 bytes as they are.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <cstring>
#include <optional>
#include <string>

#include "cli/standard.h"
#include "platform/win32/text.h"

namespace velmora::cli {
namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

class HandleSink final : public Sink {
 public:
  explicit HandleSink(DWORD which) : handle_(GetStdHandle(which)), console_(IsConsole(handle_)) {}

  // The commands write whole lines, so no character is ever split here.
  bool Write(std::string_view bytes) override {
    if (console_) {
      const std::wstring wide = win32::Widen(bytes);
      std::wstring_view rest = wide;
      while (!rest.empty()) {
        DWORD wrote = 0;
        const auto chunk = static_cast<DWORD>(rest.size() < 8192 ? rest.size() : 8192);
        if (WriteConsoleW(handle_, rest.data(), chunk, &wrote, nullptr) == 0 || wrote == 0) {
          return false;
        }
        rest.remove_prefix(wrote);
      }
      return true;
    }
    while (!bytes.empty()) {
      DWORD wrote = 0;
      const auto chunk = static_cast<DWORD>(bytes.size() < (1U << 20) ? bytes.size() : 1U << 20);
      if (WriteFile(handle_, bytes.data(), chunk, &wrote, nullptr) == 0 || wrote == 0) {
        return false;
      }
      bytes.remove_prefix(wrote);
    }
    return true;
  }

 private:
  HANDLE handle_;
  bool console_;
};

class HandleSource final : public Source {
 public:
  HandleSource() : handle_(GetStdHandle(STD_INPUT_HANDLE)), console_(IsConsole(handle_)) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE || ended_) {
      return 0;
    }
    if (console_) {
      return ReadTyped(buffer, size);
    }
    DWORD got = 0;
    const auto want = static_cast<DWORD>(size < (1U << 20) ? size : 1U << 20);
    if (ReadFile(handle_, buffer, want, &got, nullptr) == 0) {
      // A pipe whose writer has gone is the end of the input.
      failed = GetLastError() != ERROR_BROKEN_PIPE;
      return 0;
    }
    return got;
  }

 private:
  // Typed lines come as UTF-16; a line starting with Ctrl+Z ends the input.
  std::size_t ReadTyped(char* buffer, std::size_t size) {
    while (pending_.empty()) {
      wchar_t wide[4096];
      DWORD got = 0;
      if (ReadConsoleW(handle_, wide, 4096, &got, nullptr) == 0) {
        failed = true;
        return 0;
      }
      if (got == 0 || wide[0] == L'\x1a') {
        ended_ = true;
        return 0;
      }
      std::wstring text = high_surrogate_ + std::wstring(wide, got);
      high_surrogate_.clear();
      if (text.back() >= 0xD800 && text.back() <= 0xDBFF) {
        high_surrogate_ = text.back();  // its pair comes with the next read
        text.pop_back();
      }
      pending_ = win32::Narrow(text);
    }
    const std::size_t n = pending_.size() < size ? pending_.size() : size;
    pending_.copy(buffer, n);
    pending_.erase(0, n);
    return n;
  }

  HANDLE handle_;
  bool console_;
  bool ended_ = false;
  std::string pending_;
  std::wstring high_surrogate_;
};

}  // namespace

struct StandardSystem::Streams {
  HandleSink out{STD_OUTPUT_HANDLE};
  HandleSink err{STD_ERROR_HANDLE};
  HandleSource in;
};

StandardSystem::StandardSystem() : streams_(std::make_unique<Streams>()) {}
StandardSystem::~StandardSystem() = default;
Sink& StandardSystem::Out() { return streams_->out; }
Sink& StandardSystem::Err() { return streams_->err; }
Source& StandardSystem::In() { return streams_->in; }

// The whole file goes to the disk before the name moves to it, so a crash
// leaves the old file or the new one, never half of one.
bool StandardSystem::ReplaceFile(const std::string& from, const std::string& to,
                                 std::string& error) {
  if (MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    error = "the file could not be replaced (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  return true;
}

// A file is one volume's serial number and one file id: FileIdInfo where
// the system has it (Wine answers for standard input only there), else the
// 64-bit file index.
namespace {

std::optional<FILE_ID_INFO> FileIdentity(HANDLE handle) {
  FILE_ID_INFO id{};
  if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id) != 0) {
    return id;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(handle, &info) == 0) {
    return std::nullopt;
  }
  id.VolumeSerialNumber = info.dwVolumeSerialNumber;
  const DWORD index[] = {info.nFileIndexLow, info.nFileIndexHigh};
  std::memcpy(id.FileId.Identifier, index, sizeof index);
  return id;
}

}  // namespace

bool StandardSystem::IsStandardInput(const std::string& path) {
  const std::optional<FILE_ID_INFO> in = FileIdentity(GetStdHandle(STD_INPUT_HANDLE));
  if (!in) {
    return false;
  }
  const HANDLE named = CreateFileW(win32::Widen(path).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (named == INVALID_HANDLE_VALUE) {
    return false;
  }
  const std::optional<FILE_ID_INFO> file = FileIdentity(named);
  CloseHandle(named);
  // Wine gives standard input a volume serial of 0: unknown, not another.
  return file &&
         (in->VolumeSerialNumber == 0 || file->VolumeSerialNumber == in->VolumeSerialNumber) &&
         std::memcmp(file->FileId.Identifier, in->FileId.Identifier, sizeof in->FileId) == 0;
}

std::vector<std::string> Arguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {
    return args;
  }
  for (int i = 1; i < count; ++i) {
    args.push_back(win32::Narrow(wide[i]));
  }
  LocalFree(wide);
  return args;
}

}  // namespace velmora::cli
