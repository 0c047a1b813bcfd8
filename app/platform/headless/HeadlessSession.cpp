#include "platform/headless/HeadlessSession.h"

#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/headless/HeadlessPlatform.h"
#include "vcl/SysUtils.h"

namespace platform::headless {

namespace {

using Guard = std::lock_guard<std::mutex>;

// ---- windows ----

class Windows final : public IWindows {
 public:
  explicit Windows(World& w) : w_(w) {}
  Handle FindTopLevel(const std::string& className) override {
    Guard g(w_.Clock.Lock());
    ScriptedPresentationProgram& ppt = w_.PowerPoint;
    bool shown = false;
    for (const auto& [handle, window] : w_.WindowStates) shown = shown || (window.Class == "screenClass" && !window.Closed);
    if (className == "screenClass" && ppt.ShowRunning && !ppt.WindowNever &&
        w_.Clock.NowMs() >= ppt.ShowStartMs + ppt.WindowDelayMs && !shown) {
      const Handle handle = w_.NextHandle++;
      ScriptedWindow show;
      show.Class = "screenClass";
      show.ExStyle = 0x80000;  // the hook made it layered and transparent
      show.Layered = true;
      show.LayeredFlags = 2;
      w_.WindowStates[handle] = show;
    }
    for (const auto& [handle, window] : w_.WindowStates)
      if (window.Class == className && window.Parent == 0 && !window.Closed) return handle;
    return 0;
  }
  Handle SetParent(Handle child, Handle parent) override {
    Guard g(w_.Clock.Lock());
    auto it = w_.WindowStates.find(child);
    if (it == w_.WindowStates.end() || w_.PowerPoint.SetParentFails) return 0;
    const Handle former = it->second.Parent;
    it->second.Parent = parent;
    return former ? former : 1;  // the desktop
  }
  bool SetLayeredAttributes(Handle window, std::uint32_t colorKey, std::uint8_t alpha, std::uint32_t flags) override {
    Guard g(w_.Clock.Lock());
    auto it = w_.WindowStates.find(window);
    if (it == w_.WindowStates.end() || w_.PowerPoint.LayeredFails || !(it->second.ExStyle & 0x80000)) return false;
    it->second.ColorKey = colorKey;
    it->second.Alpha = alpha;
    it->second.LayeredFlags = flags;
    return true;
  }
  std::uint32_t ExStyle(Handle window) override {
    Guard g(w_.Clock.Lock());
    auto it = w_.WindowStates.find(window);
    return it == w_.WindowStates.end() ? 0 : it->second.ExStyle;
  }
  void SetExStyle(Handle window, std::uint32_t style) override {
    Guard g(w_.Clock.Lock());
    auto it = w_.WindowStates.find(window);
    if (it == w_.WindowStates.end()) return;
    it->second.ExStyle = style;
    it->second.Layered = (style & 0x80000) != 0;
  }
  bool Redraw(Handle window, std::uint32_t flags) override {
    Guard g(w_.Clock.Lock());
    auto it = w_.WindowStates.find(window);
    if (it == w_.WindowStates.end()) return false;
    it->second.RedrawFlags = flags;
    return true;
  }
  void SendChar(Handle window, std::uint32_t code) override {
    Guard g(w_.Clock.Lock());
    auto it = w_.WindowStates.find(window);
    if (it == w_.WindowStates.end()) return;
    it->second.Chars.push_back(code);
    if (it->second.OnChar) it->second.OnChar(code);
  }

 private:
  World& w_;
};

// ---- the hook library ----

class Libraries final : public ILibraries {
 public:
  explicit Libraries(World& w) : w_(w) {}
  bool Load(const std::string& file) override {
    return vcl::SameText(file, "showhook.dll") && w_.HookLibrary.Loadable;
  }
  std::function<std::uint32_t(Handle)> WindowEntry(const std::string& file, const std::string& name) override {
    if (!Load(file) || name != "install" || !w_.HookLibrary.HasInstall) return nullptr;
    return [this](Handle window) {
      w_.HookLibrary.Calls.push_back("install(" + std::to_string(window) + ")");
      return w_.HookLibrary.InstallResult;
    };
  }
  std::function<void()> PlainEntry(const std::string& file, const std::string& name) override {
    if (!Load(file) || name != "uninstall" || !w_.HookLibrary.HasUninstall) return nullptr;
    return [this] { w_.HookLibrary.Calls.push_back("uninstall"); };
  }

 private:
  World& w_;
};

// ---- the presentation program ----

class Sink final : public IEventSink {
 public:
  explicit Sink(SinkHandler handler) : Handler(std::move(handler)) {}
  SinkHandler Handler;
};

const char* const EventsIid = "{914934C2-5A91-11CF-8700-00AA0060263B}";

// One object of the scripted object model; its kind says which members it has.
class PptObject final : public IAutomationObject, public std::enable_shared_from_this<PptObject> {
 public:
  PptObject(World& w, std::string kind, int slide = 0) : w_(w), kind_(std::move(kind)), slide_(slide) {}

