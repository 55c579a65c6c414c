// What the GUI tests expect of Form1, derived from its design table and the
// field rules, so that no test repeats an id, a rectangle or a caption.
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "text/numtext.h"
#include "window/design.h"
#include "window/fields.h"

namespace velmora::gui {

// The one command button, 计算.
inline const ControlDesign& CommandButton() {
  const auto controls = Form1Controls();
  return *std::find_if(controls.begin(), controls.end(),
                       [](const ControlDesign& c) { return c.kind == ControlKind::Button; });
}

// The first control to have the focus: the first tab stop.
inline const ControlDesign& FirstTabStop() { return NextTabStop(-1, /*backwards=*/false); }

// The controls Tab (or Shift+Tab) visits from `from`, one per press, ending
// back at `from`.
inline std::vector<const ControlDesign*> TabCycle(const ControlDesign& from, bool backwards) {
  std::vector<const ControlDesign*> cycle;
  const ControlDesign* at = &from;
  do {
    at = &NextTabStop(at->tab_index, backwards);
    cycle.push_back(at);
  } while (at != &from && cycle.size() <= Form1Controls().size());
  return cycle;
}

// What an input field may hold after any keys at all: nothing, a number, or
// in a radius field a lone "-".
inline bool FieldMayHold(Field field, std::string_view text) {
  return text.empty() || IsNumber(text) || (IsRadiusField(field) && text == "-");
}

}  // namespace velmora::gui
