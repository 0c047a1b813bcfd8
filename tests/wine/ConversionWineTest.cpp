// Whole conversions on real windows and real processes: Step 2's Convert in this process
// with the program's own units, the presentation program's stand-in through automation,
// the real hook library, the test encoder, and the bridge handing its commands to
// encoding libraries that report back here. The page is a recording one (no browser
// engine here); this program's folder stands for the program's, holding what belongs
// beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AdvancedSettingsForm.h"
#include "AppContext.h"
#include "AudioCap.h"
#include "CapForm.h"
#include "ConvertSettings.h"
#include "GlobalFunc.h"
#include "MainForm.h"
#include "RecordingPage.h"
#include "WineSupport.h"
#include "platform/win32/Win32Platform.h"
#include "vcl/Registry.h"
#include "vcl/win32/Win32Peers.h"
#include "vcl/win32/Win32Widgetset.h"

using vcl::win32::WindowOf;

namespace {

// ---- what the encoding libraries receive ----

struct LibraryCall {
  std::string Library, Entry;
  std::vector<std::string> Args;
  DWORD Thread = 0;
  std::string StepShown;       // the progress page's step text while the library runs
  bool ProgressPageShown = false;
  bool StreamsPresent = false;  // the recorded video stream, when multiplexing
  std::string ControlDocument;  // dvd.xml as the authoring library finds it
};

std::mutex callsLock;
std::vector<LibraryCall> calls;
HWND stepLabel = nullptr, progressPage = nullptr;
bool authoringWritesDvd = false;

std::string Text(HWND w) {
  wchar_t text[512] = {};
  InternalGetWindowText(w, text, 511);  // never waits for the window's thread
  char narrow[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
  return static_cast<bool>(f);
}

bool IsFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Option(const std::vector<std::string>& args, const char* name) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return "";
}

}  // namespace

// The multiplexer writes its program stream; the authoring library, when the case says so,
// a DVD folder where the control document sends it.
extern "C" __declspec(dllexport) int __cdecl EncodingLibraryCalled(const char* library, const char* entry, int argc,
                                                                   char** argv) {
  LibraryCall call;
  call.Library = library;
  call.Entry = entry;
  call.Thread = GetCurrentThreadId();
  call.StepShown = Text(stepLabel);
  call.ProgressPageShown = IsWindowVisible(progressPage) != FALSE;
  for (int i = 0; argv && i < argc; ++i) call.Args.emplace_back(argv[i]);
  if (call.Entry == "mplex") {
    const std::string vob = Option(call.Args, "-o");
    call.StreamsPresent = call.Args.size() > 7 && IsFile(call.Args[7]);
    WriteText(vob, std::string(2048, '\x47'));
  } else if (call.Entry == "dvd") {
    call.ControlDocument = ReadAll(Option(call.Args, "-x"));
    if (authoringWritesDvd) {
      const std::string dvd = JobFolder + "\\DVD", titles = dvd + "\\VIDEO_TS";
      CreateDirectoryA(dvd.c_str(), nullptr);
      CreateDirectoryA(titles.c_str(), nullptr);
      WriteText(titles + "\\VIDEO_TS.IFO", "IFO");
      WriteText(titles + "\\VTS_01_1.VOB", "VOB");
    }
  }
  std::lock_guard<std::mutex> lock(callsLock);
  calls.push_back(call);
  return 0;
}

