// Runs the arithmetic, the Calculate command and the road geometry (the
// point at a station and offset, and the reverse, and the design heights
// of a profile with cross slopes there) on many generated inputs
// and prints every result exactly (radians and coordinates as bit
// patterns), so the Windows builds and the native build can be compared
// line by line.
//
//   velmora_agree generate N SEED > cases   six field texts a line, tab-separated
//   velmora_agree run < cases > results
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "arith/angle.h"
#include "arith/curve.h"
#include "road/locate.h"
#include "road/profile.h"
#include "text/numtext.h"
#include "window/calculate.h"
#include "window/memory_form.h"

namespace velmora {
namespace {

std::string Bits(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  char buf[24];
  std::snprintf(buf, sizeof buf, "%016" PRIx64, bits);
  return buf;
}

// A station or radius as typed, to the millimetre.
std::string Text(double value) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.3f", value);
  return buf;
}

// Values a surveyor types, and values at every edge of the checks.
std::vector<std::string> Case(std::mt19937_64& random) {
  const auto pick = [&random](const std::vector<std::string>& from) {
    return from[static_cast<std::size_t>(random() % from.size())];
  };
  const auto uniform = [&random](double low, double high) {
    return low + (high - low) * static_cast<double>(random() >> 11) * 0x1.0p-53;
  };
  const auto whole = [&random](int low, int high) {
    return low + static_cast<int>(random() % static_cast<std::uint64_t>(high - low + 1));
  };
  // Packed angles: degrees, two digits of minutes, seconds with decimals.
  const auto packed = [&]() {
    char buf[48];
    const int minutes = whole(0, 60);
    const double seconds = whole(0, 3) == 0 ? whole(0, 60) : uniform(0, 60);
    std::snprintf(buf, sizeof buf, "%s%d.%02d%07.4f", whole(0, 9) == 0 ? "-" : "", whole(0, 361),
                  minutes, seconds);
    std::string text = buf;
    text.erase(text.rfind('.'), 1);  // the seconds' own point goes: 82.0640.5 -> 82.06405
    return text;
  };
  const std::vector<std::string> edge_angles = {
      "0",        "360",       "360.0001",    "359.5959",  "359.59599", "360.5959", "45.3",
      "45.3015",  "0.05",      "45.6",        "45.306",    "45.30599",  "45.3075",  "-45.75",
      "-45.3015", "30.75",     "-0",          "1e999",     "-1e999",    "-32768",   "-32769",
      "0.0001",   "90",        "180",         "270",       "-360",      "-365.3",   "45.59",
      "45.5959",  "45.305999", "45.30599999", "359.59595", "0.00005"};
  const std::vector<std::string> edge_radii = {
      "0",      "-", "1e-309",  "4e-324",  "1e308",  "-200",   "1e999",  "0.001", "-0",
      "5e-309", "",  "-1e-309", "-5e-309", "-1e308", "-1e999", "1e-300", "-0.001"};
  // Texts a field may hold when typed or pasted by hand, in any field.
  const std::vector<std::string> edge_texts = {
      "", "-", "1e999", "-1e999", "0.05", "45.3", " 12 ", "+5", "5.", ".5", "1e", "12abc", "-0"};

  const double start = std::round(uniform(-1000, 100000) * 1000) / 1000;
  const double length = whole(0, 20) == 0 ? 0 : std::round(uniform(1, 2000) * 1000) / 1000;
  const double end = start + length;
  double point = start + std::round(uniform(0, length) * 1000) / 1000;
  switch (whole(0, 7)) {
    case 0:
      point = start;
      break;
    case 1:
      point = end;
      break;
    case 2:
      point = start - 0.001;
      break;
    case 3:
      point = end + 0.001;
      break;
    default:
      break;
  }
  const auto radius = [&]() {
    switch (whole(0, 5)) {
      case 0:
        return std::string("0");
      case 1:
        return pick(edge_radii);
      default:
        return Text(std::round(uniform(-3000, 3000) * 100) / 100);
    }
  };
  const std::string azimuth = whole(0, 4) == 0 ? pick(edge_angles) : packed();
  std::vector<std::string> fields = {Text(start), Text(end),   radius(),
                                     radius(),    Text(point), azimuth};
  if (whole(0, 9) == 0) {
    fields[static_cast<std::size_t>(whole(0, 5))] = pick(edge_texts);
  }
  return fields;
}

std::string Maybe(std::optional<double> value) { return value ? Bits(*value) : "none"; }

struct Heights {
  road::Profile profile;
  road::CrossSlopes slopes;
};

// A profile along the element from `start` to `end`: +4 % to a crest of
// a radius, -3 % to an asymmetric sag, +2 % to a circular crest, -1 % to
// the end, each curve a little shorter than the room it has; cross slopes
// of a crown turning into a superelevation to the right. Nothing for an
// element too short to hold it.
std::optional<Heights> HeightsAlong(double start, double end) {
  using road::ProfilePoint;
  using road::VerticalCurveKind;
  const double length = end - start;
  if (!(length >= 40.0)) {
    return std::nullopt;
  }
  const double q = length / 4.0;
  const double z0 = 100.0 + 0.013 * start;
  const double z1 = z0 + 0.04 * q, z2 = z1 - 0.03 * q, z3 = z2 + 0.02 * q;
  ProfilePoint points[5] = {
      {start, z0}, {start + q, z1}, {start + 2 * q, z2}, {start + 3 * q, z3}, {end, z3 - 0.01 * q}};
  // T = R |omega| / 2 at most q / 2 less a tenth.
  points[1].curve = VerticalCurveKind::kRadius;
  points[1].radius = 0.9 * q / 0.07;
  points[2].curve = VerticalCurveKind::kAsymmetric;
  points[2].length_in = 0.4 * q;
  points[2].length_out = 0.2 * q;
  points[3].curve = VerticalCurveKind::kCircle;
  points[3].radius = 0.9 * q / 0.03;
  road::ProfileError error;
  const auto profile = road::BuildProfile(points, error);
  const road::CrossSlope given[] = {
      {start, -2.0, -2.0}, {start + 2 * q, -2.0, 4.0}, {end, -6.0, 6.0}};
  const auto slopes = road::BuildCrossSlopes(given, error);
  if (!profile || !slopes) {
    return std::nullopt;
  }
  return Heights{*profile, *slopes};
}

// The fields as a road element at national grid coordinates: its point at
// the station typed, 7.25 to the right, and where the reverse puts that
// point and one moved off it.
std::string Road(const std::vector<std::string>& f, double azimuth) {
  using road::ElementInput;
  using road::Point;
  const double start = ValueOf(f[0]);
  const ElementInput input{
      start,         ValueOf(f[1]), ValueOf(f[2]),
      ValueOf(f[3]), azimuth,       Point{4500000.0 + 0.37 * start, 39500000.0 - 0.11 * start}};
  const road::Element element{input.start_station, input.end_station, input.start_radius,
                              input.end_radius,    azimuth,           *input.start};
  const double station = ValueOf(f[4]);
  const auto point = road::PointAt(element, station, 7.25);
  std::string line = point ? Bits(point->x) + ' ' + Bits(point->y) : "none";
  // The reverse on elements that turn through a few hundred turns at most,
  // which keeps the run short.
  const auto curvature = [](double radius) { return radius == 0.0 ? 0.0 : 1.0 / radius; };
  const double turning =
      std::fmax(std::fabs(curvature(input.start_radius)), std::fabs(curvature(input.end_radius))) *
      (input.end_station - input.start_station);
  std::string error;
  const auto built = road::BuildAlignment(std::span(&input, 1), {}, {}, error);
  if (!point || !built || !(turning <= 2000.0)) {
    return line;
  }
  const road::Locator locator(built->alignment);
  const std::optional<Heights> heights = HeightsAlong(input.start_station, input.end_station);
  for (const Point p : {*point, Point{point->x + 3.1, point->y - 40.7}}) {
    const auto found = locator.Locate(p, 50.0);
    line += ' ';
    if (found.location) {
      const road::Location& at = *found.location;
      line += Bits(at.distance) + ':' + Bits(at.offset) + ':' + Bits(at.azimuth) + ':' +
              std::to_string(at.element) + ':' + Bits(at.foot.x) + ':' + Bits(at.foot.y);
      // The surveyed point's fill or cut, as locate works it.
      if (heights) {
        line += ':' + Maybe(road::FillCut(heights->profile, heights->slopes, at.distance, at.offset,
                                          101.234 + 0.01 * at.distance));
      }
    } else {
      line += "refused" + std::to_string(static_cast<int>(found.refusal));
    }
  }
  // The station's design elevations as stakeout works them: the centre's
  // with its grade, and two offsets' on their sides' slopes.
  if (heights) {
    line += " h";
    line += ' ' + Maybe(heights->profile.ElevationAt(station));
    line += ' ' + Maybe(heights->profile.GradeAt(station));
    for (const double offset : {-3.5, 7.25}) {
      line +=
          ' ' + Maybe(road::DesignElevation(heights->profile, heights->slopes, station, offset));
    }
  }
  return line;
}

void Run(const std::vector<std::string>& f) {
  // The pieces on their own...
  const MessageBoxFn quiet = [](const std::string&, const std::string&, int) {};
  const auto radians = DmsToRad(ValueOf(f[5]), quiet);
  std::string line;
  for (const std::string& text : f) {
    line += (IsNumber(text) ? "n" : "-") + Bits(ValueOf(text)) + ' ';
  }
  line += radians ? Bits(*radians) + '\t' + RadToDms(*radians) : "rejected";
  const auto azimuth = CurveAzimuth(ValueOf(f[0]), ValueOf(f[1]), ValueOf(f[2]), ValueOf(f[3]),
                                    ValueOf(f[4]), radians.value_or(0.0));
  line += '\t';
  line += azimuth ? Bits(*azimuth) + '\t' + RadToDms(*azimuth) : "fault";
  // ...and the whole command as the window runs it.
  MemoryForm form;
  for (std::size_t i = 0; i < 6; ++i) {
    form.Put(kInputFields[i], f[i]);
  }
  form.Click();
  line += "\t[" + form[Field::Textcia] + "]";
  for (const auto& message : form.messages()) {
    line += '\t' + message.prompt;
  }
  for (std::size_t i = 0; i < 6; ++i) {
    line += '\t' + form[kInputFields[i]];
  }
  line += '\t' + Road(f, radians.value_or(0.0));
  std::fputs((line + '\n').c_str(), stdout);
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) {
    std::mt19937_64 random(std::stoull(argv[3]));
    const int count = std::stoi(argv[2]);
    for (int i = 0; i < count; ++i) {
      const auto fields = velmora::Case(random);
      std::string line;
      for (std::size_t k = 0; k < fields.size(); ++k) {
        line += (k == 0 ? "" : "\t") + fields[k];
      }
      std::fputs((line + '\n').c_str(), stdout);
    }
    return 0;
  }
  if (mode == "run") {
    std::string line;
    while (std::getline(std::cin, line)) {
      std::vector<std::string> fields;
      std::stringstream split(line);
      std::string field;
      while (std::getline(split, field, '\t')) {
        fields.push_back(field);
      }
      fields.resize(6);
      velmora::Run(fields);
    }
    return 0;
  }
  std::fprintf(stderr, "usage: velmora_agree generate N SEED | run < cases\n");
  return 2;
}
