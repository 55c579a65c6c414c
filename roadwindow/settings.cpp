#include "roadwindow/settings.h"

#include <charconv>
#include <cmath>

#include "text/numtext.h"
#include "text/text.h"

namespace velmora::roadwindow {
namespace {

// Separators of a list: ASCII ones, and the full-width comma (U+FF0C), the
// ideographic comma (U+3001) and the full-width semicolon (U+FF1B) a
// Chinese input method types.
constexpr std::string_view kWideSeparators[] = {"\xEF\xBC\x8C", "\xE3\x80\x81", "\xEF\xBC\x9B"};

std::size_t SeparatorAt(std::string_view text, std::size_t at) {
  const char c = text[at];
  if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r' || c == '\n') {
    return 1;
  }
  for (std::string_view wide : kWideSeparators) {
    if (text.substr(at, wide.size()) == wide) {
      return wide.size();
    }
  }
  return 0;
}

std::string Quoted(std::string_view item) { return "“" + text::Printable(item) + "”"; }

}  // namespace

std::vector<std::string_view> SplitList(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    if (const std::size_t width = SeparatorAt(text, at)) {
      if (at > start) {
        items.push_back(text.substr(start, at - start));
      }
      at += width;
      start = at;
    } else {
      ++at;
    }
  }
  if (at > start) {
    items.push_back(text.substr(start, at - start));
  }
  return items;
}

std::optional<double> ReadNumberField(std::string_view text) {
  const NumberReading read = ReadNumber(text);
  if (!read.is_number || !std::isfinite(read.value)) {
    return std::nullopt;
  }
  return read.value;
}

std::variant<TableSettings, SettingsError> ReadSettings(const SettingsText& text) {
  TableSettings settings;
  const std::optional<double> step = ReadNumberField(text.step);
  if (!step || *step <= 0.0) {
    return SettingsError{SettingField::kStep,
                         "间距应为大于 0 的数（如 20），而不是" + Quoted(text::Trim(text.step))};
  }
  settings.step = *step;

  const std::vector<std::string_view> offsets = SplitList(text.offsets);
  if (offsets.size() > kMostListItems) {
    return SettingsError{SettingField::kOffsets, "边桩最多 " + std::to_string(kMostListItems) +
                                                     " 个，现有 " + std::to_string(offsets.size()) +
                                                     " 个"};
  }
  for (std::string_view item : offsets) {
    const std::optional<double> offset = ReadNumberField(item);
    if (!offset) {
      return SettingsError{
          SettingField::kOffsets,
          "边桩应为以空格分隔的距离（如 -5 5，右正左负），" + Quoted(item) + " 不是数"};
    }
    settings.offsets.push_back(*offset);
  }

  const std::vector<std::string_view> at = SplitList(text.at);
  if (at.size() > kMostListItems) {
    return SettingsError{SettingField::kAt, "加桩最多 " + std::to_string(kMostListItems) +
                                                " 个，现有 " + std::to_string(at.size()) + " 个"};
  }
  for (std::string_view item : at) {
    const std::optional<double> station = model::ParseStation(item);
    if (!station) {
      return SettingsError{SettingField::kAt,
                           "加桩应为桩号（如 1234.5 或 K1+234.5），" + Quoted(item) + " 不是桩号"};
    }
    settings.at.push_back(*station);
  }

  settings.stations = text.k_stations ? model::StationFormat::kK : model::StationFormat::kPlain;

  const std::string_view decimals = text::Trim(text.decimals);
  int value = -1;
  const auto [end, ec] = std::from_chars(decimals.data(), decimals.data() + decimals.size(), value);
  if (decimals.empty() || ec != std::errc() || end != decimals.data() + decimals.size() ||
      value < 0 || value > kMostDecimals) {
    return SettingsError{
        SettingField::kDecimals,
        "小数位应为 0 到 " + std::to_string(kMostDecimals) + " 的整数，而不是" + Quoted(decimals)};
  }
  settings.decimals = value;
  return settings;
}

}  // namespace velmora::roadwindow
