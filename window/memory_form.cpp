#include "window/memory_form.h"

#include <algorithm>

#include "window/design.h"

namespace velmora {

const char* FieldName(Field field) { return ControlForField(field).name; }

void MemoryForm::Fill(const std::array<std::string, kInputFields.size()>& inputs) {
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    texts_[Index(kInputFields[i])] = inputs[i];
  }
}

void MemoryForm::LogSet(Field field, std::string_view text) {
  std::string entry = "set ";
  entry += FieldName(field);
  entry += '=';
  entry += text;
  log_.push_back(std::move(entry));
}

void MemoryForm::LogChange(Field field) {
  log_.push_back(std::string("change ") + FieldName(field));
}

void MemoryForm::SetText(Field field, std::string_view text) {
  if (logging_) {
    LogSet(field, text);
  }
  std::string& current = texts_[Index(field)];
  if (current == text) {
    return;  // the same text is no change
  }
  current = text;
  if (logging_) {
    LogChange(field);
  }
  ++changes_[Index(field)];
  ++depth_;
  deepest_change_ = std::max(deepest_change_, depth_);
  Router(*this).TextChanged(field);
  --depth_;
}

void MemoryForm::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  if (logging_) {
    log_.push_back("box " + std::string(prompt));
  }
  messages_.push_back({std::string(prompt), std::string(title), style});
}

}  // namespace velmora
