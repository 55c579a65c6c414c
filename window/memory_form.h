// Form1 in memory: the fields hold text, a change to a new text runs the
// router at once (nested, as the real window does), message boxes are
// recorded and count as closed at once, and simulated keys are queued.
// Unit tests, the fuzzers, the benchmarks, the agreement check and the
// console program all use it, so they answer exactly as the window does.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "window/fields.h"
#include "window/router.h"

namespace velmora {

// The field's name in Form1's design ("Textka", ...).
const char* FieldName(Field field);

struct Message {
  std::string prompt;
  std::string title;
  int style;
};

class MemoryForm final : public FieldOps {
 public:
  std::array<std::string, kFieldCount> texts;
  std::array<int, kFieldCount> sel_start{};
  std::array<int, kFieldCount> sel_length{};
  std::vector<Message> messages;
  std::string sent_keys;

  // Every operation in order ("set Textki=", "change Textki", "box <prompt>")
  // while `logging` is on; a test checks the order of events with it.
  bool logging = true;
  std::vector<std::string> log;
  // How often each field's change reached the router, and how deeply the
  // changes nested.
  std::array<int, kFieldCount> changes{};
  int deepest_change = 0;

  // Puts texts into the six input fields as they stand, with no rule run:
  // the fields as a person left them.
  void Fill(const std::array<std::string, kInputFields.size()>& inputs);
  std::string& operator[](Field field) { return texts[Index(field)]; }
  const std::string& operator[](Field field) const { return texts[Index(field)]; }

  // What a person does, answered by the router.
  // Replaces the whole text of a field, as selecting all and pasting does.
  void Replace(Field field, std::string_view text) { SetText(field, text); }
  void Focus(Field field) { Router(*this).GotFocus(field); }
  KeyAnswer Key(KeyTarget target, std::int16_t key) { return Router(*this).KeyTyped(target, key); }
  void Click() { Router(*this).Clicked(); }

  // FieldOps
  std::string Text(Field field) const override { return texts[Index(field)]; }
  void SetText(Field field, std::string_view text) override;
  void SetSelStart(Field field, int start) override { sel_start[Index(field)] = start; }
  void SetSelLength(Field field, int length) override { sel_length[Index(field)] = length; }
  void ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  void SendKeys(std::string_view keys) override { sent_keys += keys; }

 private:
  // The log's entries, kept out of SetText, which mostly runs unlogged.
  void LogSet(Field field, std::string_view text);
  void LogChange(Field field);

  int depth_ = 0;
};

}  // namespace velmora
