// Files for the road window: read whole, written whole (to a temporary file
// beside the target, renamed over it only once complete), and the open and
// save dialogs.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmora::win32 {

// The file's bytes, or nothing with the system's reason in `error`.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::string& error);

// Writes `bytes` to a temporary file in the target's folder and renames it
// over `path` (replacing it, written through) once complete; on any
// failure the temporary file is removed and `path` is as it was.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes, std::string& error);

// The last part of a path: "road.csv" of "C:\\roads\\road.csv".
std::wstring FileNameOf(const std::wstring& path);

// The file dialogs; `filter` as OPENFILENAMEW takes it ("名称\0*.csv\0...\0").
// Nothing when the user cancels. `filter_index` gets the type chosen.
std::optional<std::wstring> AskOpenFile(HWND owner, const wchar_t* title, const wchar_t* filter);
std::optional<std::wstring> AskSaveFile(HWND owner, const wchar_t* title, const wchar_t* filter,
                                        const wchar_t* default_extension, DWORD& filter_index);

}  // namespace velmora::win32
