// Form1 as a user meets it: the live window against its design table
// (places, captions, styles, stacking, tab cycle), the Calculate command's
// results and messages, the executable's resources.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "tests/gui/app.h"
#include "tests/gui/form_facts.h"

// The version record's functions; after windows.h, which app.h includes.
#include <winver.h>

namespace velmora::gui {
namespace {

using win32::Narrow;

// The screen's dots per inch: VELMORA_DPI where the test's Wine prefix sets
// another than the usual 96.
int Dpi() {
  const char* dpi = std::getenv("VELMORA_DPI");
  return dpi != nullptr ? std::atoi(dpi) : 96;
}

RECT ToRECT(const Rect& r) { return {r.left, r.top, r.left + r.width, r.top + r.height}; }

bool Contains(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The window class and button type each kind of control is made of.
void ExpectKind(HWND control, ControlKind kind) {
  const std::wstring window_class = ClassName(control);
  const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
  switch (kind) {
    case ControlKind::Button:
      EXPECT_EQ(_wcsicmp(window_class.c_str(), L"Button"), 0) << Narrow(window_class);
      EXPECT_TRUE((style & BS_TYPEMASK) == BS_PUSHBUTTON ||
                  (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      break;
    case ControlKind::Frame:
      EXPECT_EQ(_wcsicmp(window_class.c_str(), L"Button"), 0) << Narrow(window_class);
      EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
      break;
    case ControlKind::Label:
      EXPECT_EQ(_wcsicmp(window_class.c_str(), L"Static"), 0) << Narrow(window_class);
      break;
    case ControlKind::TextBox:
      EXPECT_EQ(_wcsicmp(window_class.c_str(), L"Edit"), 0) << Narrow(window_class);
      break;
  }
}

// Every control of the design is in the live window: its kind, caption,
// place and size at `dpi`, read-only and tab-stop styles as the flags say,
// and nothing reaching beyond the client area.
void ExpectControlsAsDesigned(const App& app, int dpi) {
  RECT client;
  GetClientRect(app.Window(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(kFormClientWidth, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(kFormClientHeight, dpi));
  for (const ControlDesign& c : Form1Controls()) {
    SCOPED_TRACE(c.name);
    HWND control = app.Control(c);
    ASSERT_NE(control, nullptr);
    ExpectKind(control, c.kind);
    EXPECT_EQ(app.Text(c), c.caption);

    const Rect want = PixelRect(c, dpi);
    const RECT r = RectInParent(control);
    EXPECT_EQ(r.left, want.left);
    EXPECT_EQ(r.top, want.top);
    EXPECT_EQ(r.right - r.left, want.width);
    EXPECT_EQ(r.bottom - r.top, want.height);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);

    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    if (c.kind == ControlKind::TextBox) {
      EXPECT_EQ((style & ES_READONLY) != 0, (c.flags & kReadOnly) != 0);
    }
    const bool tab_stop = (c.kind == ControlKind::TextBox || c.kind == ControlKind::Button) &&
                          (c.flags & kNoTabStop) == 0;
    EXPECT_EQ((style & WS_TABSTOP) != 0, tab_stop);
  }
}

// Which control the design puts on top at a point of the window: within a
// container the one listed first, and a frame's controls over the frame.
const ControlDesign* DesignedTopmost(POINT p, int dpi) {
  const auto controls = Form1Controls();
  const auto inside = [](const ControlDesign& c) -> std::optional<std::string_view> {
    switch (c.container) {
      case Container::Frame1:
        return "Frame1";
      case Container::Frame2:
        return "Frame2";
      case Container::Form1:
        break;
    }
    return std::nullopt;
  };
  for (const ControlDesign& top : controls) {
    if (top.container != Container::Form1) {
      continue;
    }
    // A frame's own controls first, then the frame.
    for (const ControlDesign& c : controls) {
      if (inside(c) == std::string_view(top.name) && Contains(ToRECT(PixelRect(c, dpi)), p)) {
        return &c;
      }
    }
    if (Contains(ToRECT(PixelRect(top, dpi)), p)) {
      return &top;
    }
  }
  return nullptr;
}

// At the centre of every control and of every overlap of two, the live
// window shows the control the design puts on top.
void ExpectStackingAsDesigned(const App& app, int dpi) {
  std::vector<POINT> points;
  const auto controls = Form1Controls();
  for (const ControlDesign& a : controls) {
    const RECT ra = ToRECT(PixelRect(a, dpi));
    points.push_back({(ra.left + ra.right) / 2, (ra.top + ra.bottom) / 2});
    for (const ControlDesign& b : controls) {
      const RECT rb = ToRECT(PixelRect(b, dpi));
      RECT overlap;
      if (&a < &b && IntersectRect(&overlap, &ra, &rb)) {
        points.push_back({(overlap.left + overlap.right) / 2, (overlap.top + overlap.bottom) / 2});
      }
    }
  }
  for (const POINT p : points) {
    const ControlDesign* want = DesignedTopmost(p, dpi);
    HWND live = ChildWindowFromPointEx(app.Window(), p, CWP_SKIPINVISIBLE);
    const ControlDesign* got =
        live == nullptr || live == app.Window() ? nullptr : ControlWithId(GetDlgCtrlID(live));
    EXPECT_STREQ(got != nullptr ? got->name : "(none)", want != nullptr ? want->name : "(none)")
        << "at " << p.x << "," << p.y;
  }
}

TEST(Form1Window, CaptionBorderAndCentring) {
  App app;
  ASSERT_NE(app.Window(), nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(app.Window(), caption, 64);
  EXPECT_EQ(Narrow(caption), kFormCaption);

  const auto style = static_cast<DWORD>(GetWindowLongW(app.Window(), GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU) << "close box and system menu";
  EXPECT_FALSE(style & WS_THICKFRAME) << "fixed border";
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);

  RECT outer;
  GetWindowRect(app.Window(), &outer);
  const int centre_x = (outer.left + outer.right) / 2;
  const int centre_y = (outer.top + outer.bottom) / 2;
  EXPECT_NEAR(centre_x, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centre_y, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST(Form1Window, EveryControlAsDesigned) {
  App app;
  ExpectControlsAsDesigned(app, Dpi());
}

TEST(Form1Window, ControlsStackAsDesigned) {
  App app;
  ExpectStackingAsDesigned(app, Dpi());
}

TEST(Form1Window, MenuColouredFieldsArePaintedSo) {
  App app;
  for (const ControlDesign& c : Form1Controls()) {
    if ((c.flags & kMenuColour) == 0) {
      continue;
    }
    // Inside the field, once the window has been painted.
    const Rect r = PixelRect(c, Dpi());
    COLORREF inside = CLR_INVALID;
    EXPECT_TRUE(WaitFor([&] {
      const HDC dc = GetDC(app.Window());
      inside = GetPixel(dc, r.left + 5, r.top + r.height / 2);
      ReleaseDC(app.Window(), dc);
      return inside == GetSysColor(COLOR_MENU);
    })) << c.name
        << ": " << std::hex << inside;
  }
}

TEST(Form1Window, FocusStartsOnTheFirstTabStopAndTabCycles) {
  App app;
  const ControlDesign& first = FirstTabStop();
  EXPECT_TRUE(WaitFor([&] { return app.Focused() == &first; })) << app.FocusedName();
  for (const bool backwards : {false, true}) {
    for (const ControlDesign* expected : TabCycle(first, backwards)) {
      app.Key(VK_TAB, backwards);
      app.Sync();
      EXPECT_EQ(app.FocusedName(), expected->name) << (backwards ? "Shift+Tab" : "Tab");
    }
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
    EXPECT_EQ(app.Text(Field::Textcia), run.result);
  }
  if (const char* path = std::getenv("VELMORA_SCREENSHOT")) {
    app.SetText(Field::Textki, "1100");
    EXPECT_TRUE(app.Screenshot(path));
  }
}

struct Refusal {
  const char* what;
  std::vector<std::string> inputs;
  const char* prompt;
  Field field;           // the field to blame
  const char* while_up;  // its text while the box is up
  const char* after;     // its text once the box is closed
};

TEST(CalculateCommand, MessagesAndTheFieldEmptiedBeforeOrAfterThem) {
  const Refusal refusals[] = {
      {"an empty field", {"0", "", "0", "", "50", "0"}, "输入数据不能为空", Field::Textkb, "", ""},
      {"point before the start",
       {"100", "200", "0", "0", "99", "0"},
       "计算点桩号不能小于起点桩号，请重新输入。",
       Field::Textki,
       "",
       ""},
      {"point after the end",
       {"100", "200", "0", "0", "201", "0"},
       "计算点桩号不能大于终点桩号，请重新输入。",
       Field::Textki,
       "",
       ""},
      {"start azimuth above 360",
       {"0", "100", "0", "0", "50", "360.0001"},
       "角度输入有误，请重新输入。",
       Field::Textca,
       "360.0001",
       ""},
      {"75 minutes",
       {"0", "100", "0", "0", "50", "30.75"},
       "角度输入有误，请重新输入。",
       Field::Textca,
       "30.75",
       "30.75"},
      {"equal stations",
       {"100", "100", "500", "500", "100", "45"},
       "无法计算，请检查桩号和半径。",
       Field::Textki,
       "100",
       "100"},
  };
  App app;
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.what);
    app.SetText(Field::Textcia, "stale");
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
    EXPECT_EQ(app.Text(Field::Textcia), "");
  }
}

TEST(CalculateCommand, RadiusThatIsNotANumberIsEmptiedSilently) {
  App app;
  app.FillInputs({"0", "100", "-", "-", "50", "0"});
  app.Click();
  EXPECT_EQ(app.OpenBoxes(), 0);
  EXPECT_EQ(app.Text(Field::Textra), "");
  EXPECT_EQ(app.Text(Field::Textrb), "-") << "only the start radius goes";
  EXPECT_EQ(app.Text(Field::Textcia), "");
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
  ASSERT_NE(std::getenv("VELMORA_DPI"), nullptr) << "run in a prefix with VELMORA_DPI set";
  App app;
  ASSERT_NE(app.Window(), nullptr);
  ExpectControlsAsDesigned(app, Dpi());
  ExpectStackingAsDesigned(app, Dpi());
  // And it still calculates.
  app.FillInputs({"1000", "1200", "500", "500", "1100", "45.3015"});
  app.Click();
  EXPECT_EQ(app.Text(Field::Textcia), "56度57分48秒");
  if (const char* path = std::getenv("VELMORA_SCREENSHOT")) {
    EXPECT_TRUE(app.Screenshot(path));
  }
}

}  // namespace
}  // namespace velmora::gui
