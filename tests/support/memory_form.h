// An in-memory Form1 for tests: fields hold text, a change to a new text
// runs the field's change handler at once (nested, as the real window does),
// message boxes are recorded and closed at once, and typed keys are queued.
// Every operation is logged, so a test can check the order of events.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "window/fields.h"

namespace velmora::testing {

inline const char* FieldName(Field field) {
  static constexpr std::array<const char*, 7> kNames = {"Textka", "Textkb", "Textra", "Textrb",
                                                        "Textki", "Textca", "Textcia"};
  return kNames[static_cast<std::size_t>(field)];
}

struct Message {
  std::string prompt;
  std::string title;
  int style;
};

class MemoryForm : public FieldOps {
 public:
  // Runs nested inside SetText whenever a field's text really changes.
  std::function<void(MemoryForm&, Field)> on_change;

  std::array<std::string, 7> texts;
  std::array<int, 7> sel_start{};
  std::array<int, 7> sel_length{};
  std::vector<Message> messages;
  std::string sent_keys;
  std::vector<std::string> log;  // "set Textki=", "change Textki", "box <prompt>"

  // Fills the six input fields without running any rule.
  void Fill(const std::array<std::string, 6>& inputs) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      texts[i] = inputs[i];
    }
  }

  std::string& operator[](Field field) { return texts[static_cast<std::size_t>(field)]; }

  std::string Text(Field field) const override { return texts[static_cast<std::size_t>(field)]; }

  void SetText(Field field, std::string_view text) override {
    log.push_back(std::string("set ") + FieldName(field) + "=" + std::string(text));
    std::string& current = texts[static_cast<std::size_t>(field)];
    if (current == text) {
      return;
    }
    current = text;
    log.push_back(std::string("change ") + FieldName(field));
    if (on_change) {
      on_change(*this, field);
    }
  }

  void SetSelStart(Field field, int start) override {
    sel_start[static_cast<std::size_t>(field)] = start;
  }
  void SetSelLength(Field field, int length) override {
    sel_length[static_cast<std::size_t>(field)] = length;
  }

  void ShowMessage(std::string_view prompt, std::string_view title, int style) override {
    log.push_back("box " + std::string(prompt));
    messages.push_back({std::string(prompt), std::string(title), style});
  }

  void SendKeys(std::string_view keys) override { sent_keys += keys; }
};

}  // namespace velmora::testing
