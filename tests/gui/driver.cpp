#include "driver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace velmora::gui {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(2ms);  // poll interval
  }
  return true;
}

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& utf16) {
  if (utf16.empty()) {
    return {};
  }
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring ExePath() {
  if (const char* path = std::getenv("VELMORA_EXE")) {
    return Widen(path);
  }
  // The build puts the tests in <build>/tests/gui and the exe in <build>/app.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  for (int up = 0; up < 3; ++up) {
    path.resize(path.find_last_of(L"\\/"));
  }
  return path + L"\\app\\Velmora.exe";
}

namespace {

std::wstring GetText(HWND hwnd) {
  const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied =
      SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

struct Found {
  DWORD pid;
  const wchar_t* window_class;
  std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (pid == found->pid && IsWindowVisible(hwnd) && std::wstring(name) == found->window_class) {
    found->windows.push_back(hwnd);
  }
  return TRUE;
}

std::vector<HWND> TopLevel(DWORD pid, const wchar_t* window_class) {
  Found found{pid, window_class, {}};
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

void AddKey(std::vector<INPUT>& inputs, WORD vk) {
  const auto scan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  inputs.push_back(KeyInput(vk, scan, 0));
  inputs.push_back(KeyInput(vk, scan, KEYEVENTF_KEYUP));
}

}  // namespace

App::App() {
  std::wstring command = L"\"" + ExePath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    return;
  }
  WaitFor(
      [this] {
        const auto windows = TopLevel(process_.dwProcessId, L"Velmora.Form1");
        window_ = windows.empty() ? nullptr : windows.front();
        return window_ != nullptr && GetDlgItem(window_, kTextka) != nullptr;
      },
      20000ms);
  // The window is shown before it is activated and its first control has
  // the focus; wait until the program is ready for input.
  WaitForInputIdle(process_.hProcess, 5000);
}

App::~App() {
  if (attached_) {
    AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window_, nullptr), FALSE);
  }
  if (Alive()) {
    for (int i = 0; i < 3 && OpenBoxes() > 0; ++i) {
      CloseBox();
    }
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
  }
  WaitForClickThread();  // its SendMessage returns once the program is gone
  if (process_.hProcess != nullptr) {
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

bool App::Alive() const {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string App::Text(int id) const { return Narrow(GetText(Control(id))); }

void App::SetText(int id, const std::string& text) {
  const std::wstring wide = Widen(text);
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void App::FillInputs(const std::vector<std::string>& six) {
  const int ids[] = {kTextka, kTextkb, kTextra, kTextrb, kTextki, kTextca};
  for (std::size_t i = 0; i < six.size() && i < 6; ++i) {
    SetText(ids[i], six[i]);
  }
}

void App::WaitForClickThread() {
  if (click_thread_.joinable()) {
    click_thread_.join();
  }
}

void App::Click(int id) {
  WaitForClickThread();
  HWND button = Control(id);
  // The click runs the command on the program's thread; a message box keeps
  // it there until closed, so send it from a thread of our own.
  auto finished = std::make_shared<std::atomic<bool>>(false);
  click_done_ = finished;
  click_thread_ = std::thread([button, finished] {
    SendMessageW(button, BM_CLICK, 0, 0);
    *finished = true;
  });
  WaitFor([&] { return finished->load() || OpenBoxes() > 0; }, 10000ms);
  if (*finished) {
    click_thread_.join();
  }
}

std::optional<MessageBoxInfo> App::Box() const {
  const auto boxes = TopLevel(process_.dwProcessId, L"#32770");
  if (boxes.empty()) {
    return std::nullopt;
  }
  MessageBoxInfo info;
  info.hwnd = boxes.front();
  info.title = Narrow(GetText(info.hwnd));
  for (HWND child = GetWindow(info.hwnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (std::wstring(name) != L"Static") {
      continue;
    }
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
      // Icon handles are the box's own, so only its presence can be seen
      // from here; an OK-only box with an icon is style 64's.
      info.information_icon = icon != nullptr;
    } else if (const std::wstring text = GetText(child); !text.empty()) {
      info.prompt = Narrow(text);
    }
  }
  return info;
}

int App::OpenBoxes() const {
  return static_cast<int>(TopLevel(process_.dwProcessId, L"#32770").size());
}

void App::CloseBox() {
  if (const auto box = Box()) {
    PostMessageW(box->hwnd, WM_COMMAND, IDOK, 0);
    WaitFor([this] { return OpenBoxes() == 0; });
  }
  // The command goes on after the box; wait until it has finished.
  if (click_thread_.joinable() &&
      WaitFor([this] { return click_done_->load() || OpenBoxes() > 0; }, 10000ms) &&
      click_done_->load()) {
    click_thread_.join();
  }
}

void App::Foreground() {
  if (!attached_) {
    // Attach once and stay attached: attaching again resets the key state.
    attached_ = AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window_, nullptr),
                                  TRUE) != FALSE;
  }
  // The window, or a message box of the program's, must be in front.
  const auto in_front = [this] {
    DWORD pid = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &pid);
    return pid == process_.dwProcessId;
  };
  // Asked again while waiting: a window that is still going away (the last
  // test's) may take the request first.
  WaitFor([&] {
    if (in_front()) {
      return true;
    }
    SetForegroundWindow(window_);
    return false;
  });
}