namespace {


// ---- the screen ----

// What the screen shows of a window, 24-bit rows bottom-up, also saved as a picture.
struct Shot {
  int Width = 0, Height = 0;
  DWORD Stride = 0;
  std::vector<unsigned char> Bits;
  COLORREF At(int x, int y) const {
    const unsigned char* px = &Bits[static_cast<size_t>(Height - 1 - y) * Stride + static_cast<size_t>(x) * 3];
    return RGB(px[2], px[1], px[0]);
  }
};

Shot Grab(const RECT& r, const std::string& saveAs = "") {
  Shot shot;
  shot.Width = r.right - r.left;
  shot.Height = r.bottom - r.top;
  shot.Stride = (static_cast<DWORD>(shot.Width) * 3 + 3) & ~3u;
  shot.Bits.resize(shot.Stride * static_cast<DWORD>(shot.Height));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, shot.Width, shot.Height);
  HGDIOBJ old = SelectObject(dc, bmp);
  BitBlt(dc, 0, 0, shot.Width, shot.Height, screen, r.left, r.top, SRCCOPY);
  SelectObject(dc, old);
  BITMAPINFOHEADER info{sizeof info, shot.Width, shot.Height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  GetDIBits(dc, bmp, 0, static_cast<UINT>(shot.Height), shot.Bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  if (!saveAs.empty()) {
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + shot.Bits.size()), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof info};
    if (FILE* f = std::fopen((winetest::BinFolder() + "\\" + saveAs).c_str(), "wb")) {
      std::fwrite(&file, sizeof file, 1, f);
      std::fwrite(&info, sizeof info, 1, f);
      std::fwrite(shot.Bits.data(), 1, shot.Bits.size(), f);
      std::fclose(f);
    }
  }
  return shot;
}

RECT ScreenRect(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

// The stand-in paints slide n on its own background colour, numbered from 1.
const COLORREF SlideColour[] = {RGB(200, 40, 40), RGB(40, 150, 60), RGB(40, 70, 200)};

// ---- the fixture ----

class Conversion : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!vcl::HasWidgetset()) vcl::InstallWidgetset(vcl::win32::MakeWidgetset());
    platform::InstallPlatform(platform::win32::MakeServices());
    pagehost::InstallBrowserFactory([](vcl::TForm&) { return std::make_unique<winetest::RecordingPage>("page2"); });
  }
  static void TearDownTestSuite() {
    pagehost::InstallBrowserFactory(nullptr);
    platform::InstallPlatform({});
  }

  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    work_ = std::string(temp) + "slidecaster-conversion";
    RemoveTree(work_);
    ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((work_ + "\\out").c_str(), nullptr));
    log_ = work_ + "\\rode.log";
    SetEnvironmentVariableA("RODE_LOG", log_.c_str());
    {
      std::lock_guard<std::mutex> lock(callsLock);
      calls.clear();
    }

    vcl::Application.Initialize();
    vcl::Application.CreateForm(Form_main);
    // The advanced dialog starts from its defaults, and nothing of this test reaches the
    // configuration the other tests' program copies read.
    ConfigFile = work_ + "\\Config.ini";
    vcl::Application.CreateForm(Form_advanced);
    vcl::Application.CreateForm(Form_cap);
    page_ = static_cast<winetest::RecordingPage*>(Form_main->WebBrowser1.get());
    ASSERT_TRUE(page_);
    Form_main->ErrorLine = page_->ElementById("error_info");
    // Page 1's first load makes the sound capture object; these recordings take no sound.
    AudioCapture = std::make_unique<CAudioCapture>(vcl::Widgetset().WindowHandle(*Form_main));
    // Where the installation put the presentation program, as the start-up checks find it.
    vcl::TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(InstallKey));
    PowerPointExe = reg.ReadString("PPTPath") + "\\" + PowerPointExeName;
    ASSERT_TRUE(IsFile(PowerPointExe)) << PowerPointExe;

    stepLabel = WindowOf(Form_cap->Label_step);
    progressPage = WindowOf(Form_cap->TabSheet_progress);
    watching_ = true;
    boxWatcher_ = std::thread([this] { AnswerBoxes(); });
  }

  void TearDown() override {
    watching_ = false;
    if (boxWatcher_.joinable()) boxWatcher_.join();
    vcl::Application.DestroyForms();
    // With the capture window gone nothing holds the stand-in, and its show has ended.
    std::uint32_t standIn = 0;
    const bool ended = winetest::WaitUntil([&] { return !FindProcess(PowerPointExeName, standIn); }, 15000);
    EXPECT_TRUE(ended) << "the presentation program still runs";
    if (!ended) EndProcess(standIn);
    std::uint32_t encoder = 0;
    if (FindProcess(EncoderExe, encoder)) {
      ADD_FAILURE() << "the encoder still runs";
      EndProcess(encoder);
    }
    SetEnvironmentVariableA("RODE_LOG", nullptr);
    RemoveTree(work_);
  }

  static void EndProcess(std::uint32_t id) {
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
      TerminateProcess(p, 1);
      CloseHandle(p);
    }
  }

  static void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
        else DeleteFileA(path.c_str());
      } while (FindNextFileA(find, &entry));
      FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
  }

  // Every box the conversion shows is read and answered, as a user would.
  void AnswerBoxes() {
    HWND answered = nullptr;
    while (watching_) {
      const winetest::MessageBoxSeen seen = winetest::WaitForMessageBox(GetCurrentProcessId(), 0);
      if (seen.Window && seen.Window != answered) {
        {
          std::lock_guard<std::mutex> lock(boxesLock_);
          boxes_.push_back(seen.Text);
        }
        winetest::PressOk(seen.Window);
        answered = seen.Window;
      }
      Sleep(50);
    }
  }
  std::vector<std::string> Boxes() {
    std::lock_guard<std::mutex> lock(boxesLock_);
    return boxes_;
  }

  // A deck of the stand-in's text format: one slide per line.
  std::string WriteDeck(const std::vector<std::string>& titles) {
    const std::string deck = work_ + "\\Lecture.pptx";
    std::string text;
    for (const std::string& t : titles) text += t + "\r\n";
    EXPECT_TRUE(WriteText(deck, text));
    return deck;
  }

  // Page 1's choices, then Convert on page 2 with the format list at listValue; returns
  // when the capture window has ended its modal show.
  void Convert(const std::string& deck, bool manual, const char* listValue) {
    TConvertSettings& s = ConvertSettings;
    s.PPTFile = deck;
    s.OutputPath = work_ + "\\out";
    s.CapMode = manual;
    s.AutoSlideTime = 5;  // the shortest Step 1 allows
    s.AudioRecording = false;
    page_->ElementById("combo_outputformat")->SetAttribute("value", listValue);
    // A conversion that never ends is ended here, so the test reports it.
    const DWORD mainThread = GetCurrentThreadId();
    std::atomic<bool> over{false}, gaveUp{false};
    std::thread watchdog([&] {
      if (!winetest::WaitUntil([&] { return over.load(); }, 45000)) {
        gaveUp = true;
        PostThreadMessageA(mainThread, WM_QUIT, 0, 0);
      }
    });
    Form_main->button_convertClick();
    over = true;
    watchdog.join();
    EXPECT_FALSE(gaveUp) << "the conversion did not end within 45 s";
    EXPECT_EQ(Form_main->ErrorLine->InnerHTML(), "") << "Convert stopped on page 2";
  }

  std::string work_, log_;
  winetest::RecordingPage* page_ = nullptr;
  std::atomic<bool> watching_{false};
  std::thread boxWatcher_;
  std::mutex boxesLock_;
  std::vector<std::string> boxes_;
};

