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
  form_[field].clear();
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
  form_.messages.clear();
  form_[Field::Textcia].clear();
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
  for (const Message& message : form_.messages) {
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

std::optional<std::string> PackedFromDisplay(std::string_view display) {
  // <degrees>度<minutes>分<seconds>秒, seconds with at most one decimal.
  const std::size_t degree_mark = display.find("度");
  const std::size_t minute_mark = display.find("分");
  const std::size_t second_mark = display.find("秒");
  if (degree_mark == std::string_view::npos || minute_mark == std::string_view::npos ||
      second_mark == std::string_view::npos || degree_mark > minute_mark ||
      minute_mark > second_mark || second_mark + std::string_view("秒").size() != display.size()) {
    return std::nullopt;
  }
  const std::string_view degrees = display.substr(0, degree_mark);
  const std::size_t minutes_at = degree_mark + std::string_view("度").size();
  const std::string_view minutes = display.substr(minutes_at, minute_mark - minutes_at);
  const std::size_t seconds_at = minute_mark + std::string_view("分").size();
  std::string_view seconds = display.substr(seconds_at, second_mark - seconds_at);
  std::string_view tenths;
  if (const std::size_t point = seconds.find('.'); point != std::string_view::npos) {
    tenths = seconds.substr(point + 1);
    seconds = seconds.substr(0, point);
  }
  const auto digits = [](std::string_view s, std::size_t most) {
    return !s.empty() && s.size() <= most &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(degrees, 3) || !digits(minutes, 2) || !digits(seconds, 2) ||
      !(tenths.empty() || digits(tenths, 1))) {
    return std::nullopt;
  }
  std::string packed(degrees);
  packed += '.';
  packed.append(2 - minutes.size(), '0');
  packed += minutes;
  packed.append(2 - seconds.size(), '0');
  packed += seconds;
  packed += tenths;
  while (packed.back() == '0') {
    packed.pop_back();
  }
  if (packed.back() == '.') {
    packed.pop_back();
  }
  return packed;
}

}  // namespace velmora::cli
