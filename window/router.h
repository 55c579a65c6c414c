// The one place that decides which rule answers which event of Form1. The
// real window turns its messages into these calls, and so does every
// in-memory form; nothing else wires the field rules or the command.
//
//   a field's text changed  -> the change rule (input fields only)
//   a field got the focus   -> select all (input fields only)
//   a key was typed         -> Enter as Tab (the window sees every key
//                              first), then a radius field's key filter;
//                              an Enter left over is no character for a
//                              single-line field and presses a focused 计算
//   计算 was clicked         -> the Calculate command
#pragma once

#include <cstdint>
#include <optional>

#include "window/fields.h"

namespace velmora {

// The control that has the focus when a key is typed.
struct KeyTarget {
  std::optional<Field> field;  // a text field, or
  bool button = false;         // the 计算 button; neither: another control

  static KeyTarget InField(Field f) { return {f, false}; }
  static KeyTarget OnButton() { return {std::nullopt, true}; }
};

// What the platform does with a typed key after the router has seen it.
enum class KeyAction {
  Keep,   // pass `key` on to the focused control
  Drop,   // the control never sees it
  Click,  // the control never sees it; press the focused 计算 button
};

struct KeyAnswer {
  KeyAction action;
  std::int16_t key;  // the code to pass on when kept
};

class Router {
 public:
  explicit Router(FieldOps& form) : form_(form) {}

  // After a real change of a field's text (not a set to the same text).
  void TextChanged(Field field);
  // When a field receives the focus, by key or by mouse.
  void GotFocus(Field field);
  // A character typed with the focus on `target`, before the control gets it.
  KeyAnswer KeyTyped(KeyTarget target, std::int16_t key);
  // A click on 计算 (with the mouse, or Enter on the focused button).
  void Clicked();

 private:
  FieldOps& form_;
};

}  // namespace velmora