// What a watcher saw of the slide show window and the slides while the recording ran.
struct ShowSeen {
  HWND Window = nullptr;
  bool TransparentWhileTopLevel = false;    // layered, alpha 0, by alpha
  bool VisibleOpaqueWhileTopLevel = false;  // opaque again before the panel took it in
  HWND ParentAfter = nullptr;
  bool LayeredAfter = true;
  RECT RectAfter{};
  DWORD AdoptedAt = 0;
  std::vector<std::pair<int, DWORD>> SlideChanges;  // position, tick
  std::vector<bool> SlideColourSeen;                // per slide of the deck
  bool Shot = false;
  COLORREF ShotPanelCorner = 0;
  std::string CaptionWhileRecording;
  std::vector<std::string> States;  // while top-level, each change
};

TEST_F(Conversion, AutomaticAviRecordingPlaysEverySlideIntoThePanelAndEndsOnThePageOfResults) {
  const std::string deck = WriteDeck({"Opening", "Middle", "Closing"});
  HWND form = WindowOf(Form_cap), panel = WindowOf(Form_cap->Panel_cap);
  ASSERT_TRUE(form && panel);

  ShowSeen seen;
  seen.SlideColourSeen.assign(3, false);
  std::atomic<bool> ended{false};
  std::thread watcher([&] {
    int last = CurrentSlideIndex;
    DWORD slideSince = 0;
    while (!ended) {
      if (!seen.Window) seen.Window = FindWindowA("screenClass", nullptr);
      HWND w = seen.Window;
      if (w && IsWindow(w)) {
        const HWND parent = GetAncestor(w, GA_PARENT);
        const LONG exStyle = GetWindowLongA(w, GWL_EXSTYLE);
        if (parent == GetDesktopWindow()) {
          BYTE alpha = 255;
          DWORD flags = 0;
          const bool layered = (exStyle & WS_EX_LAYERED) && GetLayeredWindowAttributes(w, nullptr, &alpha, &flags);
          char state[128];
          std::snprintf(state, sizeof state, "top-level visible=%d exstyle=%lx attributes=%d alpha=%u flags=%lu",
                        IsWindowVisible(w) ? 1 : 0, static_cast<unsigned long>(exStyle), layered ? 1 : 0, alpha,
                        static_cast<unsigned long>(flags));
          if (seen.States.empty() || seen.States.back() != state) seen.States.push_back(state);
          if (layered && alpha == 0 && flags == LWA_ALPHA) seen.TransparentWhileTopLevel = true;
          if (!(exStyle & WS_EX_LAYERED) && IsWindowVisible(w) && seen.TransparentWhileTopLevel)
            seen.VisibleOpaqueWhileTopLevel = true;
        } else if (parent == panel) {
          if (!seen.AdoptedAt) {
            seen.AdoptedAt = GetTickCount();
            last = CurrentSlideIndex;
          }
          seen.ParentAfter = parent;
          seen.LayeredAfter = (exStyle & WS_EX_LAYERED) != 0;
          GetWindowRect(w, &seen.RectAfter);
        } else {
          seen.ParentAfter = parent;
        }
      }
      const int now = CurrentSlideIndex;
      if (now != last && seen.AdoptedAt) {
        seen.SlideChanges.emplace_back(now, GetTickCount());
        slideSince = GetTickCount();
        last = now;
      }
      // The slide on show reaches the screen inside the panel.
      if (seen.AdoptedAt && now >= 1 && now <= 3 && !seen.SlideColourSeen[now - 1]) {
        const RECT r = ScreenRect(panel);
        const Shot corner = Grab({r.left + 8, r.top + 8, r.left + 16, r.top + 16});
        seen.SlideColourSeen[now - 1] = corner.At(4, 4) == SlideColour[now - 1];
      }
      if (!seen.Shot && now == 2 && GetTickCount() - slideSince > 2500) {
        const RECT whole = ScreenRect(form), inner = ScreenRect(panel);
        const Shot shot = Grab(whole, "conversion-recording.bmp");
        seen.ShotPanelCorner = shot.At(inner.left + 8 - whole.left, inner.top + 8 - whole.top);
        seen.CaptionWhileRecording = Text(form);
        seen.Shot = true;
      }
      Sleep(seen.AdoptedAt ? 20 : 1);
    }
  });

  const DWORD started = GetTickCount();
  Convert(deck, false, "0");
  const DWORD finished = GetTickCount();
  ended = true;
  watcher.join();

  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  EXPECT_FALSE(vcl::Application.Terminated()) << "the program was ended";

  // The show window was kept invisible until the panel took it in, and then shown there,
  // opaque, at the panel's size.
  ASSERT_TRUE(seen.Window) << "no slide show window appeared";
  std::string states;
  for (const std::string& state : seen.States) states += state + "\n";
  EXPECT_TRUE(seen.TransparentWhileTopLevel) << states;
  EXPECT_FALSE(seen.VisibleOpaqueWhileTopLevel);
  EXPECT_EQ(seen.ParentAfter, panel);
  EXPECT_FALSE(seen.LayeredAfter);
  const RECT panelRect = ScreenRect(panel);
  EXPECT_EQ(seen.RectAfter.left, panelRect.left);
  EXPECT_EQ(seen.RectAfter.top, panelRect.top);
  EXPECT_EQ(seen.RectAfter.right - seen.RectAfter.left, 640);
  EXPECT_EQ(seen.RectAfter.bottom - seen.RectAfter.top, 480);
  EXPECT_EQ(panelRect.right - panelRect.left, 640);
  EXPECT_EQ(panelRect.bottom - panelRect.top, 480);

  // Three slides and the end marker, one every five seconds from the take-over.
  ASSERT_EQ(seen.SlideChanges.size(), 3u);
  DWORD previous = seen.AdoptedAt;
  for (size_t i = 0; i < seen.SlideChanges.size(); ++i) {
    SCOPED_TRACE("change " + std::to_string(i + 1));
    EXPECT_EQ(seen.SlideChanges[i].first, static_cast<int>(i) + 2);
    const DWORD gap = seen.SlideChanges[i].second - previous;
    EXPECT_GE(gap, i == 0 ? 4500u : 4700u);
    EXPECT_LE(gap, 5600u);
    previous = seen.SlideChanges[i].second;
  }
  EXPECT_EQ(Form_cap->SlideCount, 4);
  for (size_t i = 0; i < seen.SlideColourSeen.size(); ++i)
    EXPECT_TRUE(seen.SlideColourSeen[i]) << "slide " << i + 1 << " never showed in the panel";
  ASSERT_TRUE(seen.Shot);
  EXPECT_EQ(seen.ShotPanelCorner, SlideColour[1]);
  EXPECT_EQ(seen.CaptionWhileRecording.rfind("Slides Count: 2/3  Capture Time: 00:00:", 0), 0u)
      << seen.CaptionWhileRecording;

  // The end marker stopped the recording: the encoder got its quit key, wrote the video,
  // and the conversion ended within a second or two of the marker.
  EXPECT_LE(finished - seen.SlideChanges.back().second, 2500u);
  EXPECT_LE(finished - started, 30000u);
  const std::string log = ReadAll(log_);
  std::ostringstream grab;
  grab << " -f win32grab -i :0+0,0," << reinterpret_cast<std::uintptr_t>(panel) << " -vcodec mpeg4 -r 15.000 ";
  EXPECT_NE(log.find(grab.str()), std::string::npos) << log;
  EXPECT_NE(log.find(" -s 640*480 "), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nkey: q\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("key: p"), std::string::npos) << log;
  const std::string video = JobFolder + "\\Lecture.pptx.avi";
  EXPECT_NE(log.find("wrote: " + video + "\r\n"), std::string::npos) << log;
  EXPECT_EQ(ReadAll(video).rfind("test encoder output\r\n", 0), 0u);

  // The capture window closed and the main window shows the result.
  EXPECT_FALSE(IsWindowVisible(form));
  ASSERT_FALSE(page_->Navigations.empty());
  EXPECT_EQ(page_->Navigations.back(), "res://Slidecaster.exe/RT_HTML/page3");
  EXPECT_FALSE(ConvertCanceled);
  EXPECT_GE(FinalCaptureSeconds, 14);
  EXPECT_LE(FinalCaptureSeconds, 17);
  EXPECT_TRUE(IsFile(JobFolder + "\\BuildReport.htm"));
  EXPECT_NE(ReadAll(JobFolder + "\\BuildReport.htm").find("<span class=\"graybox\">" + deck + "</span>"),
            std::string::npos);
  EXPECT_FALSE(IsFolder(TempFolder));
}

