// Editing rules of the six input fields and the window's Enter key. They
// keep every input field empty or holding a number, select a field's text
// when it gets the focus, let only number keys into the radius fields, and
// make Enter move on like Tab.
#pragma once

#include <cstdint>

#include "window/fields.h"

namespace velmora {

inline constexpr std::int16_t kKeyBackspace = 8;
inline constexpr std::int16_t kKeyTab = 9;
inline constexpr std::int16_t kKeyEnter = 13;

// The one text (besides numbers) a field may hold: "" in the station and
// azimuth fields, also a lone "-" in the radius fields, so a negative radius
// can be typed sign first.
std::string_view ExemptText(Field field);

// After any change of an input field's text: a text that is neither a
// number nor the exempt text goes as a whole. Emptying the field is itself
// a change, so this runs once more, nested, and then stops.
void ChangeRule(FieldOps& form, Field field);

// When an input field gets the focus: select its whole text, so the next
// key replaces it.
void SelectAllRule(FieldOps& form, Field field);

// Key press in a radius field: digits, "-", "." and Backspace pass; any
// other code (letters, space, Enter, the Ctrl+C/V/X codes, negative codes)
// becomes 0, which discards the key.
void RadiusKeyFilter(std::int16_t& key);

// Key press seen by the window before the focused control: Enter queues a
// Tab key press. The key itself is left as it is.
void EnterAsTab(FieldOps& form, std::int16_t key);

}  // namespace velmora
