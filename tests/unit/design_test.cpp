#include "window/design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {
namespace {

const ControlDesign& Named(std::string_view name) {
  for (const ControlDesign& c : Form1Controls()) {
    if (name == c.name) {
      return c;
    }
  }
  ADD_FAILURE() << "no control " << name;
  return Form1Controls().front();
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

TEST(Design, NamesIdsAndTabIndicesAreUniqueAndTabIndicesRunFromZero) {
  std::set<std::string> names;
  std::set<int> ids;
  std::set<int> tab_indices;
  for (const ControlDesign& c : Form1Controls()) {
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_TRUE(ids.insert(c.id).second) << c.name;
    EXPECT_TRUE(tab_indices.insert(c.tab_index).second) << c.name;
  }
  ASSERT_EQ(tab_indices.size(), Form1Controls().size());
  EXPECT_EQ(*tab_indices.begin(), 0);
  EXPECT_EQ(*tab_indices.rbegin(), static_cast<int>(tab_indices.size()) - 1)
      << "a gap in the tab indices";
}

TEST(Design, EveryFieldIsOneTextBoxFoundByFieldAndById) {
  for (int i = 0; i <= static_cast<int>(Field::Textcia); ++i) {
    const auto field = static_cast<Field>(i);
    const ControlDesign& c = ControlForField(field);
    EXPECT_EQ(c.field, field) << c.name;
    EXPECT_EQ(c.kind, ControlKind::TextBox) << c.name;
    EXPECT_STREQ(c.caption, "") << "text boxes start empty: " << c.name;
    EXPECT_EQ(ControlWithId(c.id), &c) << c.name;
  }
  EXPECT_EQ(ControlWithId(0), nullptr);
  // The result field alone is read-only, skipped by Tab and menu-coloured.
  for (const ControlDesign& c : Form1Controls()) {
    const bool result = c.field == Field::Textcia;
    EXPECT_EQ(c.flags, result ? kReadOnly | kNoTabStop | kMenuColour : kNoFlags) << c.name;
  }
}

TEST(Design, EachFieldsLabelSitsOnItsRowJustLeftOfIt) {
  for (int i = 0; i <= static_cast<int>(Field::Textcia); ++i) {
    const auto field = static_cast<Field>(i);
    const ControlDesign& box = ControlForField(field);
    const ControlDesign& label = LabelForField(field);
    EXPECT_EQ(label.kind, ControlKind::Label) << box.name;
    EXPECT_EQ(label.container, box.container) << box.name;
    // Vertically within the box; its right edge where the box begins.
    EXPECT_GE(label.top, box.top) << box.name;
    EXPECT_LE(label.top + label.height, box.top + box.height) << box.name;
    EXPECT_LT(label.left, box.left) << box.name;
    EXPECT_LT(std::abs(label.left + label.width - box.left), 300) << box.name;
  }
  EXPECT_STREQ(LabelForField(Field::Textka).caption, "起点桩号");
  EXPECT_STREQ(LabelForField(Field::Textrb).caption, "终点半径");
}

TEST(Design, TabCyclesThroughTheInputFieldsAndTheButtonBothWays) {
  const std::vector<std::string_view> cycle = {"Textka", "Textkb", "Textra", "Textrb",
                                               "Textki", "Textca", "ComFWJ"};
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    const ControlDesign& from = Named(cycle[i]);
    EXPECT_STREQ(NextTabStop(from.tab_index, false).name, cycle[(i + 1) % cycle.size()].data())
        << "Tab from " << from.name;
    EXPECT_STREQ(NextTabStop(from.tab_index, true).name,
                 cycle[(i + cycle.size() - 1) % cycle.size()].data())
        << "Shift+Tab from " << from.name;
  }
  // From the result field (which Tab never reaches, but a click does) and
  // from controls that hold no focus, Tab goes on to the next stop.
  const struct {
    const char* from;
    const char* forwards;
    const char* backwards;
  } others[] = {
      {"Textcia", "Textka", "ComFWJ"},
      {"Frame1", "Textka", "ComFWJ"},
      {"LabFWJ(0)", "Textka", "ComFWJ"},
  };
  for (const auto& o : others) {
    const int from = Named(o.from).tab_index;
    EXPECT_STREQ(NextTabStop(from, false).name, o.forwards) << "Tab from " << o.from;
    EXPECT_STREQ(NextTabStop(from, true).name, o.backwards) << "Shift+Tab from " << o.from;
  }
  // No control with the focus at all: Tab starts at the first stop.
  EXPECT_STREQ(NextTabStop(-1, false).name, "Textka");
}

TEST(Design, EachFrameSaysWhichContainerItIs) {
  const struct {
    Container container;
    const char* frame;
  } frames[] = {{Container::Frame1, "Frame1"}, {Container::Frame2, "Frame2"}};
  for (const auto& f : frames) {
    const ControlDesign* frame = FrameControl(f.container);
    ASSERT_NE(frame, nullptr) << f.frame;
    EXPECT_EQ(frame, &Named(f.frame));
    EXPECT_EQ(frame->container, Container::Form1) << "frames sit on the form, not in each other";
  }
  EXPECT_EQ(FrameControl(Container::Form1), nullptr) << "the form is no frame";
  for (const ControlDesign& c : Form1Controls()) {
    EXPECT_EQ(c.frame.has_value(), c.kind == ControlKind::Frame) << c.name;
  }
}

TEST(Design, StackingOrderHasEveryControlOnceWithEachFrameBehindWhatItFrames) {
  const auto order = StackingOrder();
  const auto position = [&order](std::string_view name) {
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (order[i] != nullptr && name == order[i]->name) {
        return static_cast<int>(i);
      }
    }
    ADD_FAILURE() << name << " is not in the stacking order";
    return -1;
  };
  std::set<const ControlDesign*> seen(order.begin(), order.end());
  EXPECT_EQ(seen.size(), Form1Controls().size());
  EXPECT_EQ(seen.count(nullptr), 0U);
  for (const ControlDesign& c : Form1Controls()) {
    if (c.container != Container::Form1) {
      const ControlDesign& frame = Named(c.container == Container::Frame1 ? "Frame1" : "Frame2");
      EXPECT_LT(position(c.name), position(frame.name)) << c.name << " hidden by its frame";
    }
  }
  // The button lies over the lower frame; fields stay over their labels.
  EXPECT_LT(position("ComFWJ"), position("Frame2"));
  EXPECT_LT(position("Textka"), position("LabFWJ(0)"));
  EXPECT_LT(position("Textcia"), position("LabFWJ(6)"));
}

