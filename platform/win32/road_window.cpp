#include "platform/win32/road_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/win32/base_window.h"
#include "platform/win32/controls.h"
#include "platform/win32/road_files.h"
#include "platform/win32/road_plan.h"
#include "platform/win32/text.h"
#include "road/trig.h"
#include "roadwindow/document.h"
#include "roadwindow/messages.h"
#include "roadwindow/plan.h"
#include "roadwindow/settings.h"
#include "roadwindow/table_model.h"

namespace velmora::win32 {
namespace {

constexpr int kIconId = 1;
constexpr wchar_t kTitle[] = L"Velmora 道路";

enum Command : int {
  kOpen = 200,
  kOpenProfile,
  kOpenSlopes,
  kExport,
  kBatchLocate,
  kExit,
  kCopy,
  kSelectAll,
  kLocate,
  kFit,
  kFocusTable,
  kFocusPlan,
  kFocusStep,
  kFocusX,
};

constexpr wchar_t kRoadFilter[] =
    L"道路文件 (*.csv;*.txt;*.xml)\0*.csv;*.txt;*.xml\0所有文件 (*.*)\0*.*\0";
constexpr wchar_t kHeightFilter[] = L"CSV 文件 (*.csv;*.txt)\0*.csv;*.txt\0所有文件 (*.*)\0*.*\0";
constexpr wchar_t kExportFilter[] =
    L"CSV 逐桩坐标表 (*.csv)\0*.csv\0GeoJSON (*.geojson)\0*.geojson\0LandXML (*.xml)\0*.xml\0SVG "
    L"平面图 (*.svg)\0*.svg\0";
constexpr wchar_t kCsvFilter[] = L"CSV 文件 (*.csv)\0*.csv\0";

// Lengths at 96 dots per inch, scaled for the window's.
struct Metrics {
  int dpi = 96;
  int S(int pixels) const { return MulDiv(pixels, dpi, 96); }
};

std::wstring Text(HWND control) {
  const auto length = static_cast<std::size_t>(GetWindowTextLengthW(control));
  std::wstring text(length + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

bool IsEdit(HWND hwnd) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  return _wcsicmp(name, L"Edit") == 0;
}

// The local date and time, as the LandXML file records them.
void Now(std::string& date, std::string& time) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char buffer[32];
  wsprintfA(buffer, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  date = buffer;
  wsprintfA(buffer, "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
  time = buffer;
}

// The names the console's columns go by, in the window's language.
std::string ColumnName(const std::string& name) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kNames = {{
      {"station", "桩号"},
      {"offset", "偏距"},
      {"azimuth", "方位角"},
      {"packed", "方位角(度.分秒)"},
      {"h", "设计高程"},
      {"dh", "高差"},
      {"message", "说明"},
      {"element", "元素"},
  }};
  for (const auto& [from, to] : kNames) {
    if (name == from) {
      return std::string(to);
    }
  }
  return name;
}

// The small dialog that asks which alignment of a LandXML file to open,
// or which of its design profiles: a list and the two buttons, laid out in dialog units (Windows
// scales them for the dialog's DPI).
class NameChooser {
 public:
  static std::optional<std::string> Ask(HWND owner, const std::vector<std::string>& names,
                                        const wchar_t* title = L"选择线形") {
    NameChooser chooser(names);
    std::vector<WORD> t;
    const auto words = [&t](const wchar_t* text) {
      for (; *text != 0; ++text) {
        t.push_back(static_cast<WORD>(*text));
      }
      t.push_back(0);
    };
    const auto align = [&t] {
      if (t.size() % 2 != 0) {
        t.push_back(0);
      }
    };
    const auto dword = [&t](DWORD value) {
      t.push_back(LOWORD(value));
      t.push_back(HIWORD(value));
    };
    dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    dword(0);
    t.push_back(3);  // items
    t.push_back(0);
    t.push_back(0);
    t.push_back(220);
    t.push_back(150);
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    words(title);
    t.push_back(9);
    words(L"MS Shell Dlg 2");
    const auto item = [&](DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
                          const wchar_t* text) {
      align();
      dword(style | WS_CHILD | WS_VISIBLE);
      dword(0);
      t.push_back(static_cast<WORD>(x));
      t.push_back(static_cast<WORD>(y));
      t.push_back(static_cast<WORD>(cx));
      t.push_back(static_cast<WORD>(cy));
      t.push_back(id);
      t.push_back(0xFFFF);
      t.push_back(atom);
      words(text);
      t.push_back(0);  // no creation data
    };
    item(LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 7, 7, 206, 112, 100, 0x0083, L"");
    item(BS_DEFPUSHBUTTON | WS_TABSTOP, 106, 128, 50, 14, IDOK, 0x0080, L"确定");
    item(BS_PUSHBUTTON | WS_TABSTOP, 163, 128, 50, 14, IDCANCEL, 0x0080, L"取消");
    align();
    DialogBoxIndirectParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                            reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), owner, Proc,
                            reinterpret_cast<LPARAM>(&chooser));
    return chooser.chosen_;
  }