// ---- DVD authoring ----

struct DvdCase {
  const char* Name;
  bool AuthoringWritesDvd;
};

void PrintTo(const DvdCase& c, std::ostream* os) { *os << c.Name; }

class DvdConversion : public Conversion, public ::testing::WithParamInterface<DvdCase> {};

// A manual recording stopped by the user, then the DVD thread on the progress page.
TEST_P(DvdConversion, BridgeHandsBothCommandsToTheLibrariesFromTheAuthoringThread) {
  authoringWritesDvd = GetParam().AuthoringWritesDvd;
  const std::string deck = WriteDeck({"Only"});
  HWND form = WindowOf(Form_cap), stop = WindowOf(Form_cap->Button_stop);
  std::atomic<bool> ended{false}, stopped{false};
  std::thread user([&] {
    // The button is enabled before the window's show disables it: only the shown
    // window's button counts.
    if (winetest::WaitUntil([&] { return ended || (IsWindowVisible(form) && IsWindowEnabled(stop)); }, 30000) &&
        !ended) {
      PostMessageA(stop, BM_CLICK, 0, 0);
      stopped = true;
    }
  });
  Convert(deck, true, "2");
  ended = true;
  user.join();
  ASSERT_TRUE(stopped) << "Stop never became available";

  const std::string t = TempFolder, j = JobFolder;
  EXPECT_EQ(j.substr(j.size() - 4), " DVD");
  std::vector<LibraryCall> seen;
  {
    std::lock_guard<std::mutex> lock(callsLock);
    seen = calls;
  }
  ASSERT_EQ(seen.size(), 2u);
  const LibraryCall& multiplex = seen[0];
  const LibraryCall& authoring = seen[1];
  EXPECT_EQ(multiplex.Library, "video2.dll");
  EXPECT_EQ(multiplex.Entry, "mplex");
  EXPECT_EQ(multiplex.Args,
            (std::vector<std::string>{"video2", "-f", "8", "-r", "8000", "-o", t + "\\tmp1.vob", t + "\\vtemp.m2v"}));
  EXPECT_TRUE(multiplex.StreamsPresent) << "the encoder's video stream was not there to multiplex";
  EXPECT_EQ(authoring.Library, "video3.dll");
  EXPECT_EQ(authoring.Entry, "dvd");
  EXPECT_EQ(authoring.Args, (std::vector<std::string>{"video3", "-x", t + "\\dvd.xml"}));
  EXPECT_NE(authoring.ControlDocument.find("<dvdauthor dest=\"" + j + "\\DVD\">\r\n"), std::string::npos)
      << authoring.ControlDocument;
  EXPECT_NE(authoring.ControlDocument.find("<vob file=\"" + t + "\\tmp1.vob\"/>\r\n"), std::string::npos);
  // Both on the one authoring thread, never on the main thread.
  EXPECT_NE(multiplex.Thread, GetCurrentThreadId());
  EXPECT_EQ(authoring.Thread, multiplex.Thread);
  // The progress page told the user which step ran.
  EXPECT_TRUE(multiplex.ProgressPageShown);
  EXPECT_EQ(multiplex.StepShown, "Creating vob files...");
  EXPECT_TRUE(authoring.ProgressPageShown);
  EXPECT_EQ(authoring.StepShown, "Creating DVD...");
  const std::string log = ReadAll(log_);
  EXPECT_NE(log.find(" -s 720*480 "), std::string::npos) << log;
  EXPECT_NE(log.find("wrote: " + t + "\\vtemp.m2v\r\n"), std::string::npos) << log;

  if (GetParam().AuthoringWritesDvd) {
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
    EXPECT_FALSE(vcl::Application.Terminated());
    ASSERT_FALSE(page_->Navigations.empty());
    EXPECT_EQ(page_->Navigations.back(), "res://Slidecaster.exe/RT_HTML/page3");
    EXPECT_TRUE(IsFile(j + "\\BuildReport.htm"));
    EXPECT_TRUE(IsFile(j + "\\DVD\\VIDEO_TS\\VTS_01_1.VOB"));
    EXPECT_FALSE(IsFolder(t));
    EXPECT_FALSE(ConvertCanceled);
  } else {
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Error: Cannot create DVD: the authoring library made no VIDEO_TS "
                                                "folder with .IFO and .VOB files in " +
                                                j + "\\DVD."});
    EXPECT_TRUE(vcl::Application.Terminated()) << "the program goes on after the failure";
    EXPECT_TRUE(page_->Navigations.empty());
    EXPECT_FALSE(IsFile(j + "\\BuildReport.htm"));
  }
  EXPECT_FALSE(IsWindowVisible(WindowOf(Form_cap)));
}

INSTANTIATE_TEST_SUITE_P(Authoring, DvdConversion,
                         ::testing::Values(DvdCase{"LibraryWritesTheDvdFolder", true},
                                           DvdCase{"LibraryWritesNothing", false}),
                         [](const ::testing::TestParamInfo<DvdCase>& info) { return info.param.Name; });

}  // namespace