  AutoValue Invoke(const std::string& member, InvokeKind how, const std::vector<AutoValue>& args) override {
    ScriptedPresentationProgram& p = w_.PowerPoint;
    const std::string name = kind_ + "." + member;
    Record(name, how, args);
    if (p.FailingMembers.count(member) || p.FailingMembers.count(name))
      throw EAutomationError(member + " failed.");
    const std::string m = vcl::LowerCase(member);
    auto child = [&](const char* kind, int slide = 0) {
      return AutoValue::Object(std::make_shared<PptObject>(w_, kind, slide));
    };
    if (kind_ == "Application") {
      if (m == "presentations") return child("Presentations");
      if (m == "activepresentation") return child("Presentation");
    } else if (kind_ == "Presentations" && m == "open") {
      p.Count = p.Slides;
      p.AdvanceOnTime.assign(static_cast<size_t>(p.Count), 5);
      return child("Presentation");
    } else if (kind_ == "Presentation") {
      if (m == "slideshowsettings") return child("SlideShowSettings");
      if (m == "slideshowwindow") return child("SlideShowWindow");
      if (m == "slides") return child("Slides");
    } else if (kind_ == "SlideShowSettings") {
      if (m == "run") {
        std::lock_guard<std::mutex> g(w_.Clock.Lock());
        StartShow(w_);
        return {};
      }
      if (m == "advancemode" && how == InvokeKind::PropertyPut) {
        p.AdvanceMode = args.back().AsInteger();
        return {};
      }
    } else if (kind_ == "SlideShowWindow") {
      if (m == "view") return child("View");
      if (how == InvokeKind::PropertyPut) return {};  // Left, Top, Width, Height
    } else if (kind_ == "View") {
      if (m == "next") {
        if (p.Position < p.Count) ++p.Position;
        if (p.Sink) static_cast<Sink&>(*p.Sink).Handler(2013, {child("SlideShowWindow")});
        return {};
      }
      if (m == "exit") {
        std::lock_guard<std::mutex> g(w_.Clock.Lock());
        p.ShowRunning = false;
        for (auto& [handle, window] : w_.WindowStates)
          if (window.Class == "screenClass") window.Closed = true;
        return {};
      }
      if (m == "currentshowposition") return AutoValue::Integer(p.Position);
    } else if (kind_ == "Slides") {
      if (m == "count") return AutoValue::Integer(p.Count);
      if (m == "item") return child("Slide", args.at(0).AsInteger());
    } else if (kind_ == "Slide") {
      if (m == "slideshowtransition") return child("SlideShowTransition", slide_);
      if (m == "duplicate") {
        p.AdvanceOnTime.insert(p.AdvanceOnTime.begin() + slide_, p.AdvanceOnTime.at(static_cast<size_t>(slide_ - 1)));
        ++p.Count;
        return child("Slide", slide_ + 1);
      }
    } else if (kind_ == "SlideShowTransition" && m == "advanceontime" && how == InvokeKind::PropertyPut) {
      p.AdvanceOnTime.at(static_cast<size_t>(slide_ - 1)) = args.back().AsInteger();
      return {};
    }
    throw EAutomationError("Unknown name.");  // the system's text for a member the object lacks
  }

  std::uint32_t Advise(const std::string& iid, const std::shared_ptr<IEventSink>& sink) override {
    ScriptedPresentationProgram& p = w_.PowerPoint;
    p.Calls.push_back(kind_ + ".Advise(" + iid + ")");
    if (kind_ != "Application" || iid != EventsIid || !p.AcceptsSinks)
      throw EAutomationError("No such interface supported");
    p.Sink = sink;
    ++p.Advised;
    return 0x1234;
  }
  void Unadvise(const std::string& iid, std::uint32_t cookie) override {
    ScriptedPresentationProgram& p = w_.PowerPoint;
    p.Calls.push_back(kind_ + ".Unadvise(" + iid + "," + std::to_string(cookie) + ")");
    if (cookie != 0x1234 || !p.Sink) throw EAutomationError("The connection does not exist");
    p.Sink = nullptr;
    --p.Advised;
  }

  static void StartShow(World& w) {  // under the clock lock
    ScriptedPresentationProgram& p = w.PowerPoint;
    if (p.Count == 0) {
      p.Count = p.Slides;
      p.AdvanceOnTime.assign(static_cast<size_t>(p.Count), 5);
    }
    p.ShowRunning = true;
    p.Position = 1;
    p.ShowStartMs = w.Clock.NowMs();
  }