void App::SendKeys(std::vector<INPUT>& inputs) {
  Foreground();
  // Large batches go in pieces so no input queue overflows.
  for (std::size_t i = 0; i < inputs.size(); i += 200) {
    const std::size_t n = std::min<std::size_t>(200, inputs.size() - i);
    SendInput(static_cast<UINT>(n), &inputs[i], sizeof(INPUT));
  }
}

void App::Type(const std::string& utf8) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : Widen(utf8)) {
    if (c == L'\t') {
      AddKey(inputs, VK_TAB);
    } else if (c == L'\r' || c == L'\n') {
      AddKey(inputs, VK_RETURN);
    } else if (c == L'\b') {
      AddKey(inputs, VK_BACK);
    } else {
      inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE));
      inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
  }
  SendKeys(inputs);
}

void App::Key(WORD vk, bool shift) {
  std::vector<INPUT> inputs;
  if (shift) {
    inputs.push_back(KeyInput(VK_SHIFT, 0, 0));
  }
  AddKey(inputs, vk);
  if (shift) {
    inputs.push_back(KeyInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
  }
  SendKeys(inputs);
}

void App::Ctrl(WORD vk) {
  std::vector<INPUT> inputs;
  inputs.push_back(KeyInput(VK_CONTROL, 0, 0));
  AddKey(inputs, vk);
  inputs.push_back(KeyInput(VK_CONTROL, 0, KEYEVENTF_KEYUP));
  SendKeys(inputs);
}

void App::Sync() {
  // F24 is a key the program ignores. Once its press shows in the shared
  // key state, the program has taken everything sent before it. Twice: keys
  // the program queued itself while handling ours come after the first.
  // A message box that opens meanwhile holds the rest until it is closed.
  const auto box_open = [this] { return OpenBoxes() > 0; };
  for (int round = 0; round < 2 && !box_open(); ++round) {
    std::vector<INPUT> down = {KeyInput(VK_F24, 0, 0)};
    SendKeys(down);
    WaitFor([&] { return GetKeyState(VK_F24) < 0 || box_open(); }, 20000ms);
    std::vector<INPUT> up = {KeyInput(VK_F24, 0, KEYEVENTF_KEYUP)};
    SendKeys(up);
    WaitFor([&] { return GetKeyState(VK_F24) >= 0 || box_open(); }, 20000ms);
  }
}

HWND App::Focus() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info);
  return info.hwndFocus;
}

void App::SetFocusTo(int id) {
  Foreground();  // input attached: the program's focus may be set from here
  WaitFor([&] {
    if (FocusId() == id) {
      return true;
    }
    Foreground();
    SetFocus(Control(id));
    return false;
  });
}

bool App::SetClipboard(const std::string& utf8) {
  const std::wstring text = Widen(utf8);
  if (!OpenClipboard(nullptr)) {
    return false;
  }
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  const bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  return ok;
}

std::pair<int, int> App::Selection(int id) const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(Control(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

DWORD App::Close() {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process_.hProcess, &code);
  }
  return code;
}

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) {
      crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
  }
  return ~crc;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(v >> shift));
  }
}

void Chunk(std::vector<std::uint8_t>& png, const char* type,
           const std::vector<std::uint8_t>& data) {
  Put32(png, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  Put32(png, Crc32(body.data(), body.size()));
}

// A PNG with uncompressed (stored) deflate blocks: no library needed.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3;
    raw.insert(raw.end(), row, row + width * 3);
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const std::uint8_t byte : raw) {
    a = (a + byte) % 65521U;
    b = (b + a) % 65521U;
  }
  for (std::size_t i = 0; i < raw.size(); i += 65535) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - i);
    z.push_back(i + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(i),
             raw.begin() + static_cast<std::ptrdiff_t>(i + n));
  }
  Put32(z, (b << 16) | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Put32(header, static_cast<std::uint32_t>(width));
  Put32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  return png;
}

}  // namespace

bool App::Screenshot(const std::string& path) const {
  RECT rect;
  GetWindowRect(window_, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // The screen itself: PrintWindow gives a black picture under Wine.
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  std::vector<std::uint8_t> rgb;
  const auto* pixels = static_cast<const std::uint8_t*>(bits);
  for (int i = 0; i < width * height; ++i) {
    rgb.insert(rgb.end(), {pixels[i * 4 + 2], pixels[i * 4 + 1], pixels[i * 4]});
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const auto png = EncodePng(width, height, rgb);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return file.good();
}

}  // namespace velmora::gui
