// The window driven in memory for the console program's commands.
#include <algorithm>

#include "cli/commands.h"
#include "window/calculate.h"
#include "window/design.h"

namespace velmora::cli {
namespace {

constexpr std::string_view kNotANumber = "不是数字";

std::string_view Caption(Field field) { return LabelForField(field).caption; }

// Why a field would not keep a text: "起点桩号不是数字：\"12a\"".
std::string RefusalMessage(Field field, std::string_view text) {
  std::string message(Caption(field));
  message += kNotANumber;
  message += "：\"";
  message += Printable(text);
  message += '"';
  return message;
}

}  // namespace

bool Calculator::Keeps(Field field, std::string_view text) {
  form_.Put(field, "");
  form_.Replace(field, text);
  return form_[field] == text;
}

std::optional<std::string> Calculator::Refusal(Field field, std::string_view text) {
  if (Keeps(field, text)) {
    return std::nullopt;
  }
  return RefusalMessage(field, text);
}

const Answer& Calculator::Run(const std::array<std::string_view, kInputFields.size()>& texts) {
  answer_.azimuth.clear();
  answer_.message.clear();
  answer_.field_refused = false;
  form_.ClearMessages();
  form_.Put(Field::Textcia, "");
  for (std::size_t i = 0; i < kInputFields.size(); ++i) {
    if (!Keeps(kInputFields[i], texts[i])) {
      answer_.message = RefusalMessage(kInputFields[i], texts[i]);
      answer_.field_refused = true;
      return answer_;
    }
  }
  form_.Click();
  answer_.azimuth = form_[Field::Textcia];
  if (!answer_.azimuth.empty()) {
    return answer_;
  }
  for (const Message& message : form_.messages()) {
    answer_.message += answer_.message.empty() ? "" : " ";
    answer_.message += message.prompt;
  }
  if (answer_.message.empty()) {
    // The window empties a radius that is not a number without a word.
    for (const Field radius : {Field::Textra, Field::Textrb}) {
      if (form_[radius].empty()) {
        answer_.message = std::string(Caption(radius)) + std::string(kNotANumber) + "。";
        return answer_;
      }
    }
    answer_.message = kCannotCalculatePrompt;
  }
  return answer_;
}

}  // namespace velmora::cli
