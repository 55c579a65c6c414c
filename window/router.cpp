#include "window/router.h"

#include "window/calculate.h"
#include "window/rules.h"

namespace velmora {

void Router::TextChanged(Field field) {
  if (IsInputField(field)) {
    ChangeRule(form_, field);
  }
}

void Router::GotFocus(Field field) {
  if (IsInputField(field)) {
    SelectAllRule(form_, field);
  }
}

KeyAnswer Router::KeyTyped(KeyTarget target, std::int16_t key) {
  EnterAsTab(form_, key);
  if (target.field && IsRadiusField(*target.field)) {
    RadiusKeyFilter(key);
    if (key == 0) {
      return {KeyAction::Drop, 0};
    }
  }
  if (key == kKeyEnter) {
    return {target.button ? KeyAction::Click : KeyAction::Drop, key};
  }
  return {KeyAction::Keep, key};
}

void Router::Clicked() { Calculate(form_); }

}  // namespace velmora
