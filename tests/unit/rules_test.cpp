#include "window/rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "tests/support/memory_form.h"
#include "window/calculate.h"

namespace velmora {
namespace {

using testing::MemoryForm;

// A form whose input fields run the change rule, counting the runs.
struct RuledForm {
  MemoryForm form;
  std::map<Field, int> runs;
  int depth = 0;
  int deepest = 0;

  RuledForm() {
    form.on_change = [this](MemoryForm& f, Field field) {
      if (field == Field::Textcia) {
        return;
      }
      ++runs[field];
      ++depth;
      deepest = std::max(deepest, depth);
      ChangeRule(f, field);
      --depth;
    };
  }
};

TEST(ChangeRule, KeepsNumbersAndTheExemptTextAndEmptiesAnythingElse) {
  const struct {
    Field field;
    const char* typed;
    const char* left;
  } cases[] = {
      {Field::Textka, "12", "12"},       {Field::Textka, "12a", ""},
      {Field::Textka, "-", ""},          {Field::Textkb, "5.", "5."},
      {Field::Textki, ".5", ".5"},       {Field::Textca, "45.3015", "45.3015"},
      {Field::Textca, "1.2.", ""},       {Field::Textki, "1e", ""},
      {Field::Textra, "-", "-"},         {Field::Textrb, "-", "-"},
      {Field::Textra, "-5", "-5"},       {Field::Textrb, "--", ""},
      {Field::Textra, "5-", ""},         {Field::Textrb, "1..", ""},
      {Field::Textra, "12.75", "12.75"}, {Field::Textkb, "一二", ""},
  };
  for (const auto& c : cases) {
    RuledForm ruled;
    ruled.form.SetText(c.field, c.typed);
    EXPECT_EQ(ruled.form[c.field], c.left) << testing::FieldName(c.field) << " " << c.typed;
  }
}

TEST(ChangeRule, EmptyingReentersAtMostOnce) {
  for (const Field field : kInputFields) {
    RuledForm ruled;
    ruled.form.SetText(field, "abc");
    EXPECT_EQ(ruled.form[field], "");
    EXPECT_EQ(ruled.runs[field], 2) << testing::FieldName(field) << ": the edit and the emptying";
    EXPECT_EQ(ruled.deepest, 2);
  }
}

TEST(ChangeRule, RadiusEmptiedByTheCalculateCommandDoesNotLoop) {
  RuledForm ruled;
  ruled.form.Fill({"0", "100", "-", "-", "50", "0"});
  Calculate(ruled.form);
  EXPECT_EQ(ruled.form[Field::Textra], "");
  EXPECT_EQ(ruled.form[Field::Textrb], "-");
  EXPECT_EQ(ruled.runs[Field::Textra], 1);
  EXPECT_TRUE(ruled.form.messages.empty());
}

TEST(SelectAllRule, SelectsTheWholeText) {
  const struct {
    const char* text;
    int length;
  } cases[] = {{"", 0}, {"123", 3}, {"-", 1}, {"45.3015", 7}, {"一二三", 3}, {"😀", 2}};
  for (const auto& c : cases) {
    MemoryForm form;
    form[Field::Textkb] = c.text;
    form.sel_start[1] = 2;
    SelectAllRule(form, Field::Textkb);
    EXPECT_EQ(form.sel_start[1], 0) << c.text;
    EXPECT_EQ(form.sel_length[1], c.length) << c.text;
  }
}

TEST(RadiusKeyFilter, LetsOnlyNumberKeysThrough) {
  for (int code = -32768; code <= 32767; ++code) {
    std::int16_t key = static_cast<std::int16_t>(code);
    RadiusKeyFilter(key);
    const bool passes = (code >= '0' && code <= '9') || code == '-' || code == '.' || code == 8;
    ASSERT_EQ(key, passes ? code : 0) << "key code " << code;
  }
}

TEST(EnterAsTab, EnterQueuesATabAndIsKept) {
  const struct {
    std::int16_t key;
    const char* sent;
  } cases[] = {{13, "\t"}, {9, ""}, {10, ""}, {'a', ""}, {-13, ""}, {0, ""}};
  for (const auto& c : cases) {
    MemoryForm form;
    std::int16_t key = c.key;
    EnterAsTab(form, key);
    EXPECT_EQ(form.sent_keys, c.sent) << c.key;
    EXPECT_TRUE(form.log.empty()) << "no field is touched";
  }
}

}  // namespace
}  // namespace velmora
