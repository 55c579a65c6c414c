// VelmoraRoad.exe as a user meets it: a road named on the command line is
// shown in the table exactly as the console writes it, follows the
// settings, is copied and exported byte for byte as the console writes
// it; a point is located as the console locates it; a refused file is
// named with its line; the panes follow the window's size and DPI.
#include "platform/win32/road_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "tests/gui/focus.h"
#include "tests/gui/road_app.h"
#include "tests/gui/screenshot.h"

// The list view's messages; after windows.h, which road_app.h includes.
#include <commctrl.h>

namespace velmora::gui {
namespace {

using namespace win32;

const std::wstring kSample = L"sample-road.csv";

std::wstring Quote(const std::wstring& path) { return L"\"" + path + L"\""; }

// The console's CSV (with --bom) as the window copies it: no byte-order
// mark, tabs between the cells (the sample's cells hold no comma).
std::string AsCopied(std::string csv) {
  if (csv.rfind("\xEF\xBB\xBF", 0) == 0) {
    csv.erase(0, 3);
  }
  for (char& c : csv) {
    c = c == ',' ? '\t' : c;
  }
  return csv;
}

int RowsOf(const std::string& csv) {
  int lines = 0;
  for (const char c : csv) {
    lines += c == '\n' ? 1 : 0;
  }
  return lines - 1;  // less the header
}

std::string CopyAll(RoadApp& app, int list = kTableList) {
  SetClipboardText("");
  app.Focus(list);
  app.Ctrl('A');
  app.Ctrl('C');
  app.Sync();
  std::string copied;
  WaitFor([&] { return !(copied = ClipboardText()).empty(); });
  return copied;
}

TEST(RoadWindow, TableIsTheConsolesFollowsTheSettingsAndExportsItsBytes) {
  const std::wstring road = DataPath(kSample);
  RoadApp app(road);
  struct Case {
    const char* step;
    const char* offsets;
    const char* at;
    bool plain;
    const char* decimals;
    const wchar_t* console;  // the same table's options for velmora-cli
  };
  const Case cases[] = {
      {"20", "", "", false, "4", L"--every 20 --station-format k --decimals 4"},
      {"50", "-5 5", "K0+155.5", false, "3",
       L"--every 50 --offset -5 --offset 5 --at K0+155.5 --station-format k --decimals 3"},
      {"100", "2.5", "", true, "2",
       L"--every 100 --offset 2.5 --station-format plain --decimals 2"},
  };
  bool plain = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.console));
    app.SetText(kStepEdit, c.step);
    app.SetText(kOffsetsEdit, c.offsets);
    app.SetText(kAtEdit, c.at);
    app.SetText(kDecimalsEdit, c.decimals);
    if (c.plain != plain) {
      app.Focus(kFormatCombo);
      app.Key(c.plain ? VK_DOWN : VK_UP);
      app.Sync();
      plain = c.plain;
    }
    const std::string console = Console(L"stakeout " + Quote(road) + L" " + c.console + L" --bom");
    ASSERT_GT(RowsOf(console), 10);
    app.WaitForRows(RowsOf(console));
    EXPECT_EQ(CopyAll(app), AsCopied(console));
    const char* shot = std::getenv("VELMORA_ROAD_SCREENSHOT");
    if (&c == &cases[1] && shot != nullptr) {  // K-stations and two offsets
      EXPECT_TRUE(SaveWindowBitmap(app.Window(), shot));
    }

    // Exported by the name's ending; the GeoJSON names its source as the
    // console does when given the bare file name.
    const std::wstring data = road.substr(0, road.find_last_of(L'\\'));
    const std::string geojson =
        Console(L"stakeout " + kSample + L" " + c.console + L" --geojson", data);
    for (const auto& [name, bytes] :
         {std::pair{L"export.csv", &console}, std::pair{L"export.geojson", &geojson}}) {
      const std::wstring target = OutPath(name);
      DeleteFileW(target.c_str());
      app.Ctrl('E');
      app.ChooseFile(target);
      std::string exported;
      WaitFor([&] { return !(exported = ReadBytes(target)).empty(); }, 20000ms);
      EXPECT_EQ(exported, *bytes) << Narrow(name);
    }
  }
  // A step that is no step: the status line says why, the table stays.
  const int rows = app.Rows();
  app.SetText(kStepEdit, "0");
  EXPECT_EQ(app.Text(kStatusBar), "间距应为大于 0 的数（如 20），而不是“0”");
  EXPECT_EQ(app.Rows(), rows);
}

// Lines as the window copies them: CR LF ends.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n' && (out.empty() || out.back() != '\r')) {
      out += '\r';
    }
    out += c;
  }
  return out;
}

