// The input fields under real key presses: number-only text, the radius key
// filter, select-all on arrival, Enter as Tab, pasting, and long or fast input.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "driver.h"
#include "platform/numtext.h"

namespace velmora::gui {
namespace {

constexpr int kInputs[] = {kTextka, kTextkb, kTextra, kTextrb, kTextki, kTextca};

bool IsRadius(int id) { return id == kTextra || id == kTextrb; }

// What every input field may hold after any keys at all.
void ExpectFieldsAllowed(const App& app) {
  for (const int id : kInputs) {
    const std::string text = app.Text(id);
    const bool allowed = text.empty() || IsNumber(text) || (IsRadius(id) && text == "-");
    EXPECT_TRUE(allowed) << "field " << id << " holds \"" << text << '"';
  }
}

struct Step {
  const char* keys;
  const char* left;  // the field's text afterwards
};

struct Typing {
  const char* what;
  int field;
  std::vector<Step> steps;
};

TEST(TypingIntoFields, EachFieldKeepsOnlyWhatItMayHold) {
  const Typing cases[] = {
      {"digits then a letter", kTextka, {{"12", "12"}, {"a", ""}}},
      {"a lone minus in a station field", kTextka, {{"-", ""}}},
      {"a lone minus in the azimuth field", kTextca, {{"-", ""}}},
      {"a negative radius typed sign first", kTextra, {{"-", "-"}, {"5", "-5"}}},
      {"a letter into a radius", kTextrb, {{"12", "12"}, {"a", "12"}, {" +,", "12"}}},
      {"Backspace to nothing in a radius", kTextra, {{"7", "7"}, {"\b", ""}, {"\b", ""}}},
      {"two points in a radius", kTextrb, {{"1.", "1."}, {".", ""}}},
      {"two minus signs in a radius", kTextra, {{"--", ""}}},
      {"a digit after a minus in a station field", kTextki, {{"-5", "5"}}},
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
  for (const int id : kInputs) {
    app.SetFocusTo(id);
    app.Type("5.");
    app.Sync();
    EXPECT_EQ(app.Text(id), "5.") << id << ": an unfinished decimal survives";
    app.Type("\b\b1.5");
    app.Sync();
    EXPECT_EQ(app.Text(id), "1.5") << id;
    app.SetText(id, "");
    app.Type("12.75");
    app.Sync();
    EXPECT_EQ(app.Text(id), "12.75") << id;
  }
}

TEST(TypingIntoFields, ArrivingSelectsTheWholeTextSoTypingReplacesIt) {
  for (const WORD key : {WORD{VK_TAB}, WORD{VK_RETURN}}) {
    App app;
    app.SetText(kTextkb, "123");
    app.SetFocusTo(kTextka);
    app.Key(key);
    app.Sync();
    ASSERT_EQ(app.FocusId(), kTextkb);
    EXPECT_EQ(app.Selection(kTextkb), std::make_pair(0, 3));
    app.Type("4");
    app.Sync();
    EXPECT_EQ(app.Text(kTextkb), "4") << (key == VK_TAB ? "Tab" : "Enter");
  }
}

TEST(TypingIntoFields, EnterWalksTheWholeFocusCycleAddingNothing) {
  App app;
  app.FillInputs({"0", "100", "0", "200", "50", "0"});
  app.SetFocusTo(kTextka);
  const int cycle[] = {kTextkb, kTextra, kTextrb, kTextki, kTextca, kComFWJ, kTextka};
  for (const int id : cycle) {
    app.Key(VK_RETURN);
    app.Sync();
    EXPECT_EQ(app.FocusId(), id);
  }
  const char* texts[] = {"0", "100", "0", "200", "50", "0"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(app.Text(kInputs[i]), texts[i]);
  }
  // Enter on the button pressed it once on the way round.
  EXPECT_EQ(app.Text(kTextcia), "3度34分51.6秒");
  EXPECT_EQ(app.OpenBoxes(), 0);
}

TEST(TypingIntoFields, AWholeCalculationFromTheKeyboardAlone) {
  App app;
  app.SetFocusTo(kTextka);
  // Each Enter queues its Tab behind the keys already waiting, so the
  // surveyor's next value follows once the focus has moved, as at the desk.
  for (const char* value : {"0", "100", "0", "200", "50", "0", ""}) {
    app.Type(std::string(value) + "\r");
    app.Sync();
  }
  EXPECT_EQ(app.Text(kTextcia), "3度34分51.6秒");
  EXPECT_EQ(app.FocusId(), kTextka) << "back to the start for the next point";
  ExpectFieldsAllowed(app);
}

TEST(PastingIntoFields, TextThatIsNotANumberEmptiesTheField) {
  const struct {
    int field;
    const char* pasted;
    const char* left;
  } cases[] = {
      {kTextka, "12abc", ""},
      {kTextki, "1,000", ""},
      {kTextkb, "45.5", "45.5"},
      {kTextra, "abc", "7"},  // Ctrl+V never reaches a radius field
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

double PasteMilliseconds(App& app, int field, const std::string& text) {
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
  const double number_ms = PasteMilliseconds(app, kTextka, long_number);
  EXPECT_EQ(app.Text(kTextka), long_number) << "a number of any length stays";
  const double junk_ms = PasteMilliseconds(app, kTextkb, std::string(99999, '1') + "x");
  EXPECT_EQ(app.Text(kTextkb), "");
  const double short_ms = PasteMilliseconds(app, kTextki, std::string(10000, '5'));
  EXPECT_EQ(app.Text(kTextki), std::string(10000, '5'));
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
  app.SetFocusTo(kTextkb);
  const auto start = std::chrono::steady_clock::now();
  app.Type(digits);
  app.Sync();
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(app.Text(kTextkb), digits) << "all 500 keys arrived, in order";
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
