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
  // Puts texts into the six input fields as they stand, with no rule run:
  // the fields as a person left them.
  void Fill(const std::array<std::string, kInputFields.size()>& inputs);
  // Puts one text into a field with no rule run.
  void Put(Field field, std::string_view text) { texts_[Index(field)] = text; }
  const std::string& operator[](Field field) const { return texts_[Index(field)]; }

  // What a person does, answered by the router.
  // Replaces the whole text of a field, as selecting all and pasting does.
  void Replace(Field field, std::string_view text) { SetText(field, text); }
  void Focus(Field field) { Router(*this).GotFocus(field); }
  KeyAnswer Key(KeyTarget target, std::int16_t key) { return Router(*this).KeyTyped(target, key); }
  void Click() { Router(*this).Clicked(); }

  // What the form was asked to do.
  // The message boxes shown, oldest first, until ClearMessages().
  const std::vector<Message>& messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  int sel_start(Field field) const { return sel_start_[Index(field)]; }
  int sel_length(Field field) const { return sel_length_[Index(field)]; }
  // The simulated key presses queued so far.
  const std::string& sent_keys() const { return sent_keys_; }
  // How often a field's change reached the router, and how deeply the
  // changes nested.
  int changes(Field field) const { return changes_[Index(field)]; }
  int deepest_change() const { return deepest_change_; }

  // From StartLog() on, every operation in order ("set Textki=",
  // "change Textki", "box <prompt>"); a test checks the order of events
  // with it. Off unless asked for: the console program and the benchmarks
  // run millions of commands.
  void StartLog() { logging_ = true; }
  const std::vector<std::string>& log() const { return log_; }

  // FieldOps
  std::string Text(Field field) const override { return texts_[Index(field)]; }
  void SetText(Field field, std::string_view text) override;
  void SetSelStart(Field field, int start) override { sel_start_[Index(field)] = start; }
  void SetSelLength(Field field, int length) override { sel_length_[Index(field)] = length; }
  void ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  void SendKeys(std::string_view keys) override { sent_keys_ += keys; }

 private:
  // The log's entries, kept out of SetText, which mostly runs unlogged.
  void LogSet(Field field, std::string_view text);
  void LogChange(Field field);

  std::array<std::string, kFieldCount> texts_;
  std::array<int, kFieldCount> sel_start_{};
  std::array<int, kFieldCount> sel_length_{};
  std::vector<Message> messages_;
  std::string sent_keys_;
  bool logging_ = false;
  std::vector<std::string> log_;
  std::array<int, kFieldCount> changes_{};
  int deepest_change_ = 0;
  int depth_ = 0;
};

}  // namespace velmora
