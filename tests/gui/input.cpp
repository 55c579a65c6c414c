#include "tests/gui/input.h"

#include <algorithm>

#include "platform/win32/text.h"
#include "tests/gui/wait.h"

namespace velmora::gui {
namespace {

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

Keyboard::Keyboard(HWND window, DWORD pid, std::function<bool()> box_open)
    : window_(window), pid_(pid), box_open_(std::move(box_open)) {}

Keyboard::~Keyboard() {
  if (attached_) {
    AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window_, nullptr), FALSE);
  }
}

void Keyboard::Foreground() {
  if (!attached_) {
    attached_ = AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window_, nullptr),
                                  TRUE) != FALSE;
  }
  const auto in_front = [this] {
    DWORD pid = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &pid);
    return pid == pid_;
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

void Keyboard::Send(std::vector<INPUT>& inputs) {
  Foreground();
  // Large batches go in pieces so no input queue overflows.
  for (std::size_t i = 0; i < inputs.size(); i += 200) {
    const std::size_t n = std::min<std::size_t>(200, inputs.size() - i);
    SendInput(static_cast<UINT>(n), &inputs[i], sizeof(INPUT));
  }
}

void Keyboard::Type(const std::string& utf8) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : win32::Widen(utf8)) {
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
  Send(inputs);
}

void Keyboard::Key(WORD vk, bool shift) {
  std::vector<INPUT> inputs;
  if (shift) {
    inputs.push_back(KeyInput(VK_SHIFT, 0, 0));
  }
  AddKey(inputs, vk);
  if (shift) {
    inputs.push_back(KeyInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
  }
  Send(inputs);
}

void Keyboard::Ctrl(WORD vk) {
  std::vector<INPUT> inputs;
  inputs.push_back(KeyInput(VK_CONTROL, 0, 0));
  AddKey(inputs, vk);
  inputs.push_back(KeyInput(VK_CONTROL, 0, KEYEVENTF_KEYUP));
  Send(inputs);
}

bool Keyboard::Answering() const {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &ignored) != 0;
}

bool Keyboard::Mark(bool down) {
  const auto taken = [&] { return (GetKeyState(VK_F24) < 0) == down || box_open_(); };
  // While the program is at work (a long paste on a busy machine took over
  // 20 s) it takes no keys, and that time does not count; 20 s of
  // answering messages without taking the marker does.
  const auto give_up = std::chrono::steady_clock::now() + 120s;
  auto unanswered = 0ms;
  do {
    // Sent again while not seen: on a busy machine a press was seen never
    // to show in the key state (the keys before it had arrived), which cost
    // a silent 20 s wait; a press sent again still comes after everything
    // sent before it, and the program ignores the extra ones.
    std::vector<INPUT> key = {KeyInput(VK_F24, 0, down ? 0 : KEYEVENTF_KEYUP)};
    Send(key);
    if (WaitFor(taken, 500ms)) {
      return true;
    }
    if (Answering()) {
      unanswered += 500ms;
    }
  } while (unanswered < 20s && std::chrono::steady_clock::now() < give_up);
  return false;
}

void Keyboard::Sync() {
  // F24 is a key the program ignores. Once its press shows in the shared
  // key state, the program has taken everything sent before it. Twice: keys
  // the program queued itself while handling ours come after the first.
  // A message box that opens meanwhile holds the rest until it is closed.
  for (int round = 0; round < 2 && !box_open_(); ++round) {
    if (!Mark(true) || !Mark(false)) {
      throw NotInTime(Answering() ? "the program answers messages but took no marker key in 20 s"
                                  : "the program has been at work for 120 s and takes no keys");
    }
  }
}

void ButtonPress::Join() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

void ButtonPress::Press(HWND button, const std::function<bool()>& box_open) {
  Join();
  auto done = std::make_shared<std::atomic<bool>>(false);
  done_ = done;
  thread_ = std::thread([button, done] {
    SendMessageW(button, BM_CLICK, 0, 0);
    *done = true;
  });
  WaitFor([&] { return done->load() || box_open(); }, 10000ms);
  if (*done) {
    Join();
  }
}

void ButtonPress::Finish(const std::function<bool()>& box_open) {
  if (thread_.joinable() && WaitFor([&] { return done_->load() || box_open(); }, 10000ms) &&
      done_->load()) {
    Join();
  }
}

}  // namespace velmora::gui