 private:
  explicit NameChooser(const std::vector<std::string>& names) : names_(names) {}
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<NameChooser*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
      case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        self = reinterpret_cast<NameChooser*>(lparam);
        HWND list = GetDlgItem(dialog, 100);
        for (const std::string& name : self->names_) {
          SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
        }
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || (LOWORD(wparam) == 100 && HIWORD(wparam) == LBN_DBLCLK)) {
          const LRESULT at = SendDlgItemMessageW(dialog, 100, LB_GETCURSEL, 0, 0);
          if (at >= 0 && static_cast<std::size_t>(at) < self->names_.size()) {
            self->chosen_ = self->names_[static_cast<std::size_t>(at)];
          }
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (LOWORD(wparam) == IDCANCEL) {
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        break;
      default:
        break;
    }
    return FALSE;
  }

  const std::vector<std::string>& names_;
  std::optional<std::string> chosen_;
};

class RoadWindow final : public BaseWindow, public MessageFilter {
 public:
  bool Create(HINSTANCE instance);
  void OpenFile(const std::wstring& path);
  bool PreTranslate(MSG& msg) override;

 private:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnCommand(int id, int code, HWND control);
  LRESULT OnNotify(NMHDR* header);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnDropFiles(HDROP drop);

  HWND Make(const wchar_t* window_class, const wchar_t* text, DWORD style, int id,
            DWORD ex_style = 0);
  void MakeFont();
  void Layout();
  void SetColumns(HWND list, const roadwindow::TableModel& model);
  void Status(const std::string& text);
  void Refuse(const std::string& text);

  void Open();
  void OpenHeights(bool profile);
  // The file's name and its bytes; nothing, with the reason shown, when it
  // cannot be read.
  struct ReadFile {
    std::string name;
    std::string bytes;
  };
  std::optional<ReadFile> Read(const std::wstring& path);
  void Apply(bool force);
  void ShowTable();
  void ShowCurves();
  void Locate();
  void BatchLocate();
  void Export();
  void CopyRows();
  void SelectAll();

  HINSTANCE instance_ = nullptr;
  Metrics metrics_;
  HFONT font_ = nullptr;
  HMENU menu_ = nullptr;
  HACCEL accelerators_ = nullptr;
  RoadPlan plan_;
  HWND table_ = nullptr;
  HWND curves_ = nullptr;
  HWND status_ = nullptr;
  std::optional<roadwindow::OpenRoad> road_;
  roadwindow::SettingsText applied_text_;
  roadwindow::TableSettings settings_;
  bool settings_ok_ = true;
  roadwindow::TableModel table_model_;
  roadwindow::TableModel curve_model_;
  std::wstring cell_;  // the text LVN_GETDISPINFO hands out
};

