#include "model/road.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "arith/angle.h"
#include "landxml/reader.h"
#include "model/stations.h"
#include "text/csv.h"
#include "text/text.h"

namespace velmora::model {
namespace {

// UTF-16 by its byte-order mark, or by a zero byte among the first two.
bool LooksLikeUtf16(std::string_view bytes) {
  return bytes.size() >= 2 && (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
                               bytes[0] == '\0' || bytes[1] == '\0');
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool LooksLikeXml(std::string_view bytes) {
  if (LooksLikeUtf16(bytes)) {
    // The byte of each 16-bit unit that holds an ASCII character, the other
    // being zero: the low one first in little-endian text.
    const bool little = bytes[1] == '\0' || bytes.starts_with("\xFF\xFE");
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
      bytes.remove_prefix(2);
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const char ascii = little ? bytes[i] : bytes[i + 1];
      const char zero = little ? bytes[i + 1] : bytes[i];
      if (zero != '\0' || !IsBlank(ascii)) {
        return zero == '\0' && ascii == '<';
      }
    }
    return false;
  }
  if (bytes.starts_with(text::kByteOrderMark)) {
    bytes.remove_prefix(text::kByteOrderMark.size());
  }
  while (!bytes.empty() && IsBlank(bytes.front())) {
    bytes.remove_prefix(1);
  }
  return bytes.starts_with('<');
}

namespace {

// The alignment's design profile the options choose, computed along the
// road; nothing when it has none.
bool TakeProfile(const landxml::ReadAlignment& read, const std::string& which,
                 const LoadOptions& options, Road& loaded, LoadError& error) {
  if (read.ground_profiles > 0) {
    loaded.notes.push_back(which + ": its ground profile (ProfSurf) is not the design: not read");
  }
  const auto names = [&read] {
    std::string list;
    for (const landxml::ReadProfile& p : read.profiles) list += "\n  " + text::Printable(p.name);
    return list;
  };
  const landxml::ReadProfile* chosen = nullptr;
  if (options.profile_name) {
    for (const landxml::ReadProfile& p : read.profiles) {
      if (p.name == *options.profile_name && chosen == nullptr) chosen = &p;
    }
    if (chosen == nullptr) {
      error.kind = LoadError::Kind::kAlignment;
      error.message = which + " holds no profile named \"" +
                      text::Printable(*options.profile_name) + "\"" +
                      (read.profiles.empty() ? "; it holds no design profile (ProfAlign)"
                                             : "; it holds:" + names());
      return false;
    }
  } else if (read.profiles.size() > 1) {
    error.kind = LoadError::Kind::kAlignment;
    error.message = which + " holds " + std::to_string(read.profiles.size()) +
                    " profiles; choose one with --profile-name NAME:" + names();
    return false;
  } else if (read.profiles.size() == 1) {
    chosen = &read.profiles.front();
  } else {
    return true;
  }
  error.kind = LoadError::Kind::kLandXml;
  const std::string where = which + ", profile \"" + text::Printable(chosen->name) + "\"";
  if (!chosen->error.empty()) {
    error.message = where + ": " + chosen->error;
    return false;
  }
  const auto point_name = [&](std::size_t i) {
    return ", its point " + std::to_string(i + 1) + " (" + chosen->kinds[i] + ")";
  };
  std::vector<road::ProfilePoint> points = chosen->points;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (std::optional<std::string> problem =
            DistanceOfStation(loaded.alignment, points[i].station, points[i].station)) {
      error.message = where + point_name(i) + ": " + *problem;
      return false;
    }
  }
  road::ProfileError why;
  std::optional<road::Profile> profile = road::BuildProfile(points, why);
  if (!profile) {
    error.message = where + (points.empty() ? std::string(": it holds no point; give the "
                                                          "profile's start and end at least")
                                            : point_name(std::min(why.point, points.size() - 1)) +
                                                  ": " + why.what);
    return false;
  }
  for (const road::VerticalCurveRow& row : profile->CurveTable()) {
    const std::optional<double> stated = chosen->stated_lengths[row.point];
    if (!stated || row.curve != road::VerticalCurveKind::kCircle) continue;
    const double off =
        std::min(std::fabs(*stated - row.length), std::fabs(*stated - row.arc_length));
    if (off > options.tolerance.distance) {
      loaded.circle_lengths.push_back({row.point, *stated, row.length, row.arc_length});
    }
  }
  loaded.profile_name = chosen->name;
  loaded.profile = ProfileFile{std::move(*profile), std::move(points),
                               std::vector<std::uint64_t>(chosen->points.size(), 0)};
  return true;
}

// The alignment of a LandXML file: the one options.alignment names, or the
// only one. Each element starts at its own stated Start point with the
// direction its points give; the stated End points are checked after the
// join. Directions between elements are not compared: the file states none,
// and one that is off moves the element's computed end away from its End.
bool LoadLandXml(std::string_view bytes, const LoadOptions& options, Road& loaded,
                 LoadError& error) {
  error.kind = LoadError::Kind::kLandXml;
  const std::optional<landxml::Document> document = landxml::ReadLandXml(bytes, error.message);
  if (!document) {
    return false;
  }
  const landxml::ReadAlignment* read =
      landxml::SelectAlignment(*document, options.alignment.value_or(""), error.message);
  if (read == nullptr) {
    error.kind = LoadError::Kind::kAlignment;
    return false;
  }
  loaded.landxml = true;
  loaded.alignment_name = read->name;
  const std::string which = "alignment \"" + text::Printable(read->name) + "\"";
  if (!read->error.empty()) {
    error.message = which + ": " + read->error;
    return false;
  }
  for (const std::string& note : read->notes) {
    loaded.notes.push_back(which + ": " + note);
  }
  loaded.file.elements = landxml::Inputs(*read);
  loaded.file.lines.assign(read->elements.size(), 0);
  loaded.file.azimuth_texts.assign(read->elements.size(), std::string());
  loaded.file.equations = read->equations;
  for (const landxml::ReadElement& element : read->elements) {
    loaded.kinds.push_back(element.kind);
  }
  road::Tolerance tolerance = options.tolerance;
  tolerance.angle = kPi;
  std::string road_error;
  std::optional<road::Built> built =
      road::BuildAlignment(loaded.file.elements, read->equations, tolerance, road_error);
  if (!built) {
    error.kind = LoadError::Kind::kJoin;
    error.message = which + ", " + road_error;
    return false;
  }
  loaded.alignment = std::move(built->alignment);
  loaded.units = document->units;
  loaded.discrepancies = std::move(built->discrepancies);
  loaded.contradictions = landxml::CheckStated(loaded.alignment, *read, options.tolerance.distance);
  return !options.profile || TakeProfile(*read, which, options, loaded, error);
}

// A PI file's road: the elements of its table joined, each on the line of
// its JD (or of BP before the first curve).
bool LoadPi(std::string_view bytes, const LoadOptions& options, Road& loaded, LoadError& error) {
  text::BytesSource source(bytes);
  std::optional<PiFile> file = ReadPiFile(source, error);
  if (!file) {
    return false;
  }
  std::optional<PiData> data = ConvertPiFile(std::move(*file), options.tolerance.distance, error);
  if (!data) {
    return false;
  }
  loaded.file.elements = data->road.elements;
  for (const road::ElementInput& element : loaded.file.elements) {
    const double middle = 0.5 * (element.start_station + element.end_station);
    std::size_t point = 0;
    for (const road::PiCurve& curve : data->road.curves) {
      if (curve.radius != 0.0 && curve.zh <= middle) {
        point = curve.point;
      }
    }
    loaded.file.lines.push_back(data->file.lines[point]);
  }
  loaded.file.azimuth_texts.assign(loaded.file.elements.size(), std::string());
  std::string road_error;
  std::optional<road::Built> built =
      road::BuildAlignment(loaded.file.elements, {}, options.tolerance, road_error);
  if (!built) {
    error.kind = LoadError::Kind::kJoin;
    error.message = road_error;
    return false;
  }
  loaded.alignment = std::move(built->alignment);
  loaded.discrepancies = std::move(built->discrepancies);
  loaded.pi = std::move(*data);
  return true;
}

}  // namespace

std::string LoadError::Text() const {
  return text::Printable(file) + (kind == Kind::kWrongOption ? ": " : ", ") + message;
}

std::string Road::Place(std::size_t element) const {
  if (!landxml) {
    return "line " + std::to_string(element < file.lines.size() ? file.lines[element] : 0);
  }
  std::string place = "alignment \"" + text::Printable(alignment_name) + "\", element " +
                      std::to_string(element + 1);
  if (element < kinds.size() && element < alignment.elements().size()) {
    place += " (" + kinds[element] + ") at station ";
    AppendStation(place, alignment.DisplayStation(alignment.elements()[element].start_station),
                  StationFormat::kPlain, 3);
  }
  return place;
}

bool Road::Contradicts() const {
  return !discrepancies.empty() || !contradictions.empty() || (pi && !pi->mismatches.empty()) ||
         !circle_lengths.empty();
}

std::vector<Finding> Road::Findings() const {
  std::vector<Finding> findings;
  for (const road::Discrepancy& d : discrepancies) {
    findings.push_back({d.element, d});
  }
  for (const landxml::Contradiction& c : contradictions) {
    findings.push_back({c.element, c});
  }
  return findings;
}

std::vector<std::string> Road::FindingTexts(int decimals) const {
  std::vector<std::string> texts;
  for (const Finding& finding : Findings()) {
    const std::string at = text::Printable(name) + ", " + Place(finding.element) + ": ";
    if (const auto* c = std::get_if<landxml::Contradiction>(&finding.what)) {
      texts.push_back(at + landxml::Describe(*c, decimals));
      continue;
    }
    const auto& d = std::get<road::Discrepancy>(finding.what);
    if (d.distance != 0.0) {
      std::string line = at + "the start point given is ";
      text::AppendFixed(line, d.distance, decimals);
      texts.push_back(line + " from the end of the previous element");
    }
    if (d.angle != 0.0) {
      std::string line = at + "the start azimuth given differs from the previous element's end by ";
      text::AppendFixed(line, d.angle * kDegreesPerHalfTurn / kPi * kSecondsPerDegree, 1);
      texts.push_back(line + " seconds (given minus carried)");
    }
  }
  if (pi) {
    for (const PiMismatch& m : pi->mismatches) {
      std::string line = text::Printable(name) + ", line " +
                         std::to_string(pi->file.lines[m.point]) + ": " +
                         text::Printable(PiPointName(pi->file.table, m.point)) + "'s " +
                         std::string(kPiDrawnColumns[m.column]) + " is ";
      text::AppendFixed(line, m.given, decimals);
      line += " in the file and ";
      text::AppendFixed(line, m.computed, decimals);
      texts.push_back(line + " computed");
    }
  }
  for (const CircleLength& c : circle_lengths) {
    std::string line = text::Printable(name) + ", alignment \"" + text::Printable(alignment_name) +
                       "\", profile \"" + text::Printable(profile_name) + "\", its point " +
                       std::to_string(c.point + 1) + " (CircCurve): its length ";
    text::AppendFixed(line, c.stated, decimals);
    line += " is neither the circle's horizontal length ";
    text::AppendFixed(line, c.horizontal, decimals);
    line += " nor its length along the arc ";
    text::AppendFixed(line, c.arc, decimals);
    texts.push_back(line);
  }
  return texts;
}

std::variant<Road, LoadError> Load(std::string_view bytes, std::string_view name,
                                   const LoadOptions& options) {
  Road loaded;
  loaded.name = std::string(name);
  LoadError error;
  error.file = loaded.name;
  // What the file holds, from its first bytes: LandXML or an element table.
  const bool xml = LooksLikeXml(bytes);
  if (bytes.size() > kMaxInputBytes) {
    error.kind = LoadError::Kind::kTooLarge;
    error.message = "it is larger than " + std::to_string(kMaxInputBytes >> 20) +
                    " MiB, more than " + (xml ? "a LandXML" : "an element") + " file is read";
    return error;
  }
  if (xml) {
    if (!LoadLandXml(bytes, options, loaded, error)) {
      return error;
    }
    return loaded;
  }
  if (LooksLikeUtf16(bytes)) {
    error.kind = LoadError::Kind::kEncoding;
    error.message =
        "it is UTF-16 text, and an element file is UTF-8: save it as UTF-8 (\"CSV UTF-8\")";
    return error;
  }
  if (options.profile_name) {
    error.kind = LoadError::Kind::kWrongOption;
    error.message =
        "--profile-name chooses a profile of a LandXML file, and this is an element "
        "table; give the profile with --profile FILE";
    return error;
  }
  if (options.alignment) {
    error.kind = LoadError::Kind::kWrongOption;
    error.message =
        "--alignment chooses an alignment of a LandXML file, and this is an element table";
    return error;
  }
  if (LooksLikePiFile(bytes)) {
    if (!LoadPi(bytes, options, loaded, error)) {
      return error;
    }
    return loaded;
  }
  text::BytesSource source(bytes);
  std::optional<ElementFile> file = ReadElements(source, error);
  if (!file) {
    return error;
  }
  std::optional<road::Built> built = JoinElements(*file, options.tolerance, error);
  if (!built) {
    return error;
  }
  loaded.file = std::move(*file);
  loaded.alignment = std::move(built->alignment);
  loaded.discrepancies = std::move(built->discrepancies);
  return loaded;
}

}  // namespace velmora::model
