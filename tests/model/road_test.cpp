#include "model/road.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace velmora::model {
namespace {

constexpr char kLandXml[] =
    "<?xml version=\"1.0\"?>\n"
    "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">"
    "<Alignments><Alignment name=\"A\" length=\"100\" staStart=\"1000\"><CoordGeom>"
    "<Line><Start>1000 500</Start><End>1100 500</End></Line>"
    "<Line length=\"90\"><Start>1100 500</Start><End>1100 600</End></Line>"
    "</CoordGeom></Alignment>%s</Alignments></LandXML>\n";

std::string LandXml(const std::string& more) {
  std::string xml = kLandXml;
  xml.replace(xml.find("%s"), 2, more);
  return xml;
}

TEST(LooksLikeXml, ByTheFirstCharacterInAnyEncoding) {
  const std::pair<std::string, bool> cases[] = {
      {"<?xml version=\"1.0\"?><LandXML/>", true},
      {"\xEF\xBB\xBF  \r\n<LandXML/>", true},
      {std::string("\xFF\xFE \0<\0", 6), true},
      {std::string("\xFE\xFF\0<", 4), true},
      {std::string("<\0?\0", 4), true},
      {std::string("\0<\0?", 4), true},
      {std::string("\xFF\xFE"
                   "0\0,\0",
                   6),
       false},  // a UTF-16 element table
      {"0,100,0,0,45\n", false},
      {"# <start>\n", false},
      {"", false},
  };
  for (const auto& [bytes, xml] : cases) {
    EXPECT_EQ(LooksLikeXml(bytes), xml) << bytes;
  }
}

TEST(Load, EachOutcome) {
  using K = LoadError::Kind;
  const std::string second =
      "<Alignment name=\"B\"><CoordGeom><Line><Start>0 0</Start><End>1 0</End></Line>"
      "</CoordGeom></Alignment>";
  const struct {
    const char* what;
    std::string bytes;
    std::optional<std::string_view> alignment;
    // A road: its element count and its findings' texts, one a line.
    std::size_t elements;
    std::string findings;
    // Or a refusal.
    std::optional<K> kind;
    std::uint64_t line;
    std::optional<std::size_t> element;
    std::string text;
  } cases[] = {
      {"elements",
       "start,end,start_radius,end_radius,start_azimuth,x,y\n0,100,0,0,0,1000,500\n"
       "100,164,0,100,,,\n",
       {},
       2,
       "",
       {},
       0,
       {},
       ""},
      {"a start point off",
       "0,100,0,0,0,1000,500\n100,200,0,0,,1100,500.05\n",
       {},
       2,
       "f.csv, line 2: the start point given is 0.0500 from the end of the previous element\n",
       {},
       0,
       {},
       ""},
      {"a bad line",
       "0,100,0,0,0,1000,500\n\n100,x,0,0\n",
       {},
       0,
       "",
       K::kElementFile,
       3,
       {},
       "f.csv, line 3: end \"x\" is not a station (1234.5 or K1+234.5)"},
      {"no element",
       "# nothing\n",
       {},
       0,
       "",
       K::kElementFile,
       0,
       {},
       "f.csv, it holds no element (one a line: start,end,start_radius,end_radius,"
       "start_azimuth,x,y)"},
      {"an element that cannot be computed",
       "0,100,0,0,0,1000,500\n100,200,0,0,,,\n"
       "200,300,0.001,0,,,\n",
       {},
       0,
       "",
       K::kJoin,
       3,
       2,
       "f.csv, line 3: the element cannot be computed (a radius too small or a turn too long)"},
      {"a road turning more than any road",
       "0,100,0,0,0,1000,500\n100,3e17,5,5,,,\n",
       {},
       0,
       "",
       K::kJoin,
       2,
       1,
       "f.csv, line 2: the element turns the road through more than 1000000 radians in all; "
       "check its radii and stations"},
      {"UTF-16 CSV",
       std::string("\xFF\xFE"
                   "0\0,\0"
                   "1\0",
                   8),
       {},
       0,
       "",
       K::kEncoding,
       0,
       {},
       "f.csv, it is UTF-16 text, and an element file is UTF-8: save it as UTF-8 (\"CSV UTF-8\")"},
      {"--alignment for elements",
       "0,100,0,0,0,1000,500\n",
       "A",
       0,
       "",
       K::kWrongOption,
       0,
       {},
       "f.csv: --alignment chooses an alignment of a LandXML file, and this is an element table"},
      {"LandXML",
       LandXml(""),
       {},
       2,
       "f.csv, alignment \"A\", element 2 (Line) at station 1100.000: ",
       {},
       0,
       {},
       ""},
      {"LandXML, one of two",
       LandXml(second),
       "A",
       2,
       "f.csv, alignment \"A\", element 2 (Line) at station 1100.000: ",
       {},
       0,
       {},
       ""},
      {"LandXML, two and none chosen", LandXml(second), {}, 0, "", K::kAlignment, 0, {}, ""},
      {"not well-formed", "<LandXML><a></LandXML>", {}, 0, "", K::kLandXml, 0, {}, ""},
  };
  for (const auto& c : cases) {
    LoadOptions options;
    options.alignment = c.alignment;
    const std::variant<Road, LoadError> got = Load(c.bytes, "f.csv", options);
    if (c.kind) {
      const auto* error = std::get_if<LoadError>(&got);
      ASSERT_NE(error, nullptr) << c.what;
      EXPECT_EQ(error->kind, *c.kind) << c.what;
      EXPECT_EQ(error->file, "f.csv") << c.what;
      EXPECT_EQ(error->line, c.line) << c.what;
      EXPECT_EQ(error->element, c.element) << c.what;
      if (!c.text.empty()) {
        EXPECT_EQ(error->Text(), c.text) << c.what;
      }
      continue;
    }
    const auto* road = std::get_if<Road>(&got);
    ASSERT_NE(road, nullptr) << c.what << ": " << std::get<LoadError>(got).Text();
    EXPECT_EQ(road->alignment.elements().size(), c.elements) << c.what;
    std::string findings;
    for (const std::string& line : road->FindingTexts(4)) {
      findings += line + "\n";
    }
    if (road->landxml) {
      EXPECT_TRUE(findings.starts_with(c.findings)) << c.what << ": " << findings;
    } else {
      EXPECT_EQ(findings, c.findings) << c.what;
    }
  }
}

}  // namespace
}  // namespace velmora::model
