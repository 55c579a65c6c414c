#include "text/csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/text.h"

namespace velmora::text {
namespace {

// Bytes handed out at most `chunk` at a time, as a pipe may.
class ChunkedSource final : public Source {
 public:
  ChunkedSource(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, text_.size() - at_});
    text_.copy(buffer, n, at_);
    at_ += n;
    return n;
  }

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

TEST(LineReader, LinesCrossingReadsOfAnySize) {
  const std::string longest(kMaxLineBytes, 'x');
  const std::string input = "a\r\n\nbc\r\n" + longest + "\n" + longest + "y\r\nlast";
  const std::vector<std::pair<std::string, bool>> expected = {
      {"a", false}, {"", false}, {"bc", false}, {longest, false}, {"", true}, {"last", false}};
  for (const std::size_t chunk : {1U, 2U, 7U, 4096U, 1U << 20}) {
    ChunkedSource source(input, chunk);
    LineReader reader(source);
    LineReader::Line line{};
    std::size_t n = 0;
    while (reader.Next(line)) {
      ASSERT_LT(n, expected.size()) << chunk;
      EXPECT_EQ(line.text, expected[n].first) << chunk << " line " << n;
      EXPECT_EQ(line.too_long, expected[n].second) << chunk << " line " << n;
      EXPECT_EQ(line.number, n + 1);
      ++n;
    }
    EXPECT_EQ(n, expected.size()) << chunk;
  }
}

TEST(CsvFields, SplitAndWriteRoundTrip) {
  const std::vector<std::vector<std::string>> records = {
      {""}, {"", ""}, {"a", "b,c", "\"q\"", ""}, {"起点", "1\r2", " x "}};
  std::vector<std::string_view> fields;
  std::string unquoted;
  for (const auto& record : records) {
    std::string line;
    for (std::size_t i = 0; i < record.size(); ++i) {
      line += i == 0 ? "" : ",";
      AppendCsvField(line, record[i]);
    }
    ASSERT_TRUE(SplitCsvLine(line, fields, unquoted)) << line;
    EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.end()), record) << line;
  }
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE8\xAE"));          // cut short
  EXPECT_TRUE(IsValidUtf8("起点桩号 \xF0\x9F\x98\x80"));
}

TEST(LineReader, ALineOfExactlyTheLimitEndingInCrlfInPieces) {
  // The limit is on the text without its line end: this line is kept,
  // whichever read its CR and LF arrive in.
  const std::string longest(kMaxLineBytes, 'x');
  const std::string input = longest + "\r\n" + longest + "x\r\nend\r\n";
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, kMaxLineBytes - 1, kMaxLineBytes,
                                  kMaxLineBytes + 1, kMaxLineBytes + 2, std::size_t{1} << 20}) {
    ChunkedSource source(input, chunk);
    LineReader reader(source);
    LineReader::Line line{};
    ASSERT_TRUE(reader.Next(line));
    EXPECT_FALSE(line.too_long) << chunk;
    EXPECT_EQ(line.text.size(), kMaxLineBytes) << chunk;
    EXPECT_EQ(line.text.find('\r'), std::string_view::npos) << chunk;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_TRUE(line.too_long) << chunk;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line.text, "end") << chunk;
    EXPECT_EQ(line.number, 3U);
    EXPECT_FALSE(reader.Next(line));
  }
}

}  // namespace
}  // namespace velmora::text
