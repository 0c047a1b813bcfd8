// The advanced settings dialog and the capture window on real windows: their controls,
// their tidy layout, the tab row, and the capture window's overheads as the system draws
// them. Each test leaves a picture of what it looked at beside the test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "AdvancedSettingsForm.h"
#include "AppContext.h"
#include "CapForm.h"
#include "WineSupport.h"
#include "platform/win32/Win32Platform.h"
#include "vcl/win32/Win32Peers.h"
#include "vcl/win32/Win32Widgetset.h"

using vcl::win32::WindowOf;

namespace {

class OutputWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!vcl::HasWidgetset()) vcl::InstallWidgetset(vcl::win32::MakeWidgetset());
    platform::InstallPlatform(platform::win32::MakeServices());
  }
  static void TearDownTestSuite() { platform::InstallPlatform({}); }

  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "slidecaster-output-windows";
    CreateDirectoryA(folder_.c_str(), nullptr);
    ConfigFile = folder_ + "\\Config.ini";
    DeleteFileA(ConfigFile.c_str());
    vcl::Application.CreateForm(main_);
    vcl::Application.CreateForm(Form_advanced);
    vcl::Application.CreateForm(Form_cap);
    // Only the windows' layout is looked at: the recording the capture window's show
    // starts is left out.
    Form_cap->OnShow = nullptr;
  }
  void TearDown() override {
    vcl::Application.DestroyForms();
    DeleteFileA(ConfigFile.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  // Runs the real message loop for ms, so windows paint.
  static void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    vcl::TTimer guard(nullptr);
    guard.SetInterval(20);
    vcl::Widgetset().RunLoop([&] { return GetTickCount() - start > ms; });
  }

 private:
  vcl::TForm* main_ = nullptr;
  std::string folder_;
};

RECT ClientRectIn(HWND w, HWND parent) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string ClassOf(HWND w) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

// The children of a window that are meant to show.
std::vector<HWND> ShownChildren(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) children.push_back(c);
  return children;
}

