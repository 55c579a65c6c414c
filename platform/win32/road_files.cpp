#include "platform/win32/road_files.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/text.h"

namespace velmora::win32 {
namespace {

std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length > 0 && buffer != nullptr ? std::wstring(buffer, length) : L"";
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return "系统错误 " + std::to_string(code) + (text.empty() ? "" : "：" + Narrow(text));
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (ok()) {
      CloseHandle(handle_);
      handle_ = INVALID_HANDLE_VALUE;
    }
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::string& error) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    error = SystemMessage(GetLastError());
    return std::nullopt;
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > (1ull << 30)) {
    error = "文件无法读取或超过 1 GB";
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) {
      error = SystemMessage(GetLastError());
      return std::nullopt;
    }
    if (got == 0) {
      break;
    }
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes, std::string& error) {
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash);
  wchar_t temporary[MAX_PATH + 16] = {};
  if (folder.size() > MAX_PATH - 14 ||
      GetTempFileNameW(folder.c_str(), L"vlm", 0, temporary) == 0) {
    error = SystemMessage(GetLastError());
    return false;
  }
  bool written = false;
  {
    Handle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    written = file.ok();
    std::size_t done = 0;
    while (written && done < bytes.size()) {
      DWORD put = 0;
      const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
      written = WriteFile(file.get(), bytes.data() + done, want, &put, nullptr) != 0 && put > 0;
      done += put;
    }
    written = written && FlushFileBuffers(file.get()) != 0;
    if (!written) {
      error = SystemMessage(GetLastError());
    }
  }
  if (written &&
      !MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = SystemMessage(GetLastError());
    written = false;
  }
  if (!written) {
    DeleteFileW(temporary);
  }
  return written;
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::optional<std::wstring> AskOpenFile(HWND owner, const wchar_t* title, const wchar_t* filter) {
  std::vector<wchar_t> path(32768, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = title;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) {
    return std::nullopt;
  }
  return std::wstring(path.data());
}

std::optional<std::wstring> AskSaveFile(HWND owner, const wchar_t* title, const wchar_t* filter,
                                        const wchar_t* default_extension, DWORD& filter_index) {
  std::vector<wchar_t> path(32768, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = filter_index;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = title;
  dialog.lpstrDefExt = default_extension;
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&dialog)) {
    return std::nullopt;
  }
  filter_index = dialog.nFilterIndex;
  return std::wstring(path.data());
}

}  // namespace velmora::win32
