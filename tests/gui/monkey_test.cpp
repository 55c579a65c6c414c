// Thousands of random user actions on the real window: keys of every kind,
// pastes, clicks on 计算 and on fields, message boxes closed as they come.
// Seeded and reproducible: VELMORA_MONKEY_SEED, VELMORA_MONKEY_ACTIONS.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "tests/gui/app.h"
#include "tests/gui/form_facts.h"
#include "window/calculate.h"
#include "window/memory_form.h"

namespace velmora::gui {
namespace {

unsigned long EnvOr(const char* name, unsigned long fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::strtoul(value, nullptr, 10) : fallback;
}

// What the command should make of the fields as they are now.
MemoryForm Expected(const App& app) {
  MemoryForm form;
  for (const Field field : kInputFields) {
    form.Put(field, app.Text(field));
  }
  form.Click();
  return form;
}

std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> texts = {"0",
                                                 "100",
                                                 "45.3015",
                                                 "-",
                                                 "-200",
                                                 "1e999",
                                                 "abc",
                                                 "1.2.3",
                                                 "360.0001",
                                                 "30.75",
                                                 " 5 ",
                                                 "1e-309",
                                                 "12a",
                                                 "",
                                                 ".5",
                                                 "5.",
                                                 "99999999999999999999",
                                                 "-0",
                                                 "1,5",
                                                 "一二"};
  return texts[random() % texts.size()];
}

TEST(Monkey, RandomActionsKeepEveryFieldAndResultSound) {
  const unsigned long seed = EnvOr("VELMORA_MONKEY_SEED", 20261208);
  const unsigned long actions = EnvOr("VELMORA_MONKEY_ACTIONS", 300);
  std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
  App app;
  ASSERT_NE(app.Window(), nullptr);
  const std::string keys = "0123456789.-.-ab +x,\b\b\t\r\r";
  int clicks = 0;
  int boxes = 0;
  int results = 0;
  for (unsigned long action = 0; action < actions; ++action) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", action " + std::to_string(action));
    const unsigned kind = random() % 100;
    if (kind < 8) {
      // Click 计算: the window does exactly what the command does.
      const MemoryForm expected = Expected(app);
      app.Click();
      ++clicks;
      const auto box = app.Box();
      EXPECT_EQ(box.has_value(), !expected.messages().empty());
      if (box && !expected.messages().empty()) {
        EXPECT_EQ(box->prompt, expected.messages().front().prompt);
        app.CloseBox();
        ++boxes;
      }
      EXPECT_EQ(app.Text(Field::Textcia), expected[Field::Textcia]);
      results += expected[Field::Textcia].empty() ? 0 : 1;
      for (const Field field : kInputFields) {
        EXPECT_EQ(app.Text(field), expected[field]) << FieldName(field);
      }
    } else if (kind < 12) {
      // A sound element now and then, so that clicks give results too.
      const double start = static_cast<double>(random() % 1000);
      const double length = static_cast<double>(random() % 300 + 1);
      app.FillInputs({std::to_string(start), std::to_string(start + length),
                      std::to_string(static_cast<int>(random() % 2000) - 1000), "0",
                      std::to_string(start + length / 2), "45.3015"});
    } else if (kind < 16) {
      app.SetFocusTo(kInputFields[random() % kInputFields.size()]);
    } else if (kind < 22) {
      ASSERT_TRUE(App::SetClipboard(RandomText(random)));
      app.Ctrl('V');
    } else if (kind < 27) {
      app.SetText(kInputFields[random() % kInputFields.size()], RandomText(random));
    } else if (kind < 30) {
      app.Key(VK_TAB, /*shift=*/true);
    } else {
      app.Type(std::string(1, keys[random() % keys.size()]));
    }
    app.Sync();
    ASSERT_TRUE(app.Alive());
    ASSERT_LE(app.OpenBoxes(), 1);
    if (app.OpenBoxes() == 1) {  // Enter on the button pressed it
      app.CloseBox();
      ++boxes;
    }
    for (const Field field : kInputFields) {
      const std::string text = app.Text(field);
      ASSERT_TRUE(FieldMayHold(field, text)) << FieldName(field) << " holds \"" << text << '"';
    }
    const std::string result = app.Text(Field::Textcia);
    ASSERT_TRUE(result.empty() || result.find("秒") != std::string::npos) << result;
  }
  std::printf("%lu actions (seed %lu): %d clicks, %d message boxes, %d results\n", actions, seed,
              clicks, boxes, results);
}

}  // namespace
}  // namespace velmora::gui