TEST(Design, TwipsToPixelsRoundsLikeMulDiv) {
  const struct {
    int twips, dpi, pixels;
  } cases[] = {
      {5085, 96, 339},  {4200, 96, 280},  {3325, 96, 222},  {3325, 144, 333},
      {5085, 144, 509}, {105, 120, 9},    {6, 120, 1},      {5, 120, 0},
      {-6, 120, -1},    {-5, 120, 0},     {1440, 192, 192}, {0, 144, 0},
      {4815, 96, 321},  {1215, 120, 101}, {375, 120, 31},   {1095, 144, 110},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(Design, PixelRectanglesOfControlsOnTheFormAndInFrames) {
  // Worked from the design's twips: a control in a frame is offset by the
  // frame (Frame1 at 120, 120; Frame2 at 120, 3000), and each edge and size
  // is its twips at the resolution, rounded to the nearest pixel with
  // halves away from zero (15 twips a pixel at 96 DPI, 10 at 144).
  const struct {
    const char* name;
    int dpi;
    Rect pixels;
  } cases[] = {
      {"Frame1", 96, {8, 8, 321, 177}},        // 120, 120, 4815, 2655
      {"Frame1", 144, {12, 12, 482, 266}},     // 481.5 and 265.5 round up
      {"Textka", 96, {88, 40, 73, 22}},        // 1200 + 120, 480 + 120, 1095, 330
      {"Textka", 144, {132, 60, 110, 33}},     // 109.5 rounds up
      {"Textca", 120, {310, 170, 91, 28}},     // 3720, 2040, 1095 (91.25), 330 (27.5) at 12 a pixel
      {"ComFWJ", 96, {240, 222, 81, 25}},      // 3600, 3325 (221.67), 1215, 375, on the form
      {"ComFWJ", 144, {360, 333, 122, 38}},    // 332.5, 121.5, 37.5 round up
      {"Textcia", 96, {104, 224, 113, 22}},    // 1440 + 120, 360 + 3000, 1695, 330
      {"LabFWJ(6)", 144, {24, 344, 134, 26}},  // 240, 3435, 1335, 255
      {"Frame2", 192, {16, 400, 642, 130}},    // 120, 3000, 4815, 975 at 7.5 twips a pixel
  };
  for (const auto& c : cases) {
    const Rect r = PixelRect(Named(c.name), c.dpi);
    EXPECT_EQ(r.left, c.pixels.left) << c.name << " at " << c.dpi;
    EXPECT_EQ(r.top, c.pixels.top) << c.name << " at " << c.dpi;
    EXPECT_EQ(r.width, c.pixels.width) << c.name << " at " << c.dpi;
    EXPECT_EQ(r.height, c.pixels.height) << c.name << " at " << c.dpi;
  }
}

TEST(Design, NothingIsClippedAtAnyResolution) {
  for (const int dpi : {96, 120, 144, 168, 192, 288}) {
    const Rect client = {0, 0, TwipsToPixels(kFormClientWidth, dpi),
                         TwipsToPixels(kFormClientHeight, dpi)};
    for (const ControlDesign& c : Form1Controls()) {
      const Rect r = PixelRect(c, dpi);
      EXPECT_GT(r.width, 0) << c.name << " at " << dpi;
      EXPECT_GT(r.height, 0) << c.name << " at " << dpi;
      EXPECT_TRUE(Inside(r, client)) << c.name << " outside the window at " << dpi;
      if (c.container != Container::Form1) {
        const ControlDesign& frame = Named(c.container == Container::Frame1 ? "Frame1" : "Frame2");
        EXPECT_TRUE(Inside(r, PixelRect(frame, dpi))) << c.name << " outside its frame at " << dpi;
      }
    }
  }
}

TEST(Design, StackingPutsFieldsOverLabelsAndTheButtonOverItsFrame) {
  const auto controls = Form1Controls();
  const auto position = [&controls](const ControlDesign& c) { return &c - controls.data(); };
  int overlaps = 0;
  for (const ControlDesign& label : controls) {
    if (label.kind != ControlKind::Label) {
      continue;
    }
    for (const ControlDesign& box : controls) {
      if (box.kind == ControlKind::TextBox && Overlap(PixelRect(label, 96), PixelRect(box, 96))) {
        ++overlaps;
        EXPECT_LT(position(box), position(label)) << box.name << " under " << label.name;
      }
    }
  }
  EXPECT_EQ(overlaps, 7) << "each label reaches into its own field, and only that";
  EXPECT_TRUE(Overlap(PixelRect(Named("ComFWJ"), 96), PixelRect(Named("Frame2"), 96)));
  EXPECT_LT(position(Named("ComFWJ")), position(Named("Frame2")));
}

}  // namespace
}  // namespace velmora