TEST(RoadWindow, PiFileShowsTheConsolesCurveTable) {
  const std::wstring pi = DataPath(L"sample-pi.csv");
  RoadApp app(pi);
  const std::string table = Console(L"check " + Quote(pi) + L" --station-format k --decimals 4");
  ASSERT_EQ(RowsOf(table), 4);  // BP, JD1, JD2, EP
  ASSERT_TRUE(WaitFor([&] {
    return IsWindowVisible(app.Control(kCurveList)) &&
           SendMessageW(app.Control(kCurveList), LVM_GETITEMCOUNT, 0, 0) == 4;
  }));
  EXPECT_EQ(CopyAll(app, kCurveList), WithCrLf(AsCopied(table)));
}

TEST(RoadWindow, ProfileAddsHeightsAndTheVerticalCurveTable) {
  const std::wstring road = DataPath(kSample);
  const std::wstring profile = DataPath(L"sample-profile.csv");
  RoadApp app(road);
  const std::wstring with = Quote(road) + L" --profile " + Quote(profile);
  const std::string table = Console(L"stakeout " + with + L" --every 20 --station-format k --bom");
  app.WaitForRows(RowsOf(table));
  app.Ctrl('P');
  app.ChooseFile(profile);
  ASSERT_TRUE(
      WaitFor([&] { return SendMessageW(app.Control(kCurveList), LVM_GETITEMCOUNT, 0, 0) == 1; }));
  EXPECT_EQ(CopyAll(app), AsCopied(table));  // the h column, from the same rows
  const std::string curves = Console(L"check " + with + L" --station-format k --decimals 4");
  EXPECT_EQ(CopyAll(app, kCurveList), WithCrLf(AsCopied(curves)));
}

TEST(RoadWindow, SeveralAlignmentsAskWhichOneToOpen) {
  const std::wstring xml = DataPath(L"two-alignments.xml");
  RoadApp app(xml);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(app.Id(), kMessageBoxClass)) {
          if (WindowText(w) == "选择线形") {
            dialog = w;
          }
        }
        return dialog != nullptr;
      },
      20000ms));
  HWND list = GetDlgItem(dialog, 100);
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  SendMessageW(list, LB_SETCURSEL, 1, 0);  // the second, 匝道A
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  const std::string console = Console(L"stakeout " + Quote(xml) +
                                      L" --alignment 匝道A --every 20 --station-format k --bom");
  app.WaitForRows(RowsOf(console));
  EXPECT_EQ(CopyAll(app), AsCopied(console));
}

TEST(RoadWindow, LocateShowsTheConsolesStationAndOffset) {
  const std::wstring road = DataPath(kSample);
  RoadApp app(road);
  app.WaitForRows(RowsOf(Console(L"stakeout " + Quote(road) + L" --every 20")));
  struct Case {
    const char* x;
    const char* y;
    bool enter;  // Enter in the Y field, else the 反算 button
  };
  for (const Case& c : {Case{"3050100", "500120", false}, Case{"3050300.5", "500480.25", true},
                        Case{"3049990", "499950", false}}) {
    SCOPED_TRACE(std::string(c.x) + " " + c.y);
    // station and offset are the 4th and 5th columns of locate's row.
    const std::string row = Console(L"locate " + Quote(road) + L" " + Widen(c.x) + L" " +
                                    Widen(c.y) + L" --station-format k --decimals 4");
    std::vector<std::string> cells(1);
    for (const char ch : row.substr(row.find('\n') + 1)) {
      if (ch == ',') {
        cells.emplace_back();
      } else if (ch != '\r' && ch != '\n') {
        cells.back() += ch;
      }
    }
    ASSERT_GE(cells.size(), 9u);
    app.SetText(kXEdit, c.x);
    app.SetText(kYEdit, c.y);
    if (c.enter) {
      app.Focus(kYEdit);
      app.Key(VK_RETURN);
      app.Sync();
    } else {
      SendMessageW(app.Control(kLocateButton), BM_CLICK, 0, 0);
    }
    const std::string shown = app.Text(kLocateResult);
    if (cells[3].empty()) {  // off the road: the console's reason is shown
      EXPECT_NE(shown.find(cells[8]), std::string::npos) << shown;
      continue;
    }
    EXPECT_NE(shown.find("桩号 " + cells[3]), std::string::npos) << shown;
    EXPECT_NE(shown.find("偏距 " + cells[4]), std::string::npos) << shown;
    EXPECT_NE(shown.find("方位角 " + cells[5]), std::string::npos) << shown;
  }
  // The same points from a file (批量反算), written as the console writes them.
  const std::wstring points = DataPath(L"sample-points.csv");
  const std::wstring target = OutPath(L"located.csv");
  DeleteFileW(target.c_str());
  app.Ctrl('B');
  app.ChooseFile(points);
  app.ChooseFile(target);
  std::string written;
  WaitFor([&] { return !(written = ReadBytes(target)).empty(); }, 20000ms);
  EXPECT_EQ(written, Console(L"locate " + Quote(road) + L" --points " + Quote(points) +
                             L" --station-format k --decimals 4 --bom"));
}

