// Form1's design as data: every control with its place and size in twips,
// caption, tab index and flags, in stacking order (topmost first within its
// container). The window is built from this table and nothing else repeats
// a coordinate.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "window/fields.h"

namespace velmora {

inline constexpr int kTwipsPerInch = 1440;

enum class ControlKind { Button, Frame, Label, TextBox };
enum class Container { Form1, Frame1, Frame2 };

enum ControlFlags : unsigned {
  kNoFlags = 0,
  kReadOnly = 1U << 0,    // text cannot be edited
  kNoTabStop = 1U << 1,   // Tab passes it by
  kMenuColour = 1U << 2,  // background in the system's menu colour
};

struct ControlDesign {
  const char* name;
  int id;  // Win32 control id
  ControlKind kind;
  Container container;
  const char* caption;           // UTF-8; initial text of a text box
  int left, top, width, height;  // twips, from the container's client origin
  int tab_index;
  unsigned flags;
  std::optional<Field> field;      // the text field a text box is
  std::optional<Container> frame;  // the container a frame is
};

struct FontDesign {
  const char* face;  // UTF-8
  int tenths_of_point;
  int charset;
  int weight;
};

struct Rect {
  int left, top, width, height;
};

inline constexpr std::size_t kControlCount = 17;
inline constexpr const char* kFormCaption = "Velmora";
inline constexpr int kFormClientWidth = 5085;  // twips
inline constexpr int kFormClientHeight = 4200;
inline constexpr FontDesign kControlFont = {"宋体", 105, 134, 400};

// Every control of Form1, topmost first within each container.
std::span<const ControlDesign> Form1Controls();

// All controls of Form1 in one stacking order on the form, topmost first:
// each frame follows the controls it frames (a frame is drawn behind them,
// a sibling of them rather than their parent), the rest as in the table.
std::array<const ControlDesign*, kControlCount> StackingOrder();

// The control whose tab index follows (or, backwards, precedes) `tab_index`
// among those that take the focus by Tab, wrapping round.
const ControlDesign& NextTabStop(int tab_index, bool backwards);

const ControlDesign& ControlForField(Field field);
// The label that names a field on the form ("起点桩号" for Textka, ...).
const ControlDesign& LabelForField(Field field);
// The frame that is `container` (Frame1 or Frame2); nullptr for Form1.
const ControlDesign* FrameControl(Container container);
const ControlDesign* ControlWithId(int id);

// Twips to pixels at `dpi` dots per inch, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

// The control's rectangle in Form1's client pixels at `dpi` (controls inside
// a frame are placed relative to Form1, offset by their frame).
Rect PixelRect(const ControlDesign& control, int dpi);

}  // namespace velmora
