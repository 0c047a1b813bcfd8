// Late-bound automation through IDispatch, driven against the presentation program's
// stand-in as the capture session drives the presentation program: made from its ProgID
// or found as the active object, called by member name with the program's kinds of
// arguments, and heard through the program's own event sink on its connection point.
#include <gtest/gtest.h>

#include <windows.h>
#include <olectl.h>
#include <tlhelp32.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ComPump.h"
#include "WineSupport.h"
#include "platform/win32/ComError.h"
#include "platform/win32/Win32Platform.h"

namespace {

using platform::AutomationObject;
using platform::AutoValue;
using platform::Call;
using platform::EAutomationError;
using platform::Get;
using platform::Put;
using namespace winetest;

const char* const ProgId = "PowerPoint.Application";
const char* const EventsIid = "{914934C2-5A91-11CF-8700-00AA0060263B}";
constexpr std::int32_t SlideShowBegin = 2011, SlideShowNextSlide = 2013;

void EndStandIns() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "POWERPNT.EXE") != 0) continue;
    HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (!p) continue;
    TerminateProcess(p, 1);
    WaitForSingleObject(p, 5000);
    CloseHandle(p);
  }
  CloseHandle(snapshot);
}

// An environment value for the stand-ins started while it lives: COM starts them from
// this process, so they inherit it.
class Environment {
 public:
  Environment(const char* name, const char* value) : name_(name) { SetEnvironmentVariableA(name, value); }
  ~Environment() { SetEnvironmentVariableA(name_, nullptr); }

 private:
  const char* name_;
};

AutomationObject Obj(const AutoValue& v) { return v.AsObject(); }

class Automation : public ::testing::Test {
 protected:
  void SetUp() override {
    EndStandIns();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"PowerPoint.Application", &clsid), S_OK) << "the stand-in is not registered";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "automation-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    automation_ = platform::win32::MakeAutomation();
  }
  void TearDown() override {
    automation_.reset();
    CoUninitialize();
    EndStandIns();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
      while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(folder_.c_str());
  }

  std::string Deck(const std::string& text) {
    const std::string path = folder_ + "\\talk.ppt";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
    return path;
  }
  // As the capture session opens it: the name by reference, not read-only, not untitled,
  // no document window.
  static AutomationObject Open(const AutomationObject& app, const std::string& path) {
    return Obj(Call(Obj(Get(app, "Presentations")), "Open",
                    {AutoValue::StringRef(path), AutoValue::Integer(0), AutoValue::Integer(0), AutoValue::Integer(0)}));
  }
  static bool ShowWindowAppears() {
    return PumpUntil([] { return FindWindowA("screenClass", nullptr) != nullptr; }, 10000);
  }
  // The failure's message, or "(no failure)".
  template <class F>
  static std::string FailureOf(F call) {
    try {
      call();
    } catch (const EAutomationError& e) {
      return e.what();
    }
    return "(no failure)";
  }

  std::string folder_;
  std::unique_ptr<platform::IAutomation> automation_;
};

const char* const FourSlides = "Welcome\r\nAgenda\r\nNumbers\r\nThanks\r\n";

TEST_F(Automation, SinkHearsEachSlideChangeAndReadsThePositionThroughItsArgumentUntilUnadvised) {
  AutomationObject app = automation_->CreateObject(ProgId);
  AutomationObject deck = Open(app, Deck(FourSlides));
  Call(Obj(Get(deck, "SlideShowSettings")), "Run");
  ASSERT_TRUE(ShowWindowAppears());

  struct Heard {
    std::int32_t Dispid;
    size_t Arguments;
    std::int32_t Position;
  };
  std::vector<Heard> heard;
  std::shared_ptr<platform::IEventSink> sink =
      automation_->CreateEventSink([&](std::int32_t dispid, const std::vector<AutoValue>& args) {
        Heard h{dispid, args.size(), -1};
        // Called back while the presentation program is still in its own call.
        if (args.size() == 1 && args[0].GetKind() == AutoValue::Kind::Object)
          h.Position = Get(Obj(Get(args[0].AsObject(), "View")), "CurrentShowPosition").AsInteger();
        heard.push_back(h);
      });
  const std::uint32_t cookie = app->Advise(EventsIid, sink);
  EXPECT_NE(cookie, 0u);

  AutomationObject view = Obj(Get(Obj(Get(deck, "SlideShowWindow")), "View"));
  for (std::int32_t position : {2, 3}) {
    const size_t before = heard.size();
    Call(view, "Next");
    ASSERT_TRUE(PumpUntil([&] { return heard.size() > before; }, 5000)) << "no event for slide " << position;
    EXPECT_EQ(heard.back().Dispid, SlideShowNextSlide);
    EXPECT_EQ(heard.back().Arguments, 1u);
    EXPECT_EQ(heard.back().Position, position);
  }

  app->Unadvise(EventsIid, cookie);
  Call(view, "Next");
  Pump(700);
  EXPECT_EQ(heard.size(), 2u) << "heard after being disconnected";
  EXPECT_EQ(Get(view, "CurrentShowPosition").AsInteger(), 4);
  EXPECT_EQ(FailureOf([&] { app->Unadvise(EventsIid, cookie); }),
            platform::win32::ComErrorText(CONNECT_E_NOCONNECTION));

  // The capture session leaves the show by the member's name in lower case.
  Call(view, "exit");
  EXPECT_TRUE(PumpUntil([] { return FindWindowA("screenClass", nullptr) == nullptr; }, 5000));
}

