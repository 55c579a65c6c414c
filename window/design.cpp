#include "window/design.h"

#include <algorithm>
#include <cstdlib>

namespace velmora {
namespace {

using enum ControlKind;
using enum Container;

// The result field: shown, never typed into or reached by Tab.
constexpr unsigned kResult = kReadOnly | kNoTabStop | kMenuColour;

// Control ids: text boxes 101-107, the button 110, frames 120-121,
// labels 130 + index, LabFWJ(i) naming the field of index i.
constexpr int kFirstLabelId = 130;

constexpr std::array<ControlDesign, kControlCount> kControls = {{
    {"ComFWJ", 110, Button, Form1, "计算", 3600, 3325, 1215, 375, 7, kNoFlags, {}, {}},
    {"Frame2", 121, Frame, Form1, "计算结果", 120, 3000, 4815, 975, 14, kNoFlags, {}, Frame2},
    {"Textcia", 107, TextBox, Frame2, "", 1440, 360, 1695, 330, 16, kResult, Field::Textcia, {}},
    {"LabFWJ(6)", 136, Label, Frame2, "计算点方位角", 120, 435, 1335, 255, 15, kNoFlags, {}, {}},
    {"Frame1", 120, Frame, Form1, "参数输入", 120, 120, 4815, 2655, 0, kNoFlags, {}, Frame1},
    {"Textca", 106, TextBox, Frame1, "", 3600, 1920, 1095, 330, 6, kNoFlags, Field::Textca, {}},
    {"Textki", 105, TextBox, Frame1, "", 1200, 1920, 1095, 330, 5, kNoFlags, Field::Textki, {}},
    {"Textrb", 104, TextBox, Frame1, "", 3600, 1200, 1095, 330, 4, kNoFlags, Field::Textrb, {}},
    {"Textra", 103, TextBox, Frame1, "", 1200, 1200, 1095, 330, 3, kNoFlags, Field::Textra, {}},
    {"Textkb", 102, TextBox, Frame1, "", 3600, 480, 1095, 330, 2, kNoFlags, Field::Textkb, {}},
    {"Textka", 101, TextBox, Frame1, "", 1200, 480, 1095, 330, 1, kNoFlags, Field::Textka, {}},
    {"LabFWJ(5)", 135, Label, Frame1, "起点方位角", 2520, 1990, 1095, 255, 13, kNoFlags, {}, {}},
    {"LabFWJ(4)", 134, Label, Frame1, "计算点桩号", 120, 1990, 1095, 255, 12, kNoFlags, {}, {}},
    {"LabFWJ(3)", 133, Label, Frame1, "终点半径", 2520, 1270, 1095, 255, 11, kNoFlags, {}, {}},
    {"LabFWJ(2)", 132, Label, Frame1, "起点半径", 120, 1270, 1095, 255, 10, kNoFlags, {}, {}},
    {"LabFWJ(1)", 131, Label, Frame1, "终点桩号", 2520, 540, 1095, 255, 9, kNoFlags, {}, {}},
    {"LabFWJ(0)", 130, Label, Frame1, "起点桩号", 120, 540, 1095, 255, 8, kNoFlags, {}, {}},
}};

bool TakesTabFocus(const ControlDesign& c) {
  return (c.kind == TextBox || c.kind == Button) && (c.flags & kNoTabStop) == 0;
}

}  // namespace

std::span<const ControlDesign> Form1Controls() { return kControls; }

std::array<const ControlDesign*, kControlCount> StackingOrder() {
  std::array<const ControlDesign*, kControlCount> order{};
  std::size_t next = 0;
  for (const ControlDesign& c : kControls) {
    if (c.container != Form1) {
      continue;
    }
    if (c.frame) {
      for (const ControlDesign& inside : kControls) {
        if (inside.container == *c.frame) {
          order[next++] = &inside;
        }
      }
    }
    order[next++] = &c;
  }
  return order;
}

const ControlDesign& NextTabStop(int tab_index, bool backwards) {
  const ControlDesign* best = nullptr;
  const ControlDesign* wrap = nullptr;
  for (const ControlDesign& c : kControls) {
    if (!TakesTabFocus(c)) {
      continue;
    }
    const bool beyond = backwards ? c.tab_index < tab_index : c.tab_index > tab_index;
    const auto closer = [backwards](const ControlDesign* a, const ControlDesign& b) {
      return a == nullptr || (backwards ? b.tab_index > a->tab_index : b.tab_index < a->tab_index);
    };
    if (beyond && closer(best, c)) {
      best = &c;
    }
    // Wrapping round: the first stop going forwards, the last going back.
    if (closer(wrap, c)) {
      wrap = &c;
    }
  }
  return best != nullptr ? *best : *wrap;
}

const ControlDesign& ControlForField(Field field) {
  return *std::find_if(kControls.begin(), kControls.end(),
                       [field](const ControlDesign& c) { return c.field == field; });
}

const ControlDesign& LabelForField(Field field) {
  return *ControlWithId(kFirstLabelId + static_cast<int>(Index(field)));
}

const ControlDesign* FrameControl(Container container) {
  const auto it =
      std::find_if(kControls.begin(), kControls.end(),
                   [container](const ControlDesign& c) { return c.frame == container; });
  return it == kControls.end() ? nullptr : &*it;
}

const ControlDesign* ControlWithId(int id) {
  const auto it = std::find_if(kControls.begin(), kControls.end(),
                               [id](const ControlDesign& c) { return c.id == id; });
  return it == kControls.end() ? nullptr : &*it;
}

int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled + (scaled >= 0 ? kTwipsPerInch / 2 : -kTwipsPerInch / 2)) /
                          kTwipsPerInch);
}

Rect PixelRect(const ControlDesign& control, int dpi) {
  int left = control.left;
  int top = control.top;
  if (const ControlDesign* frame = FrameControl(control.container)) {
    left += frame->left;
    top += frame->top;
  }
  return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(control.width, dpi),
          TwipsToPixels(control.height, dpi)};
}

}  // namespace velmora
