// Form1 as a user meets it: layout, fonts, focus, the Calculate command's
// results and messages, the executable's resources.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"

namespace velmora::gui {
namespace {

TEST(Form1Window, CaptionBorderAndCentring) {
  App app;
  ASSERT_NE(app.Window(), nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(app.Window(), caption, 64);
  EXPECT_EQ(Narrow(caption), "Velmora");

  const auto style = static_cast<DWORD>(GetWindowLongW(app.Window(), GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU) << "close box and system menu";
  EXPECT_FALSE(style & WS_THICKFRAME) << "fixed border";
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);

  RECT client;
  GetClientRect(app.Window(), &client);
  EXPECT_EQ(client.right, 339);  // 5085 x 4200 twips at 96 DPI
  EXPECT_EQ(client.bottom, 280);

  RECT outer;
  GetWindowRect(app.Window(), &outer);
  const int centre_x = (outer.left + outer.right) / 2;
  const int centre_y = (outer.top + outer.bottom) / 2;
  EXPECT_NEAR(centre_x, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centre_y, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

struct ExpectedControl {
  int id;
  const char* window_class;
  const char* caption;
  int left, top, width, height;  // twips in Form1's client area
};

// Controls inside a frame are at the frame's place plus their own.
constexpr int kF1x = 120, kF1y = 120, kF2x = 120, kF2y = 3000;
const ExpectedControl kLayout[] = {
    {kComFWJ, "Button", "计算", 3600, 3325, 1215, 375},
    {kFrame2, "Button", "计算结果", 120, 3000, 4815, 975},
    {kTextcia, "Edit", "", kF2x + 1440, kF2y + 360, 1695, 330},
    {kLabFWJ0 + 6, "Static", "计算点方位角", kF2x + 120, kF2y + 435, 1335, 255},
    {kFrame1, "Button", "参数输入", 120, 120, 4815, 2655},
    {kTextca, "Edit", "", kF1x + 3600, kF1y + 1920, 1095, 330},
    {kTextki, "Edit", "", kF1x + 1200, kF1y + 1920, 1095, 330},
    {kTextrb, "Edit", "", kF1x + 3600, kF1y + 1200, 1095, 330},
    {kTextra, "Edit", "", kF1x + 1200, kF1y + 1200, 1095, 330},
    {kTextkb, "Edit", "", kF1x + 3600, kF1y + 480, 1095, 330},
    {kTextka, "Edit", "", kF1x + 1200, kF1y + 480, 1095, 330},
    {kLabFWJ0 + 5, "Static", "起点方位角", kF1x + 2520, kF1y + 1990, 1095, 255},
    {kLabFWJ0 + 4, "Static", "计算点桩号", kF1x + 120, kF1y + 1990, 1095, 255},
    {kLabFWJ0 + 3, "Static", "终点半径", kF1x + 2520, kF1y + 1270, 1095, 255},
    {kLabFWJ0 + 2, "Static", "起点半径", kF1x + 120, kF1y + 1270, 1095, 255},
    {kLabFWJ0 + 1, "Static", "终点桩号", kF1x + 2520, kF1y + 540, 1095, 255},
    {kLabFWJ0 + 0, "Static", "起点桩号", kF1x + 120, kF1y + 540, 1095, 255},
};

TEST(Form1Window, EveryControlInPlaceWithItsCaption) {
  App app;
  for (const auto& c : kLayout) {
    SCOPED_TRACE(c.caption[0] != '\0' ? c.caption : std::to_string(c.id).c_str());
    HWND control = app.Control(c.id);
    ASSERT_NE(control, nullptr);
    wchar_t window_class[32] = {};
    GetClassNameW(control, window_class, 32);
    EXPECT_EQ(_wcsicmp(window_class, Widen(c.window_class).c_str()), 0) << Narrow(window_class);
    EXPECT_EQ(app.Text(c.id), c.caption);

    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, c.left / 15.0, 1.0);
    EXPECT_NEAR(r.top, c.top / 15.0, 1.0);
    EXPECT_NEAR(r.right - r.left, c.width / 15.0, 1.0);
    EXPECT_NEAR(r.bottom - r.top, c.height / 15.0, 1.0);
  }
}

TEST(Form1Window, ResultFieldIsReadOnlyAndOutOfTheTabOrder) {
  App app;
  const auto style = GetWindowLongW(app.Control(kTextcia), GWL_STYLE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_FALSE(style & WS_TABSTOP);
  for (const int id : {kTextka, kTextkb, kTextra, kTextrb, kTextki, kTextca}) {
    EXPECT_FALSE(GetWindowLongW(app.Control(id), GWL_STYLE) & ES_READONLY) << id;
  }
  // Its background is the menu colour, once the window has been painted.
  RECT r;
  GetWindowRect(app.Control(kTextcia), &r);
  MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&r), 2);
  COLORREF inside = CLR_INVALID;
  EXPECT_TRUE(WaitFor([&] {
    const HDC dc = GetDC(app.Window());
    inside = GetPixel(dc, r.left + 5, (r.top + r.bottom) / 2);
    ReleaseDC(app.Window(), dc);
    return inside == GetSysColor(COLOR_MENU);
  })) << std::hex
      << inside;
}

TEST(Form1Window, ButtonLiesOverTheResultFrame) {
  App app;
  RECT r;
  GetWindowRect(app.Control(kComFWJ), &r);
  MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&r), 2);
  for (const POINT p : {POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2},
                        POINT{r.left + 2, r.top + 2}, POINT{r.right - 3, r.bottom - 3}}) {
    EXPECT_EQ(ChildWindowFromPointEx(app.Window(), p, CWP_SKIPINVISIBLE), app.Control(kComFWJ));
  }
  // Fields lie over the labels that reach into them.
  RECT field;
  GetWindowRect(app.Control(kTextka), &field);
  MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&field), 2);
  EXPECT_EQ(
      ChildWindowFromPointEx(app.Window(), POINT{field.left, field.top + 6}, CWP_SKIPINVISIBLE),
      app.Control(kTextka));
}