// A tidy window: every shown child inside the area, no two overlapping, and every label's
// and button's text fits its control.
void ExpectTidy(HWND parent, const RECT& area, const std::vector<HWND>& children) {
  for (size_t i = 0; i < children.size(); ++i) {
    const RECT r = ClientRectIn(children[i], parent);
    const std::string text = winetest::WindowText(children[i]);
    EXPECT_TRUE(Inside(r, area)) << text << " sticks out";
    for (size_t j = i + 1; j < children.size(); ++j) {
      RECT both;
      const RECT other = ClientRectIn(children[j], parent);
      EXPECT_FALSE(IntersectRect(&both, &r, &other)) << "'" << text << "' overlaps '"
                                                     << winetest::WindowText(children[j]) << "'";
    }
    const std::string cls = ClassOf(children[i]);
    if ((cls == "Static" || cls == "Button") && !text.empty() && (GetWindowLongA(children[i], GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) {
      HDC dc = GetDC(children[i]);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(children[i], WM_GETFONT, 0, 0)));
      SIZE size;
      GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
      SelectObject(dc, old);
      ReleaseDC(children[i], dc);
      const bool wraps = cls == "Static" && (GetWindowLongA(children[i], GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
      const int room = (r.right - r.left) * (wraps ? 2 : 1) - (cls == "Button" ? 8 : 0);
      EXPECT_LE(size.cx, room) << "'" << text << "' does not fit";
    }
  }
}

// Saves what the screen shows of a window as a 24-bit picture.
void SavePicture(HWND w, const std::string& name) {
  RECT r;
  GetWindowRect(w, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bmp);
  BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(dc, old);
  BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<char> bits(stride * static_cast<DWORD>(height));
  GetDIBits(dc, bmp, 0, static_cast<UINT>(height), bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + bits.size()), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof info};
  if (FILE* f = std::fopen((winetest::BinFolder() + "\\" + name).c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(bits.data(), 1, bits.size(), f);
    std::fclose(f);
  }
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

// The client area of a window as the screen shows it: 24-bit rows, top row first.
struct Shot {
  int Width = 0, Height = 0;
  DWORD Stride = 0;
  std::vector<unsigned char> Bits;
  bool Red(int x, int y) const {
    const unsigned char* px = &Bits[static_cast<size_t>(y) * Stride + static_cast<size_t>(x) * 3];
    return px[2] >= 160 && px[1] <= 90 && px[0] <= 90;
  }
};

Shot Grab(HWND w) {
  RECT client;
  GetClientRect(w, &client);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  Shot shot;
  shot.Width = client.right;
  shot.Height = client.bottom;
  shot.Stride = (static_cast<DWORD>(shot.Width) * 3 + 3) & ~3u;
  shot.Bits.resize(shot.Stride * static_cast<DWORD>(shot.Height));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, shot.Width, shot.Height);
  HGDIOBJ old = SelectObject(dc, bmp);
  BitBlt(dc, 0, 0, shot.Width, shot.Height, screen, origin.x, origin.y, SRCCOPY);
  SelectObject(dc, old);
  BITMAPINFOHEADER info{sizeof info, shot.Width, -shot.Height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  GetDIBits(dc, bmp, 0, static_cast<UINT>(shot.Height), shot.Bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return shot;
}

TEST_F(OutputWindows, AdvancedSettingsDialogIsTidyWithTwoTabs) {
  TForm_advanced& dlg = *Form_advanced;
  dlg.Show();
  Pump(300);
  HWND form = WindowOf(&dlg);
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 523);
  EXPECT_EQ(client.bottom, 373);
  EXPECT_EQ(winetest::WindowText(form), "Advanced Settings");
  ExpectTidy(form, client, ShownChildren(form));
  EXPECT_EQ(winetest::WindowText(WindowOf(dlg.Label_error)),
            "Please set output video parameters. If you click \"OK\", then all parameters will be saved.");

  HWND pages = WindowOf(dlg.PageControl1);
  HWND tabs = FindWindowExA(pages, nullptr, WC_TABCONTROLA, nullptr);
  ASSERT_TRUE(tabs);
  EXPECT_FALSE(GetWindow(tabs, GW_HWNDNEXT)) << "the tab control paints over the sheets";
  ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
  for (int i = 0; i < 2; ++i) {
    char text[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, i == 0 ? "AVI" : "MPEG-2");
  }
  // Typed values show their boxes and range labels: those must fit too.
  for (vcl::TComboBox* list : {dlg.ComboBox_avi_vframerate, dlg.ComboBox_avi_vbitrate, dlg.ComboBox_mpg2_vbitrate,
                               dlg.ComboBox_swf_vframerate, dlg.ComboBox_swf_vbitrate})
    list->Select(list->Count() - 1);
  Pump(200);
  EXPECT_TRUE(IsWindowVisible(WindowOf(dlg.Label_avi_vbitraterange)));
  RECT display;
  GetClientRect(tabs, &display);
  SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  for (vcl::TTabSheet* sheet : {dlg.TabSheet_avi, dlg.TabSheet_mpg2, dlg.TabSheet_dvd, dlg.TabSheet_swf}) {
    HWND w = WindowOf(sheet);
    EXPECT_TRUE(Inside(ClientRectIn(w, pages), display)) << sheet->Name << " covers the tab row";
    RECT area;
    GetClientRect(w, &area);
    ExpectTidy(w, area, ShownChildren(w));
  }
  EXPECT_EQ(SendMessageA(WindowOf(dlg.Edit_avi_vframerate), EM_GETLIMITTEXT, 0, 0), 6);
  EXPECT_EQ(SendMessageA(WindowOf(dlg.Edit_swf_vbitrate), EM_GETLIMITTEXT, 0, 0), 10);
  EXPECT_EQ(SendMessageA(WindowOf(dlg.ComboBox_avi_vresolution), CB_GETCOUNT, 0, 0), 7);
  EXPECT_EQ(SendMessageA(WindowOf(dlg.ComboBox_avi_vresolution), CB_GETCURSEL, 0, 0), 4);
  EXPECT_FALSE(IsWindowEnabled(WindowOf(dlg.Edit_avi_width)));
  SavePicture(form, "advanced-settings-avi.bmp");

  // A page whose tab is hidden shows with no tab highlighted.
  dlg.ShowFormatPage(3);
  Pump(200);
  EXPECT_TRUE(IsWindowVisible(WindowOf(dlg.TabSheet_dvd)));
  EXPECT_FALSE(IsWindowVisible(WindowOf(dlg.TabSheet_avi)));
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), -1);
  SavePicture(form, "advanced-settings-dvd.bmp");

  // The user clicks the MPEG-2 tab.
  SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
  NMHDR note{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(pages, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
  Pump(200);
  EXPECT_EQ(dlg.PageControl1->ActivePage(), dlg.TabSheet_mpg2);
  EXPECT_TRUE(IsWindowVisible(WindowOf(dlg.ComboBox_mpg2_standard)));
  SavePicture(form, "advanced-settings-mpeg2.bmp");
  dlg.Hide();
}

TEST_F(OutputWindows, LongestMessageStaysInItsLineAboveTheButtons) {
  TForm_advanced& dlg = *Form_advanced;
  dlg.Show();
  dlg.ComboBox_mpg2_vbitrate->Select(dlg.ComboBox_mpg2_vbitrate->Count() - 1);
  dlg.Edit_mpg2_vbitrate->Type("12345678x0");
  dlg.Button_ok->Click();
  Pump(300);
  HWND form = WindowOf(&dlg);
  HWND line = WindowOf(dlg.Label_error);
  const std::string message =
      "MPEPG-2 video bitrate(12345678x0) is invalid, please make sure it is between 100 and 3000, and it is an "
      "integer(e.g. 500, 1000 etc).";
  ASSERT_EQ(winetest::WindowText(line), message);
  RECT client;
  GetClientRect(form, &client);
  ExpectTidy(form, client, ShownChildren(form));
  const RECT r = ClientRectIn(line, form);
  EXPECT_EQ(r.right - r.left, 449);
  EXPECT_EQ(r.bottom - r.top, 25);

  // How much room the text needs when the line wraps it at its width.
  HDC dc = GetDC(line);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(line, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  RECT need{0, 0, r.right - r.left, 0};
  DrawTextA(dc, message.c_str(), static_cast<int>(message.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(line, dc);
  const int lines = need.bottom / metrics.tmHeight;
  std::printf("message line: %d lines of %d pixels needed, %ld pixels high\n", lines,
              static_cast<int>(metrics.tmHeight), r.bottom - r.top);
  EXPECT_EQ(lines, 2);

  // Red is drawn on both lines of the message line and nowhere else: not over the buttons,
  // not between.
  const Shot shot = Grab(form);
  int first = 0, second = 0, outside = 0;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) {
      if (!shot.Red(x, y)) continue;
      if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) ++outside;
      else ++(y < r.top + metrics.tmHeight ? first : second);
    }
  EXPECT_GT(first, 0);
  EXPECT_GT(second, 0);
  EXPECT_EQ(outside, 0);
  SavePicture(form, "advanced-settings-message.bmp");
  dlg.Hide();
}

// Where the capture window's parts really lie for a client size.
void ExpectPartsFollow(const TForm_cap& cap, int width, int height) {
  SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
  HWND form = WindowOf(&cap);
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, width);
  EXPECT_EQ(client.bottom, height);
  HWND pagesWindow = WindowOf(cap.PageControl1);
  const RECT pages = ClientRectIn(pagesWindow, form);
  EXPECT_EQ(pages.left, 0);
  EXPECT_EQ(pages.top, 0);
  EXPECT_EQ(pages.right, width);
  EXPECT_EQ(pages.bottom, height);
  const vcl::TSheetArea area = vcl::win32::PageArea(*cap.PageControl1);
  for (const vcl::TTabSheet* page : {cap.TabSheet_cap, cap.TabSheet_progress}) {
    const RECT r = ClientRectIn(WindowOf(page), pagesWindow);
    EXPECT_EQ(r.left, area.Left) << page->Name;
    EXPECT_EQ(r.top, area.Top) << page->Name;
    EXPECT_EQ(r.right - r.left, area.Width) << page->Name;
    EXPECT_EQ(r.bottom - r.top, area.Height) << page->Name;
  }
  HWND sheet = WindowOf(cap.TabSheet_cap);
  RECT sheetArea;
  GetClientRect(sheet, &sheetArea);
  const RECT buttons = ClientRectIn(WindowOf(cap.Panel1), sheet);
  EXPECT_EQ(buttons.bottom, sheetArea.bottom);
  EXPECT_EQ(buttons.left, 0);
  EXPECT_EQ(buttons.right, sheetArea.right);
  EXPECT_EQ(buttons.bottom - buttons.top, 90);
  const RECT black = ClientRectIn(WindowOf(cap.Panel2), sheet);
  EXPECT_EQ(black.top, 0);
  EXPECT_EQ(black.right - black.left, sheetArea.right);
  EXPECT_EQ(black.bottom - black.top, sheetArea.bottom - 90);
  HWND progress = WindowOf(cap.TabSheet_progress);
  RECT progressArea;
  GetClientRect(progress, &progressArea);
  const RECT picture = ClientRectIn(WindowOf(cap.Image1), progress);
  EXPECT_EQ(picture.right - picture.left, progressArea.right) << "the progress picture covers its page";
  EXPECT_EQ(picture.bottom - picture.top, progressArea.bottom);
}

TEST_F(OutputWindows, CapturePartsFollowTheWindowsSize) {
  TForm_cap& cap = *Form_cap;
  cap.Show();
  Pump(200);
  ExpectPartsFollow(cap, 474, 340);
  cap.SetClientSize(1000, 700);
  Pump(200);
  ExpectPartsFollow(cap, 1000, 700);
  SavePicture(WindowOf(&cap), "capture-window-1000x700.bmp");

  // The system sizes the window, not the program: the parts follow all the same.
  HWND form = WindowOf(&cap);
  RECT outer, client;
  GetWindowRect(form, &outer);
  GetClientRect(form, &client);
  SetWindowPos(form, nullptr, 0, 0, (outer.right - outer.left) - client.right + 606,
               (outer.bottom - outer.top) - client.bottom + 496, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(200);
  EXPECT_EQ(cap.ClientWidth(), 606);
  EXPECT_EQ(cap.ClientHeight(), 496);
  ExpectPartsFollow(cap, 606, 496);
  cap.Hide();
}

TEST_F(OutputWindows, CaptureWindowOverheadsAreTheSystemsOwn) {
  TForm_cap& cap = *Form_cap;
  cap.Show();
  Pump(300);
  HWND form = WindowOf(&cap);
  RECT client, outer;
  GetClientRect(form, &client);
  GetWindowRect(form, &outer);
  EXPECT_EQ(client.right, 474);
  EXPECT_EQ(client.bottom, 340);

  HWND panel = WindowOf(cap.Panel_cap);
  EXPECT_FALSE(IsWindowEnabled(panel));
  const RECT p = ClientRectIn(panel, WindowOf(cap.Panel2));
  EXPECT_EQ(p.left, 88);
  EXPECT_EQ(p.top, 2);
  EXPECT_EQ(p.right - p.left, 320);
  EXPECT_EQ(p.bottom - p.top, 240);
  HWND buttons = WindowOf(cap.Panel1);
  RECT area;
  GetClientRect(buttons, &area);
  EXPECT_EQ(area.bottom, 90);
  ExpectTidy(buttons, area, ShownChildren(buttons));
  EXPECT_EQ(winetest::WindowText(WindowOf(cap.CheckBox_autostop)), "Auto stop(Disk free size <= 100MB)");
  EXPECT_EQ(SendMessageA(WindowOf(cap.CheckBox_autostop), BM_GETCHECK, 0, 0), BST_CHECKED);

  // The limit from the system's own numbers.
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  const RECT sheet = ClientRectIn(WindowOf(cap.TabSheet_cap), WindowOf(cap.PageControl1));
  RECT pagesRect;
  GetClientRect(WindowOf(cap.PageControl1), &pagesRect);
  const int frameWidth = (outer.right - outer.left) - client.right;
  const int frameHeight = (outer.bottom - outer.top) - client.bottom;
  const int sheetWidth = pagesRect.right - (sheet.right - sheet.left);
  const int sheetHeight = pagesRect.bottom - (sheet.bottom - sheet.top);
  EXPECT_GT(frameHeight, frameWidth) << "a caption bar";
  const std::optional<TResolutionLimit> limit = ResolutionLimit(cap);
  ASSERT_TRUE(limit);
  EXPECT_EQ(limit->MaxWidth,
            std::min(1024, static_cast<int>(info.rcWork.right - info.rcWork.left) - frameWidth - sheetWidth));
  EXPECT_EQ(limit->MaxHeight,
            std::min(768, static_cast<int>(info.rcWork.bottom - info.rcWork.top) - frameHeight - sheetHeight - 90));
  SavePicture(form, "capture-window.bmp");

  cap.PageControl1->SetActivePage(cap.TabSheet_progress);
  Pump(300);
  EXPECT_TRUE(SendMessageA(WindowOf(cap.Image1), STM_GETIMAGE, IMAGE_BITMAP, 0));
  EXPECT_TRUE(SendMessageA(WindowOf(cap.Image2), STM_GETIMAGE, IMAGE_BITMAP, 0));
  SavePicture(form, "capture-progress.bmp");
  cap.Hide();
}

}  // namespace
