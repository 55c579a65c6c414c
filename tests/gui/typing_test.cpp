// The input fields under real key presses: number-only text, the radius key
// filter, select-all on arrival, Enter as Tab, pasting, and long or fast input.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "tests/gui/app.h"
#include "tests/gui/form_facts.h"
#include "window/memory_form.h"

namespace velmora::gui {
namespace {

// What every input field may hold after any keys at all.
void ExpectFieldsAllowed(const App& app) {
  for (const Field field : kInputFields) {
    const std::string text = app.Text(field);
    EXPECT_TRUE(FieldMayHold(field, text)) << FieldName(field) << " holds \"" << text << '"';
  }
}

struct Step {
  const char* keys;
  const char* left;  // the field's text afterwards
};

struct Typing {
  const char* what;
  Field field;
  std::vector<Step> steps;
};

TEST(TypingIntoFields, EachFieldKeepsOnlyWhatItMayHold) {
  const Typing cases[] = {
      {"digits then a letter", Field::Textka, {{"12", "12"}, {"a", ""}}},
      {"a lone minus in a station field", Field::Textka, {{"-", ""}}},
      {"a lone minus in the azimuth field", Field::Textca, {{"-", ""}}},
      {"a negative radius typed sign first", Field::Textra, {{"-", "-"}, {"5", "-5"}}},
      {"a letter into a radius", Field::Textrb, {{"12", "12"}, {"a", "12"}, {" +,", "12"}}},
      {"Backspace to nothing in a radius", Field::Textra, {{"7", "7"}, {"\b", ""}, {"\b", ""}}},
      {"two points in a radius", Field::Textrb, {{"1.", "1."}, {".", ""}}},
      {"two minus signs in a radius", Field::Textra, {{"--", ""}}},
      {"a digit after a minus in a station field", Field::Textki, {{"-5", "5"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    App app;
    app.SetFocusTo(c.field);
    for (const auto& step : c.steps) {
      app.Type(step.keys);
      app.Sync();
      EXPECT_EQ(app.Text(c.field), step.left) << "after \"" << step.keys << '"';
    }
    ExpectFieldsAllowed(app);
  }
}

TEST(TypingIntoFields, DecimalsCanBeTypedIntoEveryField) {
  App app;
  for (const Field field : kInputFields) {
    SCOPED_TRACE(FieldName(field));
    app.SetFocusTo(field);
    app.Type("5.");
    app.Sync();
    EXPECT_EQ(app.Text(field), "5.") << "an unfinished decimal survives";
    app.Type("\b\b1.5");
    app.Sync();
    EXPECT_EQ(app.Text(field), "1.5");
    app.SetText(field, "");
    app.Type("12.75");
    app.Sync();
    EXPECT_EQ(app.Text(field), "12.75");
  }
}

TEST(TypingIntoFields, ArrivingSelectsTheWholeTextSoTypingReplacesIt) {
  for (const WORD key : {WORD{VK_TAB}, WORD{VK_RETURN}}) {
    App app;
    app.SetText(Field::Textkb, "123");
    app.SetFocusTo(Field::Textka);
    app.Key(key);
    app.Sync();
    ASSERT_EQ(app.Focused(), &ControlForField(Field::Textkb));
    EXPECT_EQ(app.Selection(Field::Textkb), std::make_pair(0, 3));
    app.Type("4");
    app.Sync();
    EXPECT_EQ(app.Text(Field::Textkb), "4") << (key == VK_TAB ? "Tab" : "Enter");
  }
}

TEST(TypingIntoFields, EnterWalksTheWholeFocusCycleAddingNothing) {
  App app;
  app.FillInputs({"0", "100", "0", "200", "50", "0"});
  app.SetFocusTo(Field::Textka);
  for (const ControlDesign* expected : TabCycle(ControlForField(Field::Textka), false)) {
    app.Key(VK_RETURN);
    app.Sync();
    EXPECT_EQ(app.FocusedName(), expected->name);
  }
  const char* texts[] = {"0", "100", "0", "200", "50", "0"};
  for (std::size_t i = 0; i < kInputFields.size(); ++i) {
    EXPECT_EQ(app.Text(kInputFields[i]), texts[i]);
  }
  // Enter on the button pressed it once on the way round.
  EXPECT_EQ(app.Text(Field::Textcia), "3度34分51.6秒");
  EXPECT_EQ(app.OpenBoxes(), 0);
}

TEST(TypingIntoFields, AWholeCalculationFromTheKeyboardAlone) {
  App app;
  app.SetFocusTo(Field::Textka);
  // Each Enter queues its Tab behind the keys already waiting, so the
  // surveyor's next value follows once the focus has moved, as at the desk.
  for (const char* value : {"0", "100", "0", "200", "50", "0", ""}) {
    app.Type(std::string(value) + "\r");
    app.Sync();
  }
  EXPECT_EQ(app.Text(Field::Textcia), "3度34分51.6秒");
  EXPECT_EQ(app.Focused(), &ControlForField(Field::Textka))
      << "back to the start for the next point";
  ExpectFieldsAllowed(app);
}

TEST(PastingIntoFields, TextThatIsNotANumberEmptiesTheField) {
  const struct {
    Field field;
    const char* pasted;
    const char* left;
  } cases[] = {
      {Field::Textka, "12abc", ""},
      {Field::Textki, "1,000", ""},
      {Field::Textkb, "45.5", "45.5"},
      {Field::Textra, "abc", "7"},  // Ctrl+V never reaches a radius field
  };
  for (const auto& c : cases) {
    App app;
    app.SetText(c.field, "7");
    app.SetFocusTo(c.field);  // selects the 7
    ASSERT_TRUE(App::SetClipboard(c.pasted));
    app.Ctrl('V');
    app.Sync();
    EXPECT_EQ(app.Text(c.field), c.left) << c.pasted;
  }
}

double PasteMilliseconds(App& app, Field field, const std::string& text) {
  App::SetClipboard(text);
  app.SetFocusTo(field);
  const auto start = std::chrono::steady_clock::now();
  app.Ctrl('V');
  app.Sync();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

TEST(BadInput, HugePastesAreHandledWhole) {
  App app;
  const std::string long_number = std::string(100000, '9');
  const double number_ms = PasteMilliseconds(app, Field::Textka, long_number);
  EXPECT_EQ(app.Text(Field::Textka), long_number) << "a number of any length stays";
  const double junk_ms = PasteMilliseconds(app, Field::Textkb, std::string(99999, '1') + "x");
  EXPECT_EQ(app.Text(Field::Textkb), "");
  const double short_ms = PasteMilliseconds(app, Field::Textki, std::string(10000, '5'));
  EXPECT_EQ(app.Text(Field::Textki), std::string(10000, '5'));
  EXPECT_TRUE(app.Alive());
  // Timings are reported, not judged.
  std::printf(
      "paste of 100000 digits: %.1f ms; of a 100000-character non-number: %.1f ms; "
      "of 10000 digits: %.1f ms\n",
      number_ms, junk_ms, short_ms);
}

TEST(BadInput, RapidTypingLosesNoKeys) {
  App app;
  std::string digits;
  for (int i = 0; i < 50; ++i) {
    digits += "1234567890";
  }
  app.SetFocusTo(Field::Textkb);
  const auto start = std::chrono::steady_clock::now();
  app.Type(digits);
  app.Sync();
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(app.Text(Field::Textkb), digits) << "all 500 keys arrived, in order";
  std::printf("500 keys typed and handled in %.1f ms\n", ms);

  // A burst of every kind of key across the fields leaves only what they may hold.
  std::mt19937 random(20261208);
  const std::string keys = "0123456789.-ab +\b\t\r";
  std::string burst;
  for (int i = 0; i < 600; ++i) {
    burst += keys[random() % keys.size()];
  }
  app.Type(burst);
  app.Sync();
  if (app.OpenBoxes() > 0) {
    app.CloseBox();
  }
  EXPECT_TRUE(app.Alive());
  ExpectFieldsAllowed(app);
}

}  // namespace
}  // namespace velmora::gui
