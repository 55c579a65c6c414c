// The road window's table settings as typed (间距, 边桩, 加桩, 桩号格式,
// 小数位) read into values, or a Chinese message naming the field and what
// it should hold. Nothing here knows of Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/stations.h"

namespace velmora::roadwindow {

// The most offsets and extra stations one table takes.
inline constexpr std::size_t kMostListItems = 1000;
inline constexpr int kMostDecimals = 12;

struct SettingsText {
  std::string step = "20";
  std::string offsets;  // "-5 5", "-5,5" or "-5，5"
  std::string at;       // "K0+015 120.5"
  bool k_stations = true;
  std::string decimals = "4";
};

struct TableSettings {
  double step = 20.0;
  std::vector<double> offsets;
  std::vector<double> at;
  model::StationFormat stations = model::StationFormat::kK;
  int decimals = 4;
};

enum class SettingField { kStep, kOffsets, kAt, kDecimals };

struct SettingsError {
  SettingField field = SettingField::kStep;
  std::string message;  // Chinese, for the status line
};

// The items of a list field: separated by blanks, commas (ASCII or
// full-width), semicolons or the ideographic comma; empty items dropped.
std::vector<std::string_view> SplitList(std::string_view text);

std::variant<TableSettings, SettingsError> ReadSettings(const SettingsText& text);

// A finite number as the fields take it ("." decimal point, whatever the
// regional settings), blanks around it allowed.
std::optional<double> ReadNumberField(std::string_view text);

}  // namespace velmora::roadwindow
