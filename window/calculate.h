// The Calculate command: what a click on 计算 does.
#pragma once

#include "window/fields.h"

namespace velmora {

inline constexpr const char* kEmptyInputPrompt = "输入数据不能为空";
inline constexpr const char* kPointBeforeStartPrompt = "计算点桩号不能小于起点桩号，请重新输入。";
inline constexpr const char* kPointAfterEndPrompt = "计算点桩号不能大于终点桩号，请重新输入。";
inline constexpr const char* kCannotCalculatePrompt = "无法计算，请检查桩号和半径。";

// Empties the result field, checks the six input fields, and writes the
// azimuth at the calculation point into Textcia, or ends early.
//
// The fields are read as the window's field rules leave them: stations and
// radii in one length unit, each field's value the number at the start of
// its text (ValueOf); the start azimuth packed (DmsToRad). A positive
// radius turns right (the azimuth increases with station), a negative one
// left, 0 is no curvature. The point must lie on the element, start <=
// point <= end, both ends included; with start > end no point does. The
// result is RadToDms's text, 0..360 degrees.
//
// It ends early, with at most one message box (title "提示信息", style 64):
//  - any field empty: "输入数据不能为空", nothing emptied;
//  - a radius that is not a number: that radius field emptied, no message
//    (Textra first when both are bad);
//  - point station before the start or after the end: Textki emptied, then
//    the message;
//  - packed start azimuth above 360: the angle message, then Textca emptied;
//  - an angle the conversion refuses: its message, nothing emptied;
//  - an arithmetic fault (equal stations, a radius too small to invert, a
//    result out of range): "无法计算，请检查桩号和半径。", nothing emptied.
void Calculate(FieldOps& form);

}  // namespace velmora
