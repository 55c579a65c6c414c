// table: a stake-out table of one element, each row the window's answer.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "text/csv.h"
#include "text/numtext.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    Needed("--start", "S", "the start station."),
    Needed("--end", "E", "the end station."),
    Needed("--start-radius", "RA", "the start radius."),
    Needed("--end-radius", "RB", "the end radius."),
    Needed("--start-azimuth", "CA", "the start azimuth, packed (45.3015)."),
    Needed("--every", "STEP", "a row at every whole multiple of STEP.", ValueKind::kStep),
    Repeated("--at", "S", "a row at station S too."),
};

constexpr CommandSpec kSpec = {
    .name = "table",
    .operands = "",
    .operands_wanted = "no operands",
    .min_operands = 0,
    .max_operands = 0,
    .options = kOptions,
    .summary = "a stake-out table of one element, each row the window's answer",
    .description =
        "A stake-out table as CSV: the start station, every whole multiple of\n"
        "STEP between start and end (each a product, so nothing drifts), the end\n"
        "station, and each --at station; columns station, azimuth, and the\n"
        "azimuth packed to 0.1 second, ready to paste as a start azimuth.\n",
    .options_before_operands_only = false,
};

constexpr std::string_view kTableHeader = "station,azimuth,packed";
constexpr std::size_t kMaxTableRows = 10'000'000;
// Whole multiples of the step are counted exactly up to 2^53.
constexpr double kLargestExactWhole = 9007199254740992.0;

struct Station {
  double value;
  std::string_view point_text;  // the text pasted into Textki
};

int RunTable(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  const std::string_view start = *args.Value("--start");
  const std::string_view end = *args.Value("--end");
  const std::string_view start_radius = *args.Value("--start-radius");
  const std::string_view end_radius = *args.Value("--end-radius");
  const std::string_view start_azimuth = *args.Value("--start-azimuth");
  std::vector<Station> chosen;
  for (const std::string_view at : args.Values("--at")) {
    chosen.push_back({ValueOf(at), at});
  }

  Calculator calculator;
  for (const Station& at : chosen) {
    if (const auto refusal = calculator.Refusal(Field::Textki, at.point_text)) {
      return Complain(system, *refusal, kExitUsage);
    }
  }
  const double step = *args.Number("--every");

  // The start station first: what the window says of it, it says of every
  // station (except a chosen one outside the element).
  const auto answer_at = [&](std::string_view point) -> const Answer& {
    return calculator.Run({start, end, start_radius, end_radius, point, start_azimuth});
  };
  if (const Answer& first = answer_at(start); first.azimuth.empty()) {
    return Complain(system, first.message, first.field_refused ? kExitUsage : kExitRefused);
  }

  // The multiples k * step strictly between the start and the end, as
  // products: no sum of steps drifts.
  const double from = ValueOf(start);
  const double to = ValueOf(end);
  double first_k = 1.0;
  double last_k = 0.0;
  const std::string too_many =
      "the table would have more than " + std::to_string(kMaxTableRows) + " rows";
  if (from < to) {
    if (!((to - from) / step <= static_cast<double>(kMaxTableRows)) ||
        !(std::fabs(from / step) < kLargestExactWhole - 2.0) ||
        !(std::fabs(to / step) < kLargestExactWhole - 2.0)) {
      return UsageError(system, syntax, too_many);
    }
    first_k = std::floor(from / step);
    while (first_k * step <= from) {
      first_k += 1.0;
    }
    while ((first_k - 1.0) * step > from) {
      first_k -= 1.0;
    }
    last_k = std::ceil(to / step);
    while (last_k * step >= to) {
      last_k -= 1.0;
    }
    while ((last_k + 1.0) * step < to) {
      last_k += 1.0;
    }
  }
  const double multiples = last_k >= first_k ? last_k - first_k + 1.0 : 0.0;
  if (multiples + 2.0 + static_cast<double>(chosen.size()) > static_cast<double>(kMaxTableRows)) {
    return UsageError(system, syntax, too_many);
  }

  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const Station& a, const Station& b) { return a.value < b.value; });
  Writer out(system.Out(), false);
  Writer err(system.Err(), false);
  out.Line(kTableHeader);
  int status = kExitAnswered;
  std::optional<double> last_value;
  const auto row = [&](double value, std::string_view point_text) {
    if (last_value && *last_value == value) {
      return;  // one row a station
    }
    last_value = value;
    const std::string station = NumberToText(value);
    const Answer& answer = answer_at(point_text);
    text::AppendCsvField(out.text, station);
    out.text += ',';
    text::AppendCsvField(out.text, answer.azimuth);
    out.text += ',';
    if (!answer.azimuth.empty()) {
      text::AppendCsvField(out.text, PackedFromDisplay(answer.azimuth).value_or(""));
    } else {
      err.Line(station + ": " + answer.message);
      status = kExitRefused;
    }
    out.EndLine();
  };
  // The grid (start, multiples, end) merged with the chosen stations.
  auto at = chosen.begin();
  const auto chosen_before = [&](double value) {
    while (at != chosen.end() && at->value <= value) {
      row(at->value, at->point_text);
      ++at;
    }
  };
  chosen_before(from);
  row(from, start);
  for (double k = first_k; k <= last_k; k += 1.0) {
    const double value = k * step;
    chosen_before(value);
    row(value, NumberToText(value));
  }
  chosen_before(to);
  row(to, end);
  chosen_before(HUGE_VAL);
  err.Finish();
  return Finish(system, out, status);
}

}  // namespace

const Command kTableCommand = {kSpec, RunTable};

}  // namespace velmora::cli
