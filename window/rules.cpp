#include "window/rules.h"

#include <string>

#include "text/numtext.h"

namespace velmora {
namespace {

// Characters in a UTF-8 text, as the edit controls count them (UTF-16 units).
int CharacterCount(std::string_view text) {
  int count = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0U) != 0x80U) {
      count += byte >= 0xF0U ? 2 : 1;  // four-byte sequences are surrogate pairs
    }
  }
  return count;
}

}  // namespace

std::string_view ExemptText(Field field) { return IsRadiusField(field) ? "-" : ""; }

void ChangeRule(FieldOps& form, Field field) {
  const std::string text = form.Text(field);
  if (text == ExemptText(field) || IsNumber(text)) {
    return;
  }
  form.SetText(field, "");
}

void SelectAllRule(FieldOps& form, Field field) {
  form.SetSelStart(field, 0);
  form.SetSelLength(field, CharacterCount(form.Text(field)));
}

void RadiusKeyFilter(std::int16_t& key) {
  const bool digit = key >= '0' && key <= '9';
  if (!(digit || key == '-' || key == '.' || key == kKeyBackspace)) {
    key = 0;
  }
}

void EnterAsTab(FieldOps& form, std::int16_t key) {
  if (key == kKeyEnter) {
    form.SendKeys("\t");
  }
}

}  // namespace velmora