 private:
  void Record(const std::string& name, InvokeKind how, const std::vector<AutoValue>& args) {
    auto text = [](const AutoValue& v) {
      switch (v.GetKind()) {
        case AutoValue::Kind::Integer: return std::to_string(v.IntegerValue());
        case AutoValue::Kind::Float: return vcl::Format("%g", v.FloatValue());
        case AutoValue::Kind::String: return "'" + v.Text() + "'";
        case AutoValue::Kind::StringRef: return "&'" + v.Text() + "'";
        default: return std::string("?");
      }
    };
    std::string call = name;
    std::vector<AutoValue> rest = args;
    std::string value;
    if (how == InvokeKind::PropertyPut && !rest.empty()) {
      value = "=" + text(rest.back());
      rest.pop_back();
    }
    if (how == InvokeKind::Method || !rest.empty()) {
      call += "(";
      for (size_t i = 0; i < rest.size(); ++i) call += (i ? "," : "") + text(rest[i]);
      call += ")";
    }
    std::lock_guard<std::mutex> g(w_.Clock.Lock());
    w_.PowerPoint.Calls.push_back(call + value);
    w_.PowerPoint.LastCallMs[name] = w_.Clock.NowMs();
  }
  World& w_;
  std::string kind_;
  int slide_;
};

class Automation final : public IAutomation {
 public:
  explicit Automation(World& w) : w_(w) {}
  AutomationObject CreateObject(const std::string& progId) override {
    w_.PowerPoint.Calls.push_back("CreateObject(" + progId + ")");
    if (progId != "PowerPoint.Application" || !w_.PowerPoint.Registered) throw EAutomationError("Invalid class string");
    w_.PowerPoint.Running = true;
    return std::make_shared<PptObject>(w_, "Application");
  }
  AutomationObject GetActiveObject(const std::string& progId) override {
    w_.PowerPoint.Calls.push_back("GetActiveObject(" + progId + ")");
    if (progId != "PowerPoint.Application" || !w_.PowerPoint.ActiveObject) throw EAutomationError("Operation unavailable");
    return std::make_shared<PptObject>(w_, "Application");
  }
  std::shared_ptr<IEventSink> CreateEventSink(SinkHandler handler) override {
    return std::make_shared<Sink>(std::move(handler));
  }
  bool StartServer() override {
    w_.Server.Calls.push_back("start");
    if (w_.Server.RegisterOnly) return false;
    w_.Server.Offered = true;
    return true;
  }
  void StopServer() override {
    w_.Server.Calls.push_back("stop");
    w_.Server.Offered = false;
  }

 private:
  World& w_;
};

}  // namespace

void StartShowFromShell(World& world) { PptObject::StartShow(world); }

std::unique_ptr<IWindows> MakeWindows(World& world) { return std::make_unique<Windows>(world); }
std::unique_ptr<ILibraries> MakeLibraries(World& world) { return std::make_unique<Libraries>(world); }
std::unique_ptr<IAutomation> MakeAutomation(World& world) { return std::make_unique<Automation>(world); }

}  // namespace platform::headless

namespace platform::headless {

namespace {

// The quoted path after a marker in a bridge command.
std::string QuotedAfter(const std::string& command, const std::string& marker) {
  const size_t at = command.find(marker);
  if (at == std::string::npos) return "";
  const size_t open = command.find('"', at + marker.size());
  const size_t close = command.find('"', open + 1);
  return open == std::string::npos || close == std::string::npos ? "" : command.substr(open + 1, close - open - 1);
}

void WriteHostFile(World& w, const std::string& windowsPath, const std::string& bytes) {
  std::filesystem::create_directories(w.HostPath(windowsPath).parent_path());
  std::ofstream(w.HostPath(windowsPath), std::ios::binary) << bytes;
}

std::string ReadHostFile(World& w, const std::string& windowsPath) {
  std::ifstream in(w.HostPath(windowsPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Bridge final : public IEncoderBridge {
 public:
  explicit Bridge(World& w) : w_(w) {}
  void video2(const std::string& command) override {
    Record(command);
    if (w_.Bridge.MultiplexerWrites) WriteHostFile(w_, QuotedAfter(command, " -o "), "multiplexed");
  }
  void video3(const std::string& command) override {
    Record(command);
    if (!w_.Bridge.AuthoringWrites) return;
    const std::string xml = ReadHostFile(w_, QuotedAfter(command, " -x "));
    const std::string dest = QuotedAfter(xml, "<dvdauthor dest=");
    WriteHostFile(w_, dest + "\\VIDEO_TS\\VIDEO_TS.IFO", "ifo");
    WriteHostFile(w_, dest + "\\VIDEO_TS\\VTS_01_1.VOB", "vob");
  }

 private:
  void Record(const std::string& command) {
    w_.Bridge.Commands.push_back(command);
    if (w_.Bridge.OnCall) w_.Bridge.OnCall(command);
  }
  World& w_;
};

}  // namespace

std::unique_ptr<IEncoderBridge> MakeBridge(World& world) { return std::make_unique<Bridge>(world); }

}  // namespace platform::headless