TEST_F(Automation, ResultsComeBackInTheProgramsKindsAndAResultGoesBackAsItCame) {
  AutomationObject app = automation_->CreateObject(ProgId);
  AutomationObject deck = Open(app, Deck(FourSlides));
  AutomationObject slides = Obj(Get(deck, "Slides"));

  const AutoValue count = Get(slides, "Count");
  EXPECT_EQ(count.GetKind(), AutoValue::Kind::Integer);
  EXPECT_EQ(count.IntegerValue(), 4);
  ASSERT_NE(count.Native(), nullptr);
  // The count as it came back names the last slide; its copy goes right after it.
  Put(Obj(Get(Obj(Call(slides, "Item", {AutoValue::Integer(4)})), "SlideShowTransition")), "AdvanceOnTime",
      AutoValue::Integer(-1));
  Call(Obj(Call(slides, "Item", {count})), "Duplicate");
  EXPECT_EQ(Get(slides, "Count").AsInteger(), 5);
  for (std::int32_t i : {4, 5})
    EXPECT_EQ(Get(Obj(Get(Obj(Call(slides, "Item", {AutoValue::Integer(i)})), "SlideShowTransition")), "AdvanceOnTime")
                  .AsInteger(),
              -1)
        << "slide " << i;
  EXPECT_EQ(Get(Obj(Get(Obj(Call(slides, "Item", {AutoValue::Integer(3)})), "SlideShowTransition")), "AdvanceOnTime")
                .AsInteger(),
            0);

  // Places are integers and sizes floating point; they are read back as floating point.
  Call(Obj(Get(deck, "SlideShowSettings")), "Run");
  ASSERT_TRUE(ShowWindowAppears());
  AutomationObject window = Obj(Get(deck, "SlideShowWindow"));
  Put(window, "Left", AutoValue::Integer(15));
  Put(window, "Height", AutoValue::Float(360.75));
  const AutoValue left = Get(window, "Left"), height = Get(window, "Height");
  EXPECT_EQ(left.GetKind(), AutoValue::Kind::Float);
  EXPECT_EQ(left.FloatValue(), 15.0);
  EXPECT_EQ(height.GetKind(), AutoValue::Kind::Float);
  EXPECT_EQ(height.FloatValue(), 360.75);
  RECT r{};
  GetWindowRect(FindWindowA("screenClass", nullptr), &r);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.bottom - r.top, 481);

  // A text by value is taken where the server converts it.
  Put(Obj(Get(deck, "SlideShowSettings")), "AdvanceMode", AutoValue::String("1"));
  EXPECT_EQ(Get(Obj(Get(deck, "SlideShowSettings")), "AdvanceMode").AsInteger(), 1);
}

TEST_F(Automation, FailuresCarryTheServersDescriptionOrElseTheSystemsText) {
  Environment failing("POWERPNT_FAIL", "Run");
  AutomationObject app = automation_->CreateObject(ProgId);
  AutomationObject deck = Open(app, Deck(FourSlides));
  AutomationObject slides = Obj(Get(deck, "Slides"));
  const std::string unknownName = platform::win32::ComErrorText(DISP_E_UNKNOWNNAME);
  EXPECT_NE(unknownName.find_first_not_of(' '), std::string::npos);
  struct Case {
    const char* Name;
    std::function<void()> Call;
    std::string Message;
  } cases[] = {
      {"a member set to fail", [&] { Call(Obj(Get(deck, "SlideShowSettings")), "Run"); }, "This call was set to fail."},
      {"a slide outside the deck", [&] { Call(slides, "Item", {AutoValue::Integer(9)}); },
       "Slide 9 is not in the range 1 to 4."},
      {"an unknown member", [&] { Get(app, "Quit"); }, unknownName},
      {"a property that is only read", [&] { Put(app, "Presentations", AutoValue::Integer(1)); },
       platform::win32::ComErrorText(DISP_E_MEMBERNOTFOUND)},
      {"an argument that does not convert", [&] { Call(slides, "Item", {AutoValue::String("two")}); },
       platform::win32::ComErrorText(DISP_E_TYPEMISMATCH)},
      {"a program that is not registered", [&] { automation_->CreateObject("Slidecaster.NoSuchProgram"); },
       platform::win32::ComErrorText(CO_E_CLASSSTRING)},
  };
  for (const Case& c : cases) EXPECT_EQ(FailureOf(c.Call), c.Message) << c.Name;
}

TEST_F(Automation, ShowStartedFromTheCommandLineIsFoundAsTheActiveObject) {
  EXPECT_EQ(FailureOf([&] { automation_->GetActiveObject(ProgId); }), platform::win32::ComErrorText(MK_E_UNAVAILABLE));

  Process started = Launch(BinFolder() + "\\companions\\POWERPNT.EXE", "/s \"" + Deck(FourSlides) + "\"");
  ASSERT_NE(started.Handle, nullptr);
  ASSERT_TRUE(ShowWindowAppears());
  AutomationObject app = automation_->GetActiveObject(ProgId);
  AutomationObject deck = Obj(Get(app, "ActivePresentation"));
  EXPECT_EQ(Get(Obj(Get(deck, "Slides")), "Count").AsInteger(), 4);
  EXPECT_EQ(Get(Obj(Get(Obj(Get(deck, "SlideShowWindow")), "View")), "CurrentShowPosition").AsInteger(), 1);
}

}  // namespace
