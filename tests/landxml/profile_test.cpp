// A LandXML alignment's own design profile through velmora-cli: each kind
// of vertical curve at stations worked by hand, the choice among profiles,
// what is refused, and the landxml command's profile read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/commands.h"
#include "model/road.h"
#include "tests/cli/memory_system.h"
#include "tests/landxml/read_data.h"

namespace velmora::cli {
namespace {

// A straight road from station 1000 to 2000 with the profile `body`.
std::string Road(const std::string& body) {
  return "<LandXML><Alignments><Alignment name=\"R\" staStart=\"1000\"><CoordGeom>"
         "<Line length=\"1000\"><Start>0 0</Start><End>1000 0</End></Line></CoordGeom>"
         "<Profile><ProfAlign name=\"P\">" +
         body + "</ProfAlign></Profile></Alignment></Alignments></LandXML>";
}

// Design A of profiles.xml, grades +3, -2, +2, -2 %, at stations worked by
// hand from the closed forms: a parabola's offset omega x^2/(2L); the
// asymmetric one's E = 0.04 * 100 * 60 / 320 = 0.75, each half's offset
// E (x/L_i)^2; the circle z = 107 - 4000 sqrt(1.0004) + sqrt(4000^2 - x^2).
// Then the choice among profiles, and what is refused.
TEST(LandXmlProfile, ChoosingAProfileAndWhatIsRefused) {
  const struct {
    std::string xml;  // empty: profiles.xml
    std::vector<std::string> args;
    int status;
    std::vector<std::string> messages;  // in the error output, or rows of the output
  } cases[] = {
      {"",
       {"--profile-name", "Design A"},
       0,
       {"\n1100,,5100.000000,2000.000000,103.000000,",
        "\n1250,,5250.000000,2000.000000,107.187500,",
        "\n1300,,5300.000000,2000.000000,107.750000,",
        "\n1550,,5550.000000,2000.000000,104.187500,",
        "\n1630,,5630.000000,2000.000000,103.787500,",
        "\n1800,,5800.000000,2000.000000,106.200080,",
        "\n1850,,5850.000000,2000.000000,105.887568,",
        "\n1950,,5950.000000,2000.000000,104.000000,",
        "its ground profile (ProfSurf) is not the design"}},
      {"",
       {},
       2,
       {"holds 2 profiles; choose one with --profile-name NAME:\n  Design A\n  Design B"}},
      {"", {"--profile-name", "Design B"}, 0, {"\n1500,,5500.000000,2000.000000,55.000000,"}},
      {"", {"--profile-name", "C"}, 2, {"no profile named \"C\"; it holds:\n  Design A\n"}},
      {"", {"--profile", "q.csv", "--profile-name", "Design A"}, 2, {"give one of them"}},
      {"", {"--profile", "q.csv"}, 0, {"\n1500,,5500.000000,2000.000000,7.000000,"}},
      {Road("<PVI>1000 1</PVI><PVI>2000 abc</PVI>"),
       {},
       2,
       {"profile \"P\": its point 2 (PVI): \"2000 abc\" is not \"station elevation\""}},
      {Road("<PVI>1000 1</PVI><ParaCurve>1500 2</ParaCurve><PVI>2000 1</PVI>"),
       {},
       2,
       {"its point 2 (ParaCurve) has no length"}},
      {Road("<PVI>1000 1</PVI><UnsymParaCurve lengthIn=\"-5\" lengthOut=\"5\">1500 2"
            "</UnsymParaCurve><PVI>2000 1</PVI>"),
       {},
       2,
       {"its lengthIn \"-5\" is not a length"}},
      {Road("<PVI>1000 1</PVI><Foo/><PVI>2000 1</PVI>"), {}, 2, {"its <Foo> after point 1 is no"}},
      {Road("<PVI>1000 1</PVI><ParaCurve length=\"1200\">1500 2</ParaCurve><PVI>2000 1</PVI>"),
       {},
       2,
       {"profile \"P\", its point 2 (ParaCurve): "}},
      {Road("<PVI>2000 1</PVI><PVI>1000 1</PVI>"), {}, 2, {"its point 2 (PVI): "}},
      // Grades +1 % and -1 %, R 10000: horizontal 2 R sin(atan 0.01) =
      // 199.9900007, along the arc 2 R atan 0.01 = 199.9933337, E = R (sqrt(1.0001) - 1).
      {Road("<PVI>1000 1</PVI><CircCurve radius=\"10000\" length=\"150\">1500 6</CircCurve>"
            "<PVI>2000 1</PVI>"),
       {},
       1,
       {"(CircCurve): its length 150.000000 is neither the circle's horizontal length "
        "199.990001 nor its length along the arc 199.993334"}},
      {Road("<PVI>1000 1</PVI><CircCurve radius=\"10000\" length=\"199.9933\">1500 6"
            "</CircCurve><PVI>2000 1</PVI>"),
       {},
       0,
       {"\n1500,,500.000000,0.000000,5.500012,"}},
  };
  for (const auto& c : cases) {
    MemorySystem system;
    system.files["p.xml"] = c.xml.empty() ? landxml::test::ReadData("profiles.xml") : c.xml;
    system.files["q.csv"] = "station,elevation,radius\n1000,9\n2000,5\n";
    std::vector<std::string> args = {"stakeout", "p.xml", "--every",    "50",
                                     "--at",     "1630",  "--decimals", "6"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Outcome outcome = RunCli(args, system);
    EXPECT_EQ(outcome.status, c.status) << c.messages[0] << "\n" << outcome.err;
    for (const std::string& message : c.messages) {
      EXPECT_NE((outcome.err + outcome.out).find(message), std::string::npos) << message;
    }
  }
  // Options that do not fit: a profile name for an element file, cross
  // slopes for LandXML.
  MemorySystem system;
  system.files["r.csv"] = "start,end,start_radius,end_radius,start_azimuth,x,y\n0,100,0,0,0,0,0\n";
  system.files["p.xml"] = landxml::test::ReadData("profiles.xml");
  EXPECT_EQ(RunCli({"check", "r.csv", "--profile-name", "A"}, system).status, 2);
  const Outcome slopes = RunCli({"landxml", "p.xml", "--cross-slope", "-2"}, system);
  EXPECT_NE(slopes.err.find("LandXML keeps no plain table of cross slopes"), std::string::npos);
  EXPECT_EQ(slopes.status, 2);
}

// The landxml command's profile read back: a profile file of radii across a
// station equation, and each LandXML kind, elevations within 1e-6.
TEST(LandXmlProfile, WrittenProfileReadsBack) {
  MemorySystem system;
  system.files["r.csv"] =
      "start,end,start_radius,end_radius,start_azimuth,x,y\n0,1000,0,0,30,100,200\n"
      "equation,500,520\n";
  system.files["p.csv"] = "station,elevation,radius\n0,10\n300,16,5000\n700,12,8000\n1020,20\n";
  system.files["p.xml"] = landxml::test::ReadData("profiles.xml");
  const struct {
    std::vector<std::string> args;
    std::string source;
  } cases[] = {
      {{"landxml", "r.csv", "--profile", "p.csv", "-o", "out.xml"}, "r.csv"},
      {{"landxml", "p.xml", "--profile-name", "Design A", "-o", "out.xml"}, "p.xml"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunCli(c.args, system);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    model::LoadOptions options;
    options.profile = true;
    const auto written = model::Load(system.files["out.xml"], "out.xml", options);
    if (c.source == "p.xml") options.profile_name = "Design A";
    const auto source = model::Load(system.files[c.source], c.source, options);
    ASSERT_TRUE(std::holds_alternative<model::Road>(source));
    ASSERT_TRUE(std::holds_alternative<model::Road>(written));
    const model::Road& a = std::get<model::Road>(source);
    const model::Road& b = std::get<model::Road>(written);
    ASSERT_TRUE(b.profile);
    std::optional<road::Profile> want;
    if (a.profile) {
      want = a.profile->profile;
    } else {
      const auto read = model::ReadProfile(system.files["p.csv"], "p.csv", a.alignment);
      want = std::get<model::ProfileFile>(read).profile;
    }
    int compared = 0;
    for (double s = want->Start(); s <= want->End(); s += 3.7, ++compared) {
      EXPECT_NEAR(*b.profile->profile.ElevationAt(s), *want->ElevationAt(s), 1e-6) << s;
    }
    EXPECT_GT(compared, 200);
  }
}

}  // namespace
}  // namespace velmora::cli
