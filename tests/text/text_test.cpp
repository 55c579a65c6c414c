#include "text/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/csv.h"

namespace velmora::text {
namespace {

TEST(Text, TrimAndCaselessCompare) {
  EXPECT_EQ(Trim(" \tK1+000 \t"), "K1+000");
  EXPECT_EQ(Trim(" \r\n"), "");
  EXPECT_EQ(Trim("a b"), "a b");
  EXPECT_TRUE(EqualsIgnoringCase("EqUaTiOn", "equation"));
  EXPECT_FALSE(EqualsIgnoringCase("equation", "equations"));
  EXPECT_FALSE(EqualsIgnoringCase("\xC3\x89", "\xC3\xA9"));  // É, é: ASCII only
}

TEST(AppendXmlText, AnyBytesBecomeWellFormedText) {
  const struct {
    std::string bytes;
    std::string xml;
  } cases[] = {
      {"a<b>&\"c\"", "a&lt;b&gt;&amp;&quot;c&quot;"},
      {"tab\tline\ncr\r", "tab&#9;line&#10;cr&#13;"},
      {std::string("A\x01"
                   "B\x1F") +
           '\0',
       "A\xEF\xBF\xBD"
       "B\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xFF"
       "x\xC3",
       "\xEF\xBF\xBDx\xEF\xBF\xBD"},                             // not UTF-8
      {"\xE9\x81\x93\xE8\xB7\xAF", "\xE9\x81\x93\xE8\xB7\xAF"},  // 道路 kept
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
  };
  for (const auto& c : cases) {
    std::string out = "=";
    AppendXmlText(out, c.bytes);
    EXPECT_EQ(out, "=" + c.xml) << c.bytes;
  }
}

TEST(CsvReader, RecordsWithTheirProblems) {
  const std::string bytes = std::string(kByteOrderMark) + "a,\"b,c\"\r\n\n  \n# note\n" +
                            std::string(kMaxLineBytes + 1, 'x') + "\nbad\xFF\n\"open\n";
  using P = CsvReader::Problem;
  const struct {
    bool comments;
    std::vector<std::pair<std::uint64_t, P>> records;
  } cases[] = {
      {false,
       {{1, P::kNone},
        {3, P::kNone},
        {4, P::kNone},
        {5, P::kTooLong},
        {6, P::kNotUtf8},
        {7, P::kBadQuote}}},
      {true, {{1, P::kNone}, {5, P::kTooLong}, {6, P::kNotUtf8}, {7, P::kBadQuote}}},
  };
  for (const auto& c : cases) {
    BytesSource source(bytes);
    CsvReader reader(source, c.comments);
    CsvReader::Record record;
    std::vector<std::pair<std::uint64_t, P>> seen;
    while (reader.Next(record)) {
      seen.emplace_back(record.line, record.problem);
      if (record.line == 1) {
        EXPECT_EQ(record.fields, (std::vector<std::string_view>{"a", "b,c"}));
      }
    }
    EXPECT_EQ(seen, c.records) << c.comments;
  }
}

}  // namespace
}  // namespace velmora::text
