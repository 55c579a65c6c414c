// The driver itself: when the program gives no window, the test stops at
// once with what the driver saw, instead of going on without a window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/text.h"
#include "tests/gui/app.h"

namespace velmora::gui {
namespace {

// VELMORA_EXE names another program while a test runs.
class OtherProgram {
 public:
  explicit OtherProgram(const char* path) {
    if (const char* old = std::getenv("VELMORA_EXE")) {
      old_ = old;
    }
    _putenv_s("VELMORA_EXE", path);
  }
  ~OtherProgram() { _putenv_s("VELMORA_EXE", old_.c_str()); }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

 private:
  std::string old_;
};

TEST(Driver, AProgramThatEndsWithoutAWindowIsReportedAtOnce) {
  // A console program of Windows' own: it prints a name and ends.
  OtherProgram other("C:\\windows\\system32\\hostname.exe");
  const auto start = std::chrono::steady_clock::now();
  std::string report;
  try {
    App app;
    FAIL() << "a window was found";
  } catch (const NoWindow& e) {
    report = e.what();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 15s) << "did not wait out the timeout";
  EXPECT_NE(report.find("ended without showing its window"), std::string::npos) << report;
  EXPECT_NE(report.find("exit code 0"), std::string::npos) << report;
  EXPECT_NE(report.find("0 top-level windows"), std::string::npos) << report;

  // The screen as it was, saved where the report says.
  const std::string marker = "the screen then: ";
  const auto at = report.find(marker);
  ASSERT_NE(at, std::string::npos) << report;
  const std::wstring shot = win32::Widen(report.substr(at + marker.size()));
  EXPECT_NE(GetFileAttributesW(shot.c_str()), INVALID_FILE_ATTRIBUTES) << report;
  DeleteFileW(shot.c_str());
}

TEST(Driver, AProgramThatCannotStartIsReportedAtOnce) {
  OtherProgram other("C:\\no such folder\\Velmora.exe");
  try {
    App app;
    FAIL() << "a window was found";
  } catch (const NoWindow& e) {
    EXPECT_NE(std::string(e.what()).find("could not start"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace velmora::gui
