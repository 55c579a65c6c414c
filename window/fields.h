// The operations the calculator's commands and field rules need from the
// window: the text of each field, its selection, a message box and simulated
// typing. The real window implements them with Win32 controls; the unit
// tests with an in-memory form.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The text fields of Form1. The six input fields come first, in the order
// the Calculate command reads them; Textcia is the read-only result.
enum class Field {
  Textka,   // start station
  Textkb,   // end station
  Textra,   // start radius
  Textrb,   // end radius
  Textki,   // station of the calculation point
  Textca,   // start azimuth, packed angle
  Textcia,  // azimuth at the calculation point (result)
};

inline constexpr std::array<Field, 6> kInputFields = {Field::Textka, Field::Textkb, Field::Textra,
                                                      Field::Textrb, Field::Textki, Field::Textca};
inline constexpr std::size_t kFieldCount = 7;

constexpr std::size_t Index(Field field) { return static_cast<std::size_t>(field); }

// The six fields the user types into; Textcia only shows the result.
constexpr bool IsInputField(Field field) { return field != Field::Textcia; }

// The two radius fields: they take only number keys, and may hold a lone
// "-" so that a negative radius can be typed sign first.
constexpr bool IsRadiusField(Field field) {
  return field == Field::Textra || field == Field::Textrb;
}

class FieldOps {
 public:
  virtual ~FieldOps() = default;

  // Current text of a field (UTF-8).
  virtual std::string Text(Field field) const = 0;
  // Replaces the text. A text different from the current one is a change of
  // the field: its change handler runs at once, nested in this call. Setting
  // the text the field already holds does nothing.
  virtual void SetText(Field field, std::string_view text) = 0;
  // Selection in characters from the start of the text.
  virtual void SetSelStart(Field field, int start) = 0;
  virtual void SetSelLength(Field field, int length) = 0;
  // A modal message box owned by the window; returns once it is closed.
  virtual void ShowMessage(std::string_view prompt, std::string_view title, int style) = 0;
  // Queues the text as key presses to the focused control and returns at
  // once, before they are handled.
  virtual void SendKeys(std::string_view keys) = 0;
};

}  // namespace velmora