TEST(Form1Window, FocusStartsOnTheStartStationAndTabCycles) {
  App app;
  EXPECT_TRUE(WaitFor([&] { return app.FocusId() == kTextka; })) << app.FocusId();
  const int cycle[] = {kTextkb, kTextra, kTextrb, kTextki, kTextca, kComFWJ, kTextka};
  for (const int id : cycle) {
    app.Key(VK_TAB);
    app.Sync();
    EXPECT_EQ(app.FocusId(), id);
  }
  const int back[] = {kComFWJ, kTextca, kTextki, kTextrb, kTextra, kTextkb, kTextka};
  for (const int id : back) {
    app.Key(VK_TAB, /*shift=*/true);
    app.Sync();
    EXPECT_EQ(app.FocusId(), id) << "Shift+Tab";
  }
}

struct WorkedRun {
  std::vector<std::string> inputs;
  const char* result;
};

TEST(CalculateCommand, WorkedResultsInTheRealWindow) {
  const WorkedRun runs[] = {
      {{"0", "100", "0", "200", "50", "0"}, "3度34分51.6秒"},
      {{"500", "560", "300", "0", "560", "90"}, "95度43分46.5秒"},
      {{"1000", "1200", "500", "500", "1100", "45.3015"}, "56度57分48秒"},
  };
  App app;
  for (const auto& run : runs) {
    app.FillInputs(run.inputs);
    app.Click();
    EXPECT_EQ(app.OpenBoxes(), 0);
    EXPECT_EQ(app.Text(kTextcia), run.result);
  }
  if (const char* path = std::getenv("VELMORA_SCREENSHOT")) {
    app.SetText(kTextki, "1100");
    EXPECT_TRUE(app.Screenshot(path));
  }
}

struct Refusal {
  const char* what;
  std::vector<std::string> inputs;
  const char* prompt;
  int field;             // the field to blame, or 0
  const char* while_up;  // its text while the box is up
  const char* after;     // its text once the box is closed
};

TEST(CalculateCommand, MessagesAndTheFieldEmptiedBeforeOrAfterThem) {
  const Refusal refusals[] = {
      {"an empty field", {"0", "", "0", "", "50", "0"}, "输入数据不能为空", kTextkb, "", ""},
      {"point before the start",
       {"100", "200", "0", "0", "99", "0"},
       "计算点桩号不能小于起点桩号，请重新输入。",
       kTextki,
       "",
       ""},
      {"point after the end",
       {"100", "200", "0", "0", "201", "0"},
       "计算点桩号不能大于终点桩号，请重新输入。",
       kTextki,
       "",
       ""},
      {"start azimuth above 360",
       {"0", "100", "0", "0", "50", "360.0001"},
       "角度输入有误，请重新输入。",
       kTextca,
       "360.0001",
       ""},
      {"75 minutes",
       {"0", "100", "0", "0", "50", "30.75"},
       "角度输入有误，请重新输入。",
       kTextca,
       "30.75",
       "30.75"},
      {"equal stations",
       {"100", "100", "500", "500", "100", "45"},
       "无法计算，请检查桩号和半径。",
       kTextki,
       "100",
       "100"},
  };
  App app;
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.what);
    app.SetText(kTextcia, "stale");
    app.FillInputs(r.inputs);
    app.Click();
    const auto box = app.Box();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->prompt, r.prompt);
    EXPECT_EQ(box->title, "提示信息");
    EXPECT_TRUE(box->information_icon);
    EXPECT_EQ(app.OpenBoxes(), 1);
    EXPECT_EQ(app.Text(r.field), r.while_up);
    app.CloseBox();
    EXPECT_EQ(app.OpenBoxes(), 0) << "one box only";
    EXPECT_EQ(app.Text(r.field), r.after);
    EXPECT_EQ(app.Text(kTextcia), "");
  }
}