HWND RoadWindow::Make(const wchar_t* window_class, const wchar_t* text, DWORD style, int id,
                      DWORD ex_style) {
  HWND control = CreateWindowExW(
      ex_style, window_class, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 10, 10,
      Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (control != nullptr) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  return control;
}

void RoadWindow::MakeFont() {
  HFONT old = font_;
  font_ = CreateFontW(-MulDiv(105, metrics_.dpi, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, L"宋体");
  if (old != nullptr) {
    for (HWND child = GetWindow(Hwnd(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    DeleteObject(old);
  }
  plan_.SetFont(font_);
}

bool RoadWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  const WindowClass window_class = {kRoadWindowClass, icon,
                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
  if (!BaseWindow::Create(instance, window_class, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN)) {
    return false;
  }
  metrics_.dpi = WindowDpi(Hwnd());
  MakeFont();

  menu_ = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kOpen, L"打开(&O)...\tCtrl+O");
  AppendMenuW(file, MF_STRING, kOpenProfile, L"打开纵断面(&P)...\tCtrl+P");
  AppendMenuW(file, MF_STRING, kOpenSlopes, L"打开横坡(&L)...\tCtrl+L");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kExport, L"导出(&E)...\tCtrl+E");
  AppendMenuW(file, MF_STRING, kBatchLocate, L"批量反算(&B)...\tCtrl+B");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kExit, L"退出(&X)\tAlt+F4");
  HMENU edit = CreatePopupMenu();
  AppendMenuW(edit, MF_STRING, kCopy, L"复制(&C)\tCtrl+C");
  AppendMenuW(edit, MF_STRING, kSelectAll, L"全选(&A)\tCtrl+A");
  AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(edit, MF_STRING, kLocate, L"反算(&R)\tF5");
  HMENU view = CreatePopupMenu();
  AppendMenuW(view, MF_STRING, kFit, L"适合窗口(&F)\tCtrl+Home");
  AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(view, MF_STRING, kFocusStep, L"设置(&S)\tAlt+1");
  AppendMenuW(view, MF_STRING, kFocusX, L"反算坐标(&X)\tAlt+2");
  AppendMenuW(view, MF_STRING, kFocusTable, L"逐桩坐标表(&T)\tAlt+3");
  AppendMenuW(view, MF_STRING, kFocusPlan, L"平面图(&V)\tAlt+4");
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件(&F)");
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"编辑(&E)");
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"视图(&V)");
  SetMenu(Hwnd(), menu_);

  ACCEL keys[] = {
      {FCONTROL | FVIRTKEY, 'O', kOpen},
      {FCONTROL | FVIRTKEY, 'P', kOpenProfile},
      {FCONTROL | FVIRTKEY, 'L', kOpenSlopes},
      {FCONTROL | FVIRTKEY, 'E', kExport},
      {FCONTROL | FVIRTKEY, 'S', kExport},
      {FCONTROL | FVIRTKEY, 'B', kBatchLocate},
      {FCONTROL | FVIRTKEY, 'C', kCopy},
      {FCONTROL | FVIRTKEY, 'A', kSelectAll},
      {FVIRTKEY, VK_F5, kLocate},
      {FCONTROL | FVIRTKEY, VK_HOME, kFit},
      {FALT | FVIRTKEY, '1', kFocusStep},
      {FALT | FVIRTKEY, '2', kFocusX},
      {FALT | FVIRTKEY, '3', kFocusTable},
      {FALT | FVIRTKEY, '4', kFocusPlan},
  };
  accelerators_ = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));

  // Made in the order Tab moves through them.
  Make(L"STATIC", L"间距", SS_RIGHT | SS_CENTERIMAGE, kStepLabel);
  Make(L"EDIT", L"20", ES_AUTOHSCROLL | WS_TABSTOP, kStepEdit, WS_EX_CLIENTEDGE);
  Make(L"STATIC", L"边桩", SS_RIGHT | SS_CENTERIMAGE, kOffsetsLabel);
  Make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kOffsetsEdit, WS_EX_CLIENTEDGE);
  Make(L"STATIC", L"加桩", SS_RIGHT | SS_CENTERIMAGE, kAtLabel);
  Make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kAtEdit, WS_EX_CLIENTEDGE);
  Make(L"STATIC", L"桩号格式", SS_RIGHT | SS_CENTERIMAGE, kFormatLabel);
  HWND format = Make(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kFormatCombo);
  SendMessageW(format, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"K1+234.5"));
  SendMessageW(format, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"1234.5"));
  SendMessageW(format, CB_SETCURSEL, 0, 0);
  Make(L"STATIC", L"小数位", SS_RIGHT | SS_CENTERIMAGE, kDecimalsLabel);
  Make(L"EDIT", L"4", ES_AUTOHSCROLL | WS_TABSTOP, kDecimalsEdit, WS_EX_CLIENTEDGE);
  Make(L"STATIC", L"X", SS_RIGHT | SS_CENTERIMAGE, kXLabel);
  Make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kXEdit, WS_EX_CLIENTEDGE);
  Make(L"STATIC", L"Y", SS_RIGHT | SS_CENTERIMAGE, kYLabel);
  Make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kYEdit, WS_EX_CLIENTEDGE);
  Make(L"STATIC", L"H", SS_RIGHT | SS_CENTERIMAGE, kHLabel);
  Make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kHEdit, WS_EX_CLIENTEDGE);
  Make(L"BUTTON", L"反算", BS_PUSHBUTTON | WS_TABSTOP, kLocateButton);
  Make(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS, kLocateResult);
  table_ =
      Make(WC_LISTVIEWW, L"",
           LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_BORDER, kTableList);
  curves_ = Make(WC_LISTVIEWW, L"", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP,
                 kCurveList, WS_EX_CLIENTEDGE);
  ShowWindow(curves_, SW_HIDE);
  for (HWND list : {table_, curves_}) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  }
  if (!plan_.Create(Hwnd(), instance_, kPlanView)) {
    return false;
  }
  status_ = Make(STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, kStatusBar);
  if (table_ == nullptr || curves_ == nullptr || status_ == nullptr) {
    return false;
  }
  DragAcceptFiles(Hwnd(), TRUE);

  // 1180 x 760 at 96 DPI, within the screen's work area, centred on it.
  RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = std::min<int>(metrics_.S(1180), work.right - work.left);
  const int height = std::min<int>(metrics_.S(760), work.bottom - work.top);
  SetWindowPos(Hwnd(), nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
  Status("请打开道路文件（Ctrl+O），或把文件拖到窗口中");
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  UpdateWindow(Hwnd());
  SetFocus(GetDlgItem(Hwnd(), kStepEdit));
  return true;
}

