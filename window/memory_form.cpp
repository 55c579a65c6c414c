#include "window/memory_form.h"

#include <algorithm>

#include "window/design.h"

namespace velmora {

const char* FieldName(Field field) { return ControlForField(field).name; }

void MemoryForm::Fill(const std::array<std::string, kInputFields.size()>& inputs) {
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    texts[Index(kInputFields[i])] = inputs[i];
  }
}

void MemoryForm::LogSet(Field field, std::string_view text) {
  std::string entry = "set ";
  entry += FieldName(field);
  entry += '=';
  entry += text;
  log.push_back(std::move(entry));
}

void MemoryForm::LogChange(Field field) {
  log.push_back(std::string("change ") + FieldName(field));
}

void MemoryForm::SetText(Field field, std::string_view text) {
  if (logging) {
    LogSet(field, text);
  }
  std::string& current = texts[Index(field)];
  if (current == text) {
    return;  // the same text is no change
  }
  current = text;
  if (logging) {
    LogChange(field);
  }
  ++changes[Index(field)];
  ++depth_;
  deepest_change = std::max(deepest_change, depth_);
  Router(*this).TextChanged(field);
  --depth_;
}

void MemoryForm::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  if (logging) {
    log.push_back("box " + std::string(prompt));
  }
  messages.push_back({std::string(prompt), std::string(title), style});
}

}  // namespace velmora
