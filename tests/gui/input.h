// Input as a user gives it: real key presses through SendInput into the
// program's foreground window, and button clicks. Sync() returns once the
// program has handled every key sent so far.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace velmora::gui {

// Keys for the window of process `pid`. The driver's input is attached to
// the window's thread once and stays attached (attaching again would reset
// the shared key state).
class Keyboard {
 public:
  // `box_open` tells whether the program has a message box up: a box holds
  // the keys after it until it is closed.
  Keyboard(HWND window, DWORD pid, std::function<bool()> box_open);
  ~Keyboard();
  Keyboard(const Keyboard&) = delete;
  Keyboard& operator=(const Keyboard&) = delete;

  // Brings the window (or a message box of the program's) to the front.
  void Foreground();
  void Type(const std::string& utf8);     // characters, as typed; \t \r \n \b as keys
  void Key(WORD vk, bool shift = false);  // one virtual key press
  void Ctrl(WORD vk);                     // Ctrl + key
  // Returns once the program has handled every key sent so far, and the
  // keys its own handlers queued while doing so; throws NotInTime if it
  // answers messages for 20 s without getting there, or is at work for 120 s.
  void Sync();

 private:
  void Send(std::vector<INPUT>& inputs);
  // Sends the marker key's press (or release) until the program's key state
  // shows it; false if it does not in time.
  bool Mark(bool down);
  // Whether the program's thread takes messages now (it is not at work).
  bool Answering() const;

  HWND window_;
  DWORD pid_;
  std::function<bool()> box_open_;
  bool attached_ = false;
};

// A press of a button of the program. It runs the button's command on the
// program's thread; a message box keeps it there until closed, so the press
// is sent from a thread of our own.
class ButtonPress {
 public:
  ButtonPress() = default;
  ~ButtonPress() { Join(); }  // its SendMessage returns once the program is gone
  ButtonPress(const ButtonPress&) = delete;
  ButtonPress& operator=(const ButtonPress&) = delete;

  // Presses `button` and returns once the command has finished or `box_open`.
  void Press(HWND button, const std::function<bool()>& box_open);
  // After a box has closed: waits until the command has finished, unless
  // another box comes up first.
  void Finish(const std::function<bool()>& box_open);

 private:
  void Join();

  std::thread thread_;
  std::shared_ptr<std::atomic<bool>> done_;
};

}  // namespace velmora::gui