TEST(RoadWindow, RefusedFileIsNamedWithItsLineAndTheRoadStays) {
  const std::wstring road = DataPath(kSample);
  RoadApp app(road);
  const int rows = RowsOf(Console(L"stakeout " + Quote(road) + L" --every 20"));
  app.WaitForRows(rows);
  const std::string title = WindowText(app.Window());
  struct Case {
    const wchar_t* name;
    const char* bytes;
    const char* place;
    const char* reason;
  };
  const Case cases[] = {
      {L"bad-end.csv", "0,100,0,0,0,1000,500\n100,90,0,0\n", "位置：第 2 行",
       "原因：元素文件中有一行无法读取"},
      {L"bad-xml.xml", "<LandXML><Alignments>", nullptr, "原因：不是可读取的 LandXML 文件"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    const std::wstring path = OutPath(c.name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, c.bytes, static_cast<DWORD>(std::string(c.bytes).size()), &written, nullptr);
    CloseHandle(file);
    app.Ctrl('O');
    app.ChooseFile(path);
    ASSERT_TRUE(WaitFor([&] { return app.Box().has_value(); }, 20000ms));
    const MessageBoxInfo box = *app.Box();
    EXPECT_EQ(box.title, "Velmora 道路");
    EXPECT_NE(box.prompt.find("文件：" + Narrow(c.name)), std::string::npos) << box.prompt;
    if (c.place != nullptr) {
      EXPECT_NE(box.prompt.find(c.place), std::string::npos) << box.prompt;
    }
    EXPECT_NE(box.prompt.find(c.reason), std::string::npos) << box.prompt;
    app.CloseBox();
    EXPECT_EQ(app.Rows(), rows);  // the road it had, still shown
    EXPECT_EQ(WindowText(app.Window()), title);
  }
}

// The panes stay inside the client area, side by side, whatever its size.
void ExpectPanesInside(const RoadApp& app) {
  RECT client;
  GetClientRect(app.Window(), &client);
  const RECT plan = RectInParent(app.Control(kPlanView));
  const RECT table = RectInParent(app.Control(kTableList));
  const RECT status = RectInParent(app.Control(kStatusBar));
  for (const RECT& r : {plan, table}) {
    EXPECT_GT(r.right - r.left, 40);
    EXPECT_GT(r.bottom - r.top, 40);
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, status.top);
  }
  EXPECT_LE(plan.right, table.left);
  EXPECT_EQ(status.bottom, client.bottom);
}

TEST(RoadWindow, PanesFollowTheWindowsSize) {
  RoadApp app(DataPath(kSample));
  for (const SIZE size : {SIZE{800, 520}, SIZE{1250, 980}, SIZE{1000, 700}}) {
    SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
    SetWindowPos(app.Window(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
    ASSERT_TRUE(WaitFor([&] {
      RECT r;
      GetWindowRect(app.Window(), &r);
      return r.right - r.left == size.cx && r.bottom - r.top == size.cy;
    }));
    ExpectPanesInside(app);
  }
}

TEST(RoadWindow, TabVisitsFieldsTableAndPlanInTheirOrder) {
  RoadApp app(DataPath(kSample));
  const int order[] = {kStepEdit,     kOffsetsEdit, kAtEdit,   kFormatCombo,
                       kDecimalsEdit, kXEdit,       kYEdit,    kHEdit,
                       kLocateButton, kTableList,   kPlanView, kStepEdit};
  app.Focus(order[0]);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    app.Key(VK_TAB);
    app.Sync();
    EXPECT_EQ(GetDlgCtrlID(FocusedWindow(app.Window())), order[i]) << "Tab " << i;
  }
  app.Key(VK_TAB, true);  // and back
  app.Sync();
  EXPECT_EQ(GetDlgCtrlID(FocusedWindow(app.Window())), kPlanView);
}

// Run alone, in a Wine prefix whose screen has VELMORA_DPI dots per inch.
TEST(RoadHighDpi, FieldsAndPanesScaleWithTheScreen) {
  const char* text = std::getenv("VELMORA_DPI");
  const int dpi = text != nullptr ? std::atoi(text) : 96;
  RoadApp app(DataPath(kSample));
  app.WaitForRows(RowsOf(Console(L"stakeout " + Quote(DataPath(kSample)) + L" --every 20")));
  // The fields are 24 pixels high and the step field 60 wide at 96 DPI.
  const RECT step = RectInParent(app.Control(kStepEdit));
  EXPECT_EQ(step.bottom - step.top, MulDiv(24, dpi, 96));
  EXPECT_EQ(step.right - step.left, MulDiv(60, dpi, 96));
  ExpectPanesInside(app);
  if (const char* shot = std::getenv("VELMORA_ROAD_SCREENSHOT")) {
    EXPECT_TRUE(SaveWindowBitmap(app.Window(), shot));
  }
}

}  // namespace
}  // namespace velmora::gui
