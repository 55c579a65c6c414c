#include "platform/win32/text.h"

#include <climits>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace velmora::win32 {

std::wstring Widen(std::string_view utf8) {
  std::wstring wide;
  if (utf8.empty() || utf8.size() > INT_MAX) {
    return wide;
  }
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  wide.resize(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view utf16) {
  std::string narrow;
  // Up to four UTF-8 bytes a unit (a lone surrogate's U+FFFD takes three).
  if (utf16.empty() || utf16.size() > INT_MAX / 4) {
    return narrow;
  }
  const int size = static_cast<int>(utf16.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(length));
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace velmora::win32
