// The console program: one point (calc), a stake-out table of an element
// (table), a spreadsheet of points (csv), and whole roads from an element
// file (check, stakeout, locate). Every azimuth of calc, table and csv
// comes from Form1 in memory, driven as a person drives the window: each
// text pasted into its field, then a click on 计算.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/output.h"
#include "cli/streams.h"
#include "window/fields.h"
#include "window/memory_form.h"

namespace velmora::cli {

// The window's answer for one point.
struct Answer {
  std::string azimuth;         // the text of Textcia; empty when refused
  std::string message;         // why there is no azimuth: the window's prompt, or
                               // a text its field would not keep
  bool field_refused = false;  // the latter
};

class Calculator {
 public:
  // Pastes the texts into Textka, Textkb, Textra, Textrb, Textki and Textca
  // and clicks 计算. A text its field does not keep (the field's change rule
  // empties it) ends the run before the click.
  const Answer& Run(const std::array<std::string_view, kInputFields.size()>& texts);

  // Why `field` would not keep `text` ("起点桩号不是数字：\"12a\""), or
  // nothing when it keeps it.
  std::optional<std::string> Refusal(Field field, std::string_view text);

 private:
  // Whether `field` keeps `text` pasted over its whole text.
  bool Keeps(Field field, std::string_view text);

  MemoryForm form_;
  Answer answer_;
};

// Runs the program with its arguments (without the program's name) and
// returns its exit status.
int Run(std::span<const std::string> args, System& system);

}  // namespace velmora::cli
