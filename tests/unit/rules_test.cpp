// The field rules and the window's Enter key, as the router applies them to
// the events of an in-memory Form1.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "window/memory_form.h"
#include "window/router.h"

namespace velmora {
namespace {

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
      {Field::Textcia, "abc", "abc"},  // the result field has no rule
  };
  for (const auto& c : cases) {
    MemoryForm form;
    form.Replace(c.field, c.typed);
    EXPECT_EQ(form[c.field], c.left) << FieldName(c.field) << " " << c.typed;
  }
}

TEST(ChangeRule, EmptyingReentersAtMostOnce) {
  for (const Field field : kInputFields) {
    MemoryForm form;
    form.Replace(field, "abc");
    EXPECT_EQ(form[field], "");
    EXPECT_EQ(form.changes(field), 2) << FieldName(field) << ": the edit and the emptying";
    EXPECT_EQ(form.deepest_change(), 2);
  }
}

TEST(ChangeRule, RadiusEmptiedByTheCalculateCommandDoesNotLoop) {
  MemoryForm form;
  form.Fill({"0", "100", "-", "-", "50", "0"});
  form.Click();
  EXPECT_EQ(form[Field::Textra], "");
  EXPECT_EQ(form[Field::Textrb], "-");
  EXPECT_EQ(form.changes(Field::Textra), 1);
  EXPECT_TRUE(form.messages().empty());
}

TEST(SelectAllRule, SelectsTheWholeTextOfAnInputField) {
  const struct {
    Field field;
    const char* text;
    int start;
    int length;
  } cases[] = {{Field::Textkb, "", 0, 0},          {Field::Textkb, "123", 0, 3},
               {Field::Textra, "-", 0, 1},         {Field::Textca, "45.3015", 0, 7},
               {Field::Textkb, "一二三", 0, 3},    {Field::Textkb, "😀", 0, 2},
               {Field::Textcia, "1度2分3秒", 2, 0}};  // the result field is left alone
  for (const auto& c : cases) {
    MemoryForm form;
    form.Put(c.field, c.text);
    form.SetSelStart(c.field, 2);
    form.Focus(c.field);
    EXPECT_EQ(form.sel_start(c.field), c.start) << c.text;
    EXPECT_EQ(form.sel_length(c.field), c.length) << c.text;
  }
}

TEST(RadiusKeyFilter, LetsOnlyNumberKeysThroughInTheRadiusFields) {
  for (const Field field : kInputFields) {
    for (int code = -32768; code <= 32767; ++code) {
      MemoryForm form;
      const KeyAnswer answer = form.Key(KeyTarget::InField(field), static_cast<std::int16_t>(code));
      const bool number_key =
          (code >= '0' && code <= '9') || code == '-' || code == '.' || code == 8;
      const bool kept = code != 13 && (!IsRadiusField(field) || number_key);
      ASSERT_EQ(answer.action, kept ? KeyAction::Keep : KeyAction::Drop)
          << FieldName(field) << " key code " << code;
      if (kept) {
        ASSERT_EQ(answer.key, code) << "a kept key is passed on unchanged";
      }
    }
  }
}

TEST(EnterAsTab, EnterQueuesOneTabWhereverTheFocusIs) {
  const struct {
    KeyTarget target;
    std::int16_t key;
    const char* sent;
    KeyAction action;
  } cases[] = {
      {KeyTarget::InField(Field::Textka), 13, "\t", KeyAction::Drop},
      {KeyTarget::InField(Field::Textra), 13, "\t", KeyAction::Drop},  // filtered, Tab still sent
      {KeyTarget::InField(Field::Textcia), 13, "\t", KeyAction::Drop},
      {KeyTarget::OnButton(), 13, "\t", KeyAction::Click},
      {KeyTarget{}, 13, "\t", KeyAction::Drop},
      {KeyTarget::OnButton(), ' ', "", KeyAction::Keep},
      {KeyTarget::InField(Field::Textka), 9, "", KeyAction::Keep},
      {KeyTarget::InField(Field::Textka), 10, "", KeyAction::Keep},
      {KeyTarget::InField(Field::Textka), -13, "", KeyAction::Keep},
  };
  for (const auto& c : cases) {
    MemoryForm form;
    form.StartLog();
    const KeyAnswer answer = form.Key(c.target, c.key);
    EXPECT_EQ(form.sent_keys(), c.sent) << c.key;
    EXPECT_EQ(answer.action, c.action) << c.key;
    EXPECT_TRUE(form.log().empty()) << "no field is touched";
  }
}

}  // namespace
}  // namespace velmora