TEST(CalculateCommand, RadiusThatIsNotANumberIsEmptiedSilently) {
  App app;
  app.FillInputs({"0", "100", "-", "-", "50", "0"});
  app.Click();
  EXPECT_EQ(app.OpenBoxes(), 0);
  EXPECT_EQ(app.Text(kTextra), "");
  EXPECT_EQ(app.Text(kTextrb), "-") << "only the start radius goes";
  EXPECT_EQ(app.Text(kTextcia), "");
}

TEST(Form1Window, ClosingEndsTheProgramWithExitCode0) {
  App app;
  ASSERT_TRUE(app.Alive());
  EXPECT_EQ(app.Close(), 0U);
}

// The executable's version record and icon, read back from the file.
TEST(Executable, VersionRecordAndIcon) {
  const std::wstring exe = ExePath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0U);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000U);
  EXPECT_EQ(fixed->dwFileVersionLS, 0U);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000U);
  EXPECT_EQ(fixed->dwProductVersionLS, 0U);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 1200);

  const struct {
    const wchar_t* name;
    const char* value;
  } strings[] = {{L"FileVersion", "1.00"},
                 {L"ProductVersion", "1.00"},
                 {L"ProductName", "Velmora"},
                 {L"InternalName", "Velmora"},
                 {L"OriginalFilename", "Velmora.exe"}};
  for (const auto& s : strings) {
    wchar_t* value = nullptr;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + s.name;
    ASSERT_TRUE(VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
        << s.value;
    EXPECT_EQ(Narrow(value), s.value);
  }

  // Group icon 1 holds exactly one image, 30001: 50 x 67, 8 bits, 256 colours.
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
  ASSERT_NE(group, nullptr);
  const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  ASSERT_EQ(*reinterpret_cast<const WORD*>(dir + 4), 1) << "one image";
  const BYTE* entry = dir + 6;
  EXPECT_EQ(entry[0], 50);
  EXPECT_EQ(entry[1], 67);
  EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 8);
  EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 12), 30001);
  HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(30001), MAKEINTRESOURCEW(3));
  ASSERT_NE(image, nullptr);
  const auto* header =
      static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
  EXPECT_EQ(header->biWidth, 50);
  EXPECT_EQ(header->biHeight, 2 * 67) << "colour rows and mask rows";
  EXPECT_EQ(header->biBitCount, 8);
  EXPECT_EQ(header->biClrUsed == 0 ? 256U : header->biClrUsed, 256U);
  EXPECT_EQ(SizeofResource(module, image), 40U + 256 * 4 + 52 * 67 + 8 * 67)
      << "palette, 8-bit rows, 1-bit mask";
  FreeLibrary(module);
}

}  // namespace
}  // namespace velmora::gui

namespace velmora::gui {
namespace {

// Run in a Wine prefix whose screen has VELMORA_DPI dots per inch (144):
// everything 1.5 times as large, nothing clipped, the button still over
// the lower frame.
TEST(HighDpi, LayoutAndFontsScaleWithTheScreen) {
  const char* dpi_text = std::getenv("VELMORA_DPI");
  ASSERT_NE(dpi_text, nullptr) << "run in a prefix with VELMORA_DPI set";
  const int dpi = std::atoi(dpi_text);
  App app;
  ASSERT_NE(app.Window(), nullptr);
  const double pixels_per_twip = dpi / 1440.0;
  RECT client;
  GetClientRect(app.Window(), &client);
  EXPECT_NEAR(client.right, 5085 * pixels_per_twip, 1.0);
  EXPECT_NEAR(client.bottom, 4200 * pixels_per_twip, 1.0);
  for (const auto& c : kLayout) {
    SCOPED_TRACE(c.caption[0] != '\0' ? c.caption : std::to_string(c.id).c_str());
    RECT r;
    GetWindowRect(app.Control(c.id), &r);
    MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, c.left * pixels_per_twip, 1.0);
    EXPECT_NEAR(r.top, c.top * pixels_per_twip, 1.0);
    EXPECT_NEAR(r.right - r.left, c.width * pixels_per_twip, 1.0);
    EXPECT_NEAR(r.bottom - r.top, c.height * pixels_per_twip, 1.0);
    // Nothing reaches beyond the client area.
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
  }
  RECT button;
  GetWindowRect(app.Control(kComFWJ), &button);
  MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(
      ChildWindowFromPointEx(
          app.Window(), POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2},
          CWP_SKIPINVISIBLE),
      app.Control(kComFWJ));
  // And it still calculates.
  app.FillInputs({"1000", "1200", "500", "500", "1100", "45.3015"});
  app.Click();
  EXPECT_EQ(app.Text(kTextcia), "56度57分48秒");
  if (const char* path = std::getenv("VELMORA_SCREENSHOT")) {
    EXPECT_TRUE(app.Screenshot(path));
  }
}

}  // namespace
}  // namespace velmora::gui
