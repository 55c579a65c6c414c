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
  // Key codes as the edit control hands them over, with what a radius field
  // and what any other input field make of them.
  const struct {
    int code;
    const char* what;
    KeyAction radius;
    KeyAction other;
  } cases[] = {
      {'0', "first digit", KeyAction::Keep, KeyAction::Keep},
      {'5', "digit", KeyAction::Keep, KeyAction::Keep},
      {'9', "last digit", KeyAction::Keep, KeyAction::Keep},
      {'-', "minus", KeyAction::Keep, KeyAction::Keep},
      {'.', "decimal point", KeyAction::Keep, KeyAction::Keep},
      {8, "Backspace", KeyAction::Keep, KeyAction::Keep},
      {'/', "just below the digits", KeyAction::Drop, KeyAction::Keep},
      {':', "just above the digits", KeyAction::Drop, KeyAction::Keep},
      {'+', "plus", KeyAction::Drop, KeyAction::Keep},
      {',', "comma", KeyAction::Drop, KeyAction::Keep},
      {' ', "space", KeyAction::Drop, KeyAction::Keep},
      {'e', "exponent letter", KeyAction::Drop, KeyAction::Keep},
      {'E', "capital exponent letter", KeyAction::Drop, KeyAction::Keep},
      {'a', "letter", KeyAction::Drop, KeyAction::Keep},
      {9, "Tab", KeyAction::Drop, KeyAction::Keep},
      {13, "Enter", KeyAction::Drop, KeyAction::Drop},
      {3, "Ctrl+C", KeyAction::Drop, KeyAction::Keep},
      {22, "Ctrl+V", KeyAction::Drop, KeyAction::Keep},
      {24, "Ctrl+X", KeyAction::Drop, KeyAction::Keep},
      {127, "Ctrl+Backspace", KeyAction::Drop, KeyAction::Keep},
      {0x0130, "a code whose low byte is a digit", KeyAction::Drop, KeyAction::Keep},
      {0x012D, "a code whose low byte is a minus", KeyAction::Drop, KeyAction::Keep},
      {0x0108, "a code whose low byte is Backspace", KeyAction::Drop, KeyAction::Keep},
      {0xFF10 - 0x10000, "full-width digit zero, negative as 16 bits", KeyAction::Drop,
       KeyAction::Keep},
      {0x4E00, "a Chinese character", KeyAction::Drop, KeyAction::Keep},
      {-32768, "the lowest code", KeyAction::Drop, KeyAction::Keep},
      {32767, "the highest code", KeyAction::Drop, KeyAction::Keep},
      {-1, "minus one", KeyAction::Drop, KeyAction::Keep},
  };
  for (const Field field : kInputFields) {
    for (const auto& c : cases) {
      MemoryForm form;
      const auto key = static_cast<std::int16_t>(c.code);
      const KeyAnswer answer = form.Key(KeyTarget::InField(field), key);
      const KeyAction expected = IsRadiusField(field) ? c.radius : c.other;
      EXPECT_EQ(answer.action, expected) << FieldName(field) << ": " << c.what;
      if (answer.action == KeyAction::Keep) {
        EXPECT_EQ(answer.key, key) << FieldName(field) << ": a kept key goes on unchanged";
      }
    }
  }
}

TEST(RadiusKeyFilter, ThirteenCodesOfAllSixtyFiveThousandPassARadiusField) {
  // The ten digits, "-", "." and Backspace, and nothing else, whichever of
  // the 65,536 codes arrives; the other fields drop only Enter.
  for (const Field field : kInputFields) {
    MemoryForm form;
    int kept = 0;
    for (int code = -32768; code <= 32767; ++code) {
      kept += form.Key(KeyTarget::InField(field), static_cast<std::int16_t>(code)).action ==
              KeyAction::Keep;
    }
    EXPECT_EQ(kept, IsRadiusField(field) ? 13 : 65535) << FieldName(field);
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