void RoadWindow::Layout() {
  RECT client;
  GetClientRect(Hwnd(), &client);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status_rect;
  GetWindowRect(status_, &status_rect);
  const int status_height = status_rect.bottom - status_rect.top;
  const Metrics& m = metrics_;
  const int gap = m.S(6);
  const int row = m.S(24);
  const auto place = [this](int id, int x, int y, int w, int h) {
    SetWindowPos(GetDlgItem(Hwnd(), id), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  // First row: the table's settings.
  int x = gap;
  int y = gap;
  const auto pair = [&](int label, int field, int label_width, int field_width) {
    place(label, x, y, m.S(label_width), row);
    x += m.S(label_width) + gap;
    place(field, x, y, m.S(field_width), label == kFormatLabel ? m.S(200) : row);
    x += m.S(field_width) + 2 * gap;
  };
  pair(kStepLabel, kStepEdit, 32, 60);
  pair(kOffsetsLabel, kOffsetsEdit, 32, 140);
  pair(kAtLabel, kAtEdit, 32, 200);
  pair(kFormatLabel, kFormatCombo, 64, 100);
  pair(kDecimalsLabel, kDecimalsEdit, 48, 40);
  // Second row: a point to locate and its answer.
  x = gap;
  y += row + gap;
  pair(kXLabel, kXEdit, 16, 110);
  pair(kYLabel, kYEdit, 16, 110);
  pair(kHLabel, kHEdit, 16, 70);
  place(kLocateButton, x, y, m.S(64), row);
  x += m.S(64) + gap;
  place(kLocateResult, x, y, std::max(m.S(40), static_cast<int>(client.right) - x - gap), row);
  // Below: the plan on the left, the tables on the right.
  y += row + gap;
  const int bottom = client.bottom - status_height - gap;
  const int height = std::max(m.S(40), bottom - y);
  const int plan_width = std::max(m.S(80), static_cast<int>(client.right) * 2 / 5);
  SetWindowPos(plan_.Hwnd(), nullptr, gap, y, plan_width - gap, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  const int list_x = plan_width + gap;
  const int list_width = std::max(m.S(80), static_cast<int>(client.right) - list_x - gap);
  if (IsWindowVisible(curves_)) {
    const int table_height = height * 3 / 5;
    SetWindowPos(table_, nullptr, list_x, y, list_width, table_height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(curves_, nullptr, list_x, y + table_height + gap, list_width,
                 height - table_height - gap, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(table_, nullptr, list_x, y, list_width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void RoadWindow::Status(const std::string& text) {
  SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void RoadWindow::Refuse(const std::string& text) {
  MessageBoxW(Hwnd(), Widen(text).c_str(), kTitle, MB_OK | MB_ICONERROR);
}

void RoadWindow::SetColumns(HWND list, const roadwindow::TableModel& model) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (std::size_t i = 0; i < model.Columns(); ++i) {
    std::wstring name = Widen(model.Header()[i]);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = i == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
    column.cx = metrics_.S(i == 1 ? 48 : list == curves_ ? 90 : 110);
    column.pszText = name.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list, LVM_SETITEMCOUNT, model.Rows(), LVSICF_NOINVALIDATEALL);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

std::optional<RoadWindow::ReadFile> RoadWindow::Read(const std::wstring& path) {
  std::string error;
  std::string name = Narrow(FileNameOf(path));
  std::optional<std::string> bytes = ReadWholeFile(path, error);
  if (!bytes) {
    Refuse("无法读取文件：" + name + "\n\n" + error);
    return std::nullopt;
  }
  return ReadFile{std::move(name), std::move(*bytes)};
}

void RoadWindow::OpenFile(const std::wstring& path) {
  const std::optional<ReadFile> file = Read(path);
  if (!file) {
    return;
  }
  const std::string& name = file->name;
  const roadwindow::LandXmlChoices choices = roadwindow::ChoicesOf(file->bytes);
  std::optional<std::string> alignment;
  std::size_t chosen = 0;
  if (choices.alignments.size() > 1) {
    alignment = NameChooser::Ask(Hwnd(), choices.alignments);
    if (!alignment) {
      return;  // the user kept the road that was open
    }
    chosen = static_cast<std::size_t>(
        std::find(choices.alignments.begin(), choices.alignments.end(), *alignment) -
        choices.alignments.begin());
  }
  std::optional<std::string> profile;
  if (chosen < choices.profiles.size() && choices.profiles[chosen].size() > 1) {
    profile = NameChooser::Ask(Hwnd(), choices.profiles[chosen], L"选择纵断面");
    if (!profile) {
      return;
    }
  }
  auto loaded = roadwindow::LoadRoad(file->bytes, name, alignment, profile);
  if (auto* refused = std::get_if<model::LoadError>(&loaded)) {
    Refuse(roadwindow::LoadErrorMessage(*refused));
    return;
  }
  road_ = std::move(std::get<roadwindow::OpenRoad>(loaded));
  SetWindowTextW(Hwnd(), (FileNameOf(path) + L" - " + kTitle).c_str());
  plan_.Mark(std::nullopt, std::nullopt);
  Apply(true);
  plan_.Fit();
}

void RoadWindow::Open() {
  if (auto path = AskOpenFile(Hwnd(), L"打开道路文件", kRoadFilter)) {
    OpenFile(*path);
  }
}

void RoadWindow::OpenHeights(bool profile) {
  if (!road_) {
    Refuse("请先打开道路文件，再打开" + std::string(profile ? "纵断面" : "横坡") + "文件。");
    return;
  }
  auto path = AskOpenFile(Hwnd(), profile ? L"打开纵断面文件" : L"打开横坡文件", kHeightFilter);
  if (!path) {
    return;
  }
  const std::optional<ReadFile> file = Read(*path);
  if (!file) {
    return;
  }
  const std::string& name = file->name;
  const std::optional<model::LoadError> refused =
      profile ? roadwindow::LoadProfile(*road_, file->bytes, name)
              : roadwindow::LoadCrossSlopes(*road_, file->bytes, name);
  if (refused) {
    Refuse(roadwindow::LoadErrorMessage(*refused));
    return;
  }
  Apply(true);
}

// Reads the settings and, when they changed (or `force`), makes the table
// and the plan again.
void RoadWindow::Apply(bool force) {
  roadwindow::SettingsText text;
  text.step = Narrow(Text(GetDlgItem(Hwnd(), kStepEdit)));
  text.offsets = Narrow(Text(GetDlgItem(Hwnd(), kOffsetsEdit)));
  text.at = Narrow(Text(GetDlgItem(Hwnd(), kAtEdit)));
  text.k_stations = SendDlgItemMessageW(Hwnd(), kFormatCombo, CB_GETCURSEL, 0, 0) != 1;
  text.decimals = Narrow(Text(GetDlgItem(Hwnd(), kDecimalsEdit)));
  if (!force && text.step == applied_text_.step && text.offsets == applied_text_.offsets &&
      text.at == applied_text_.at && text.k_stations == applied_text_.k_stations &&
      text.decimals == applied_text_.decimals) {
    return;
  }
  applied_text_ = text;
  auto read = roadwindow::ReadSettings(text);
  if (auto* wrong = std::get_if<roadwindow::SettingsError>(&read)) {
    settings_ok_ = false;
    Status(wrong->message);
    return;
  }
  settings_ = std::get<roadwindow::TableSettings>(read);
  settings_ok_ = true;
  if (!road_) {
    return;
  }
  ShowTable();
  ShowCurves();
  // Smooth at the fitted scale: the extent comes from a first, coarse
  // trace (one chord a straight or gentle curve).
  RECT client;
  GetClientRect(plan_.Hwnd(), &client);
  const double tolerance = roadwindow::DrawingTolerance(
      roadwindow::DrawRoad(road_->road.alignment, {}, 1e9, settings_.stations, 0).extent,
      std::max<double>(client.right, 200.0));
  plan_.Show(roadwindow::DrawRoad(road_->road.alignment, settings_.offsets, tolerance,
                                  settings_.stations, settings_.decimals));
}

void RoadWindow::ShowTable() {
  roadwindow::Output table = roadwindow::TableCsv(*road_, settings_);
  if (table.refusal) {
    table_model_.Clear();
    Status("无法生成逐桩坐标表：" + *table.refusal);
  } else {
    table_model_.Reset(std::move(table.bytes));
    std::string status = road_->source + "：共 " + std::to_string(table_model_.Rows()) + " 行";
    if (!table.gaps.empty()) {
      status += "；缺 " + std::to_string(table.gaps.size()) + " 个答案：" + table.gaps.front();
    }
    // As `check` reports them: the file contradicts itself.
    if (const auto findings = road_->road.FindingTexts(settings_.decimals); !findings.empty()) {
      status += "；文件自相矛盾 " + std::to_string(findings.size()) + " 处：" + findings.front();
    }
    Status(status);
  }
  SetColumns(table_, table_model_);
}

void RoadWindow::ShowCurves() {
  curve_model_.Reset(roadwindow::CurveTables(*road_, settings_));
  const bool show = curve_model_.Columns() > 0;
  ShowWindow(curves_, show ? SW_SHOWNA : SW_HIDE);
  SetColumns(curves_, curve_model_);
  Layout();
}

void RoadWindow::Locate() {
  if (!road_) {
    Refuse("请先打开道路文件。");
    return;
  }
  const std::string x = Narrow(Text(GetDlgItem(Hwnd(), kXEdit)));
  const std::string y = Narrow(Text(GetDlgItem(Hwnd(), kYEdit)));
  const std::string h = Narrow(Text(GetDlgItem(Hwnd(), kHEdit)));
  const roadwindow::Located located = roadwindow::LocatePoint(*road_, settings_, x, y, h);
  roadwindow::TableModel row;
  row.Reset(located.header + "\n" + located.answer.line + "\n");
  std::string shown;
  for (std::size_t i = 0; i < row.Columns(); ++i) {
    const std::string& name = row.Header()[i];
    const std::string cell = row.Cell(0, i);
    if (name == "name" || name == "x" || name == "y" || name == "z" || cell.empty()) {
      continue;
    }
    shown += (shown.empty() ? "" : "   ") + ColumnName(name) + " " + cell;
  }
  if (!located.answer.found && !located.answer.message.empty() &&
      shown.find(located.answer.message) == std::string::npos) {
    shown += (shown.empty() ? "" : "   ") + located.answer.message;
  }
  SetDlgItemTextW(Hwnd(), kLocateResult, Widen(shown).c_str());
  const std::optional<double> px = roadwindow::ReadNumberField(x);
  const std::optional<double> py = roadwindow::ReadNumberField(y);
  if (!px || !py) {
    plan_.Mark(std::nullopt, std::nullopt);
    return;
  }
  const road::Point point{*px, *py};
  std::optional<road::Point> foot;
  if (located.answer.found) {
    // Back across the offset, square to the line's azimuth there.
    const road::detail::SinCos a = road::detail::SinCosOf(located.answer.azimuth);
    foot = road::Point{point.x + located.answer.offset * a.sin,
                       point.y - located.answer.offset * a.cos};
  }
  plan_.Mark(point, foot);
}

void RoadWindow::BatchLocate() {
  if (!road_) {
    Refuse("请先打开道路文件。");
    return;
  }
  auto points = AskOpenFile(Hwnd(), L"批量反算：打开点文件 (名称,X,Y[,H])", kHeightFilter);
  if (!points) {
    return;
  }
  const std::optional<ReadFile> file = Read(*points);
  if (!file) {
    return;
  }
  const std::string& name = file->name;
  roadwindow::Output output = roadwindow::LocateFile(*road_, settings_, file->bytes, name);
  if (output.refusal) {
    Refuse("无法反算点文件：" + *output.refusal);
    return;
  }
  DWORD type = 1;
  auto target = AskSaveFile(Hwnd(), L"批量反算：保存结果", kCsvFilter, L"csv", type);
  if (!target) {
    return;
  }
  std::string error;
  if (!WriteWholeFile(*target, output.bytes, error)) {
    Refuse("无法写入文件：" + Narrow(FileNameOf(*target)) + "\n\n" + error);
    return;
  }
  Status("已写入 " + Narrow(*target) +
         (output.gaps.empty() ? "" : "；" + std::to_string(output.gaps.size()) + " 个点未能反算"));
}

void RoadWindow::Export() {
  if (!road_) {
    Refuse("请先打开道路文件。");
    return;
  }
  if (!settings_ok_) {
    Refuse("设置有误，请先按状态栏的提示改正。");
    return;
  }
  DWORD type = 1;
  auto target = AskSaveFile(Hwnd(), L"导出", kExportFilter, L"csv", type);
  if (!target) {
    return;
  }
  const roadwindow::ExportKind kinds[] = {
      roadwindow::ExportKind::kCsv, roadwindow::ExportKind::kGeoJson,
      roadwindow::ExportKind::kLandXml, roadwindow::ExportKind::kSvg};
  roadwindow::ExportKind kind = roadwindow::ExportKindOf(Narrow(*target));
  if (kind == roadwindow::ExportKind::kCsv && type >= 1 && type <= 4) {
    kind = kinds[type - 1];
  }
  std::string date;
  std::string time;
  Now(date, time);
  const roadwindow::Output output = roadwindow::Export(*road_, settings_, kind, date, time);
  if (output.refusal) {
    Refuse("无法导出：" + *output.refusal);
    return;
  }
  std::string error;
  if (!WriteWholeFile(*target, output.bytes, error)) {
    Refuse("无法写入文件：" + Narrow(FileNameOf(*target)) + "\n\n" + error);
    return;
  }
  Status("已导出 " + Narrow(*target));
  if (!output.gaps.empty()) {
    std::string text = "已导出，但缺 " + std::to_string(output.gaps.size()) + " 个答案：";
    for (std::size_t i = 0; i < output.gaps.size() && i < 5; ++i) {
      text += "\n" + output.gaps[i];
    }
    MessageBoxW(Hwnd(), Widen(text).c_str(), kTitle, MB_OK | MB_ICONWARNING);
  }
}

void RoadWindow::CopyRows() {
  HWND focus = GetFocus();
  HWND list = focus == curves_ ? curves_ : table_;
  const roadwindow::TableModel& model = list == curves_ ? curve_model_ : table_model_;
  std::vector<std::size_t> rows;
  for (LRESULT at = -1;
       (at = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(at), LVNI_SELECTED)) >= 0;) {
    rows.push_back(static_cast<std::size_t>(at));
  }
  if (rows.empty() || model.Columns() == 0) {
    return;
  }
  const std::wstring text = Widen(model.CopyRows(rows));
  if (!OpenClipboard(Hwnd())) {
    return;
  }
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* to = GlobalLock(memory)) {
      memcpy(to, text.c_str(), bytes);
      GlobalUnlock(memory);
      if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        GlobalFree(memory);
      }
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
  Status("已复制 " + std::to_string(rows.size()) + " 行");
}

void RoadWindow::SelectAll() {
  HWND list = GetFocus() == curves_ ? curves_ : table_;
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

LRESULT RoadWindow::OnNotify(NMHDR* header) {
  if (header->code == LVN_GETDISPINFOW &&
      (header->hwndFrom == table_ || header->hwndFrom == curves_)) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if ((info->item.mask & LVIF_TEXT) != 0 && info->item.cchTextMax > 0) {
      const roadwindow::TableModel& model =
          header->hwndFrom == curves_ ? curve_model_ : table_model_;
      cell_ = Widen(model.Cell(static_cast<std::size_t>(info->item.iItem),
                               static_cast<std::size_t>(info->item.iSubItem)));
      const std::size_t room = static_cast<std::size_t>(info->item.cchTextMax) - 1;
      const std::size_t count = std::min(room, cell_.size());
      cell_.copy(info->item.pszText, count);
      info->item.pszText[count] = L'\0';
    }
    return 0;
  }
  return 0;
}

void RoadWindow::OnCommand(int id, int code, HWND control) {
  if (control != nullptr) {
    switch (id) {
      case kStepEdit:
      case kOffsetsEdit:
      case kAtEdit:
      case kDecimalsEdit:
        if (code == EN_CHANGE) {
          Apply(false);
        }
        return;
      case kFormatCombo:
        if (code == CBN_SELCHANGE) {
          Apply(false);
        }
        return;
      case kLocateButton:
        if (code == BN_CLICKED) {
          Locate();
        }
        return;
      case IDOK:
        break;
      default:
        return;
    }
  }
  switch (id) {
    case IDOK: {  // Enter in a field
      const int focus = GetDlgCtrlID(GetFocus());
      if (focus == kXEdit || focus == kYEdit || focus == kHEdit || focus == kLocateButton) {
        Locate();
      } else {
        Apply(true);
      }
      return;
    }
    case kOpen:
      Open();
      return;
    case kOpenProfile:
      OpenHeights(true);
      return;
    case kOpenSlopes:
      OpenHeights(false);
      return;
    case kExport:
      Export();
      return;
    case kBatchLocate:
      BatchLocate();
      return;
    case kExit:
      PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
      return;
    case kCopy:
      CopyRows();
      return;
    case kSelectAll:
      SelectAll();
      return;
    case kLocate:
      Locate();
      return;
    case kFit:
      plan_.Fit();
      return;
    case kFocusStep:
      SetFocus(GetDlgItem(Hwnd(), kStepEdit));
      return;
    case kFocusX:
      SetFocus(GetDlgItem(Hwnd(), kXEdit));
      return;
    case kFocusTable:
      SetFocus(table_);
      return;
    case kFocusPlan:
      SetFocus(plan_.Hwnd());
      return;
    default:
      return;
  }
}

void RoadWindow::OnDpiChanged(int dpi, const RECT* suggested) {
  metrics_.dpi = dpi;
  MakeFont();
  SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetColumns(table_, table_model_);
  SetColumns(curves_, curve_model_);
  Layout();
}

void RoadWindow::OnDropFiles(HDROP drop) {
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  DragQueryFileW(drop, 0, path.data(), length + 1);
  path.resize(length);
  DragFinish(drop);
  if (!path.empty()) {
    OpenFile(path);
  }
}

LRESULT RoadWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lparam));
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_MOUSEWHEEL: {
      // The wheel goes to the focus; over the plan it zooms the plan.
      POINT at = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      RECT plan;
      GetWindowRect(plan_.Hwnd(), &plan);
      if (PtInRect(&plan, at)) {
        return SendMessageW(plan_.Hwnd(), message, wparam, lparam);
      }
      break;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = {metrics_.S(640), metrics_.S(400)};
      return 0;
    }
    case WM_DESTROY:
      if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
        accelerators_ = nullptr;
      }
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
      }
      break;
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

bool RoadWindow::PreTranslate(MSG& msg) {
  if (Hwnd() == nullptr || (msg.hwnd != Hwnd() && !IsChild(Hwnd(), msg.hwnd))) {
    return false;  // a dialog or message box of its own
  }
  if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_F24) {
    return true;  // ignored: a marker key for test drivers
  }
  if (msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && IsEdit(msg.hwnd)) {
    // In a field, Ctrl+A and Ctrl+C are the field's own.
    if (msg.wParam == 'A') {
      SendMessageW(msg.hwnd, EM_SETSEL, 0, -1);
      return true;
    }
    if (msg.wParam == 'C' || msg.wParam == 'V' || msg.wParam == 'X' || msg.wParam == 'Z') {
      return false;
    }
  }
  if (accelerators_ != nullptr && TranslateAcceleratorW(Hwnd(), accelerators_, &msg)) {
    return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && IsEdit(msg.hwnd)) {
    OnCommand(IDOK, 0, nullptr);
    return true;
  }
  if (msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSCHAR || msg.message == WM_SYSKEYUP) {
    return false;  // Alt and its letter open the menus, not a control's mnemonic
  }
  return IsDialogMessageW(Hwnd(), &msg) != 0;
}

}  // namespace

int RunRoadWindow(HINSTANCE instance, const std::wstring& file) {
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  RoadWindow window;
  if (!window.Create(instance)) {
    return 1;
  }
  if (!file.empty()) {
    window.OpenFile(file);
  }
  return RunMessageLoop(window);
}

}  // namespace velmora::win32
