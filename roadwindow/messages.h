// What the road window says, in Chinese, when a road or height file is
// refused: the file, the place (第N行 or 元素N), a sentence for the kind of
// fault, and the console's own line with the detail.
#pragma once

#include <string>
#include <string_view>

#include "model/error.h"

namespace velmora::roadwindow {

// The sentence for a kind of fault.
std::string_view KindSentence(model::LoadError::Kind kind);

// The place: "第 7 行", "元素 3" (elements counted from 1), or "" when the
// error names neither.
std::string PlaceText(const model::LoadError& error);

// The message box's text:
//   文件：road.csv
//   位置：第 7 行
//   原因：元素文件中有一行无法读取。
//
//   road.csv, line 7: ...
std::string LoadErrorMessage(const model::LoadError& error);

}  // namespace velmora::roadwindow
