// The presentation program's stand-in, driven the way the program drives the presentation
// program: created from its ProgID (or found as the active object after a command-line
// start), called late-bound by member name, and heard through an IDispatch sink on the
// connection point of the application's events.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <tlhelp32.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "WineSupport.h"

namespace {

using namespace winetest;

const IID EventsIid = {0x914934C2, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
const DISPID SlideShowBegin = 2011, SlideShowNextSlide = 2013;
const wchar_t* const ProgId = L"PowerPoint.Application";
const char* const RequestedFailureText = "This call was set to fail.";

std::wstring Wide(const std::string& s) {
  std::wstring w(s.size(), L'\0');
  w.resize(MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), &w[0], static_cast<int>(w.size())));
  return w;
}

std::string Narrow(const std::wstring& w) {
  std::string s(w.size() * 2, '\0');
  s.resize(WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), &s[0], static_cast<int>(s.size()),
                               nullptr, nullptr));
  return s;
}

std::string StandInExe() { return BinFolder() + "\\companions\\POWERPNT.EXE"; }

// ---- a late-bound client, as plain as the program's calls ----

// One owned VARIANT; a by-reference one owns what it points to.
class Var {
 public:
  Var() { VariantInit(&v); }
  Var(const Var& other) : Var() { *this = other; }
  Var& operator=(const Var& other) {
    if (this == &other) return *this;
    VariantClear(&v);
    inner_.reset(other.inner_ ? new Var(*other.inner_) : nullptr);
    asVariant_ = other.asVariant_;
    if (inner_) Refer();
    else VariantCopy(&v, const_cast<VARIANT*>(&other.v));
    return *this;
  }
  ~Var() { VariantClear(&v); }

  static Var Int(long value) { return Make(VT_I4, [&](VARIANT& x) { V_I4(&x) = value; }); }
  static Var Short(short value) { return Make(VT_I2, [&](VARIANT& x) { V_I2(&x) = value; }); }
  static Var Byte(BYTE value) { return Make(VT_UI1, [&](VARIANT& x) { V_UI1(&x) = value; }); }
  static Var Real(double value) { return Make(VT_R8, [&](VARIANT& x) { V_R8(&x) = value; }); }
  static Var Text(const std::wstring& text) {
    return Make(VT_BSTR, [&](VARIANT& x) { V_BSTR(&x) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); });
  }
  // Passed as a variable is: by reference to a value of its own type, or to a variant.
  static Var ByRef(const Var& value) { return Referring(value, false); }
  static Var VariantRef(const Var& value) { return Referring(value, true); }

  VARIANT v;

 private:
  template <class F>
  static Var Make(VARTYPE type, F fill) {
    Var r;
    V_VT(&r.v) = type;
    fill(r.v);
    return r;
  }
  static Var Referring(const Var& value, bool asVariant) {
    Var r;
    r.inner_.reset(new Var(value));
    r.asVariant_ = asVariant;
    r.Refer();
    return r;
  }
  void Refer() {
    if (asVariant_) {
      V_VT(&v) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(&v) = &inner_->v;
    } else {
      V_VT(&v) = VT_BYREF | V_VT(&inner_->v);
      V_BYREF(&v) = &V_I4(&inner_->v);  // every scalar starts where the union does
    }
  }
  std::unique_ptr<Var> inner_;
  bool asVariant_ = false;
};

struct Reply {
  HRESULT Code = E_FAIL;
  Var Value;
  std::string Description;
  bool Ok() const { return SUCCEEDED(Code); }
};

Reply Invoke(IDispatch* object, const wchar_t* name, WORD flags, const std::vector<Var>& args) {
  Reply r;
  if (!object) return r;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  r.Code = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(r.Code)) return r;
  std::vector<VARIANT> reversed;
  for (auto a = args.rbegin(); a != args.rend(); ++a) reversed.push_back(a->v);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  EXCEPINFO error = {};
  UINT argErr = 0;
  r.Code = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                          (flags & DISPATCH_PROPERTYPUT) ? nullptr : &r.Value.v, &error, &argErr);
  if (r.Code == DISP_E_EXCEPTION && error.bstrDescription) r.Description = Narrow(error.bstrDescription);
  SysFreeString(error.bstrSource);
  SysFreeString(error.bstrDescription);
  SysFreeString(error.bstrHelpFile);
  return r;
}

class Auto {
 public:
  Auto() = default;
  explicit Auto(IDispatch* taken) : d_(taken) {}
  Auto(const Auto& other) : d_(other.d_) {
    if (d_) d_->AddRef();
  }
  Auto& operator=(Auto other) {
    std::swap(d_, other.d_);
    return *this;
  }
  ~Auto() { Reset(); }
  void Reset() {
    if (d_) d_->Release();
    d_ = nullptr;
  }
  IDispatch* get() const { return d_; }
  explicit operator bool() const { return d_ != nullptr; }

  Reply Call(const wchar_t* name, const std::vector<Var>& args = {}) const {
    return Invoke(d_, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
  }
  Reply Put(const wchar_t* name, const Var& value) const { return Invoke(d_, name, DISPATCH_PROPERTYPUT, {value}); }
  Auto Obj(const wchar_t* name, const std::vector<Var>& args = {}) const {
    Reply r = Call(name, args);
    if (!r.Ok() || V_VT(&r.Value.v) != VT_DISPATCH || !V_DISPATCH(&r.Value.v)) return Auto();
    V_DISPATCH(&r.Value.v)->AddRef();
    return Auto(V_DISPATCH(&r.Value.v));
  }
  long Int(const wchar_t* name) const { return AsInt(Call(name)); }
  static long AsInt(const Reply& r) {
    Var n;
    if (!r.Ok() || FAILED(VariantChangeType(&n.v, const_cast<VARIANT*>(&r.Value.v), 0, VT_I4))) return LONG_MIN;
    return V_I4(&n.v);
  }

 private:
  IDispatch* d_ = nullptr;
};

// Hears the application's events as the program's sink does: through IDispatch only, and
// reading the show's position from the window object it is given.
class Sink : public IDispatch {
 public:
  struct Event {
    DISPID Id;
    UINT Arguments;
    long Position;
  };
  std::vector<Event> Events;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs_); }  // lives on the test's stack
  STDMETHODIMP GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    Event e{id, params ? params->cArgs : 0, LONG_MIN};
    if (e.Arguments == 1 && V_VT(&params->rgvarg[0]) == VT_DISPATCH) {
      V_DISPATCH(&params->rgvarg[0])->AddRef();
      Auto window(V_DISPATCH(&params->rgvarg[0]));
      e.Position = window.Obj(L"View").Int(L"CurrentShowPosition");
    }
    Events.push_back(e);
    return S_OK;
  }

 private:
  LONG refs_ = 1;
};

// A sink advised on the application's events for as long as it lives.
class Connection {
 public:
  Connection(const Auto& app, IDispatch* sink) {
    IConnectionPointContainer* container = nullptr;
    result = app.get()->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(result)) return;
    result = container->FindConnectionPoint(EventsIid, &point_);
    container->Release();
    if (SUCCEEDED(result)) result = point_->Advise(sink, &cookie_);
  }
  HRESULT Unadvise() {
    HRESULT hr = point_ && cookie_ ? point_->Unadvise(cookie_) : E_FAIL;
    cookie_ = 0;
    return hr;
  }
  ~Connection() {
    if (cookie_) Unadvise();
    if (point_) point_->Release();
  }
  HRESULT result = E_FAIL;

 private:
  IConnectionPoint* point_ = nullptr;
  DWORD cookie_ = 0;
};

// ---- processes, windows, files ----

// Waits with the apartment's messages pumped: events and calls back arrive through them.
bool PumpUntil(const std::function<bool()>& pred, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    if (pred()) return true;
    if (GetTickCount() - start >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

std::vector<DWORD> StandIns() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    std::string name = entry.szExeFile;
    name = name.substr(name.find_last_of('\\') + 1);
    if (lstrcmpiA(name.c_str(), "POWERPNT.EXE") == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

void EndStandIns() {
  for (DWORD id : StandIns()) {
    HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!p) continue;
    TerminateProcess(p, 1);
    WaitForSingleObject(p, 5000);
    CloseHandle(p);
  }
}

HWND ShowWindowOfStandIn() {
  for (DWORD id : StandIns())
    if (HWND w = FindTopLevel(id, "screenClass")) return w;
  return nullptr;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

RECT WindowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

int RunStandIn(const std::string& arguments) {
  Process p = Launch(StandInExe(), arguments);
  if (!p.Handle || !p.WaitExit(20000)) return -1;
  DWORD code = 0;
  GetExitCodeProcess(p.Handle, &code);
  return static_cast<int>(code);
}

std::wstring ReadDefault(const std::wstring& key) {
  wchar_t text[MAX_PATH * 2] = {};
  LONG size = sizeof text - sizeof(wchar_t);
  if (RegQueryValueW(HKEY_LOCAL_MACHINE, key.c_str(), text, &size) != ERROR_SUCCESS) return std::wstring();
  return text;
}

void WriteDefault(const std::wstring& key, const std::wstring& text) {
  RegSetValueW(HKEY_LOCAL_MACHINE, key.c_str(), REG_SZ, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

std::wstring ClassKey(const CLSID& clsid) {
  wchar_t text[64] = {};
  StringFromGUID2(clsid, text, 64);
  return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

// An environment value for the stand-ins started while it lives (COM starts them from
// this process under Wine, so they inherit it).
class Environment {
 public:
  Environment(const char* name, const char* value) : name_(name) { SetEnvironmentVariableA(name, value); }
  ~Environment() { SetEnvironmentVariableA(name_, nullptr); }

 private:
  const char* name_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

// A small one-colour picture, as a slide's picture beside its deck.
void WritePicture(const std::string& path, COLORREF colour) {
  const int side = 8, row = side * 3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = info.biHeight = side;
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + row * side;
  std::string bytes(reinterpret_cast<char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<char*>(&info), sizeof info);
  for (int i = 0; i < side * side; ++i) {
    bytes += static_cast<char>(GetBValue(colour));
    bytes += static_cast<char>(GetGValue(colour));
    bytes += static_cast<char>(GetRValue(colour));
  }
  WriteFile(path, bytes);
}

class StandIn : public ::testing::Test {
 protected:
  // The tests register the built stand-in; whatever was registered before comes back.
  static void SetUpTestSuite() {
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(ProgId, &clsid))) {
      savedClass_ = ReadDefault(L"Software\\Classes\\PowerPoint.Application\\CLSID");
      savedServer_ = ReadDefault(ClassKey(clsid) + L"\\LocalServer32");
    }
    registered_ = RunStandIn("/regserver") == 0;
  }
  static void TearDownTestSuite() {
    if (savedServer_.empty()) {
      RunStandIn("/unregserver");
      return;
    }
    CLSID clsid;
    if (FAILED(CLSIDFromString(const_cast<LPOLESTR>(savedClass_.c_str()), &clsid))) return;
    WriteDefault(L"Software\\Classes\\PowerPoint.Application\\CLSID", savedClass_);
    WriteDefault(ClassKey(clsid) + L"\\LocalServer32", savedServer_);
  }

  void SetUp() override {
    ASSERT_TRUE(registered_);
    EndStandIns();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "standin-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
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

  static Auto Create() {
    CLSID clsid;
    IDispatch* app = nullptr;
    if (FAILED(CLSIDFromProgID(ProgId, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&app))))
      return Auto();
    return Auto(app);
  }
  std::string Deck(const std::string& name, const std::string& text) {
    std::string path = folder_ + "\\" + name;
    WriteFile(path, text);
    return path;
  }
  // Opened as the program opens it: the name by reference, not read-only, not untitled,
  // no document window.
  static Auto Open(const Auto& app, const std::string& path) {
    return app.Obj(L"Presentations")
        .Obj(L"Open", {Var::ByRef(Var::Text(Wide(path))), Var::Int(0), Var::Int(0), Var::Int(0)});
  }
  static HWND WaitForShowWindow(DWORD ms = 10000) {
    HWND w = nullptr;
    PumpUntil([&] { return (w = ShowWindowOfStandIn()) != nullptr; }, ms);
    return w;
  }
  static Auto ShowView(const Auto& deck) { return deck.Obj(L"SlideShowWindow").Obj(L"View"); }

  std::string folder_;
  static bool registered_;
  static std::wstring savedClass_, savedServer_;
};

bool StandIn::registered_ = false;
std::wstring StandIn::savedClass_, StandIn::savedServer_;

const char* const ThreeSlides = "Welcome\r\nAgenda\r\nThanks\r\n";

TEST_F(StandIn, RegistersItsClassUnderTheMachineAndRemovesIt) {
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(ProgId, &clsid), S_OK);
  std::wstring server = ReadDefault(ClassKey(clsid) + L"\\LocalServer32");
  EXPECT_EQ(Narrow(server), "\"" + StandInExe() + "\"");
  EXPECT_EQ(Narrow(ReadDefault(ClassKey(clsid) + L"\\ProgID")), "PowerPoint.Application");

  EXPECT_EQ(RunStandIn("/unregserver"), 0);
  CLSID gone;
  EXPECT_FALSE(SUCCEEDED(CLSIDFromProgID(ProgId, &gone)));
  EXPECT_EQ(ReadDefault(ClassKey(clsid) + L"\\LocalServer32"), L"");

  EXPECT_EQ(RunStandIn("/regserver"), 0);
  CLSID again;
  ASSERT_EQ(CLSIDFromProgID(ProgId, &again), S_OK);
  EXPECT_TRUE(IsEqualCLSID(again, clsid));
}

TEST_F(StandIn, ShowPlaysInAnActivatedScreenWindowAndReportsEverySlide) {
  Auto app = Create();
  ASSERT_TRUE(app);
  Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
  ASSERT_TRUE(deck);
  Sink sink;
  Connection events(app, &sink);
  ASSERT_EQ(events.result, S_OK);

  ASSERT_TRUE(deck.Obj(L"SlideShowSettings").Call(L"Run").Ok());
  HWND show = WaitForShowWindow();
  ASSERT_NE(show, nullptr);
  EXPECT_EQ(GetWindowLongW(show, GWL_STYLE) & (WS_POPUP | WS_CHILD | WS_CAPTION), static_cast<LONG>(WS_POPUP));
  EXPECT_TRUE(IsWindowVisible(show));
  EXPECT_EQ(GetForegroundWindow(), show);
  RECT r = WindowRect(show);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));

  // The start, then the first slide; each event carries the show's window object.
  ASSERT_TRUE(PumpUntil([&] { return sink.Events.size() >= 2; }, 5000));
  EXPECT_EQ(sink.Events[0].Id, SlideShowBegin);
  EXPECT_EQ(sink.Events[1].Id, SlideShowNextSlide);
  for (const auto& e : sink.Events) {
    EXPECT_EQ(e.Arguments, 1u);
    EXPECT_EQ(e.Position, 1);
  }

  Auto view = ShowView(deck);
  ASSERT_TRUE(view.Call(L"Next").Ok());
  ASSERT_TRUE(PumpUntil([&] { return sink.Events.size() >= 3; }, 5000));
  EXPECT_EQ(sink.Events[2].Id, SlideShowNextSlide);
  EXPECT_EQ(sink.Events[2].Position, 2);
  EXPECT_EQ(view.Int(L"CurrentShowPosition"), 2);

  // Past the last slide the show stays where it is.
  EXPECT_EQ(events.Unadvise(), S_OK);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(view.Call(L"Next").Ok());
  EXPECT_EQ(view.Int(L"CurrentShowPosition"), 3);
  Pump(500);
  EXPECT_EQ(sink.Events.size(), 3u) << "an event reached a sink after it was unadvised";

  ASSERT_TRUE(view.Call(L"exit").Ok());
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(show); }, 5000));
  Reply gone = deck.Call(L"SlideShowWindow");
  EXPECT_EQ(gone.Code, DISP_E_EXCEPTION);
  EXPECT_EQ(view.Call(L"Next").Code, DISP_E_EXCEPTION);
}

TEST_F(StandIn, ProgramEndsOnlyWhenNoCallerHoldsItAndNoShowRuns) {
  Auto app = Create();
  ASSERT_TRUE(app);
  std::vector<DWORD> ids = StandIns();
  ASSERT_EQ(ids.size(), 1u);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, ids[0]);
  Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
  ASSERT_TRUE(deck.Obj(L"SlideShowSettings").Call(L"Run").Ok());
  ASSERT_NE(WaitForShowWindow(), nullptr);
  ASSERT_TRUE(ShowView(deck).Call(L"Exit").Ok());
  Pump(1000);
  EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "ended while still held";
  deck.Reset();
  app.Reset();
  EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 10000));
  CloseHandle(process);
}

TEST_F(StandIn, SlidesAreReachedByAnyIntegerVariantAndDuplicatedRightAfterThemselves) {
  Auto app = Create();
  Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
  Auto slides = deck.Obj(L"Slides");
  ASSERT_TRUE(slides);
  Reply count = slides.Call(L"Count");
  ASSERT_EQ(Auto::AsInt(count), 3);

  struct Case {
    const char* Name;
    Var Index;
    long Slide;
  } cases[] = {{"two-byte integer", Var::Short(1), 1},
               {"four-byte integer", Var::Int(2), 2},
               {"byte", Var::Byte(1), 1},
               {"double", Var::Real(2), 2},
               {"a loop variable, by reference", Var::ByRef(Var::Int(2)), 2},
               {"the count as it came back, in a variant reference", Var::VariantRef(count.Value), 3}};
  // Each slide is marked through one kind of index and read back through another.
  long mark = 100;
  for (const Case& c : cases) {
    Auto transition = slides.Obj(L"Item", {c.Index}).Obj(L"SlideShowTransition");
    ASSERT_TRUE(transition) << c.Name;
    EXPECT_TRUE(transition.Put(L"AdvanceOnTime", Var::Int(++mark)).Ok()) << c.Name;
    EXPECT_EQ(slides.Obj(L"Item", {Var::Int(c.Slide)}).Obj(L"SlideShowTransition").Int(L"AdvanceOnTime"), mark)
        << c.Name;
  }
  for (long outside : {0L, 4L, -1L}) {
    Reply r = slides.Call(L"Item", {Var::Int(outside)});
    EXPECT_EQ(r.Code, DISP_E_EXCEPTION) << outside;
    EXPECT_FALSE(r.Description.empty()) << outside;
  }

  // Duplicating the second slide puts its copy third and moves the last one on.
  slides.Obj(L"Item", {Var::Int(3)}).Obj(L"SlideShowTransition").Put(L"AdvanceOnTime", Var::Int(-1));
  ASSERT_TRUE(slides.Obj(L"Item", {Var::Int(2)}).Call(L"Duplicate").Ok());
  EXPECT_EQ(slides.Int(L"Count"), 4);
  long atTwo = slides.Obj(L"Item", {Var::Int(2)}).Obj(L"SlideShowTransition").Int(L"AdvanceOnTime");
  EXPECT_EQ(slides.Obj(L"Item", {Var::Int(3)}).Obj(L"SlideShowTransition").Int(L"AdvanceOnTime"), atTwo);
  EXPECT_EQ(slides.Obj(L"Item", {Var::Int(4)}).Obj(L"SlideShowTransition").Int(L"AdvanceOnTime"), -1);
  // The copy is a slide of its own.
  slides.Obj(L"Item", {Var::Int(3)}).Obj(L"SlideShowTransition").Put(L"AdvanceOnTime", Var::Int(0));
  EXPECT_EQ(slides.Obj(L"Item", {Var::Int(2)}).Obj(L"SlideShowTransition").Int(L"AdvanceOnTime"), atTwo);
}

TEST_F(StandIn, ShowWindowIsPlacedAndSizedInPoints) {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 96) << "the program's sizes assume 96 dots per inch";

  Auto app = Create();
  Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
  ASSERT_TRUE(deck.Obj(L"SlideShowSettings").Call(L"Run").Ok());
  HWND show = WaitForShowWindow();
  ASSERT_NE(show, nullptr);
  Auto window = deck.Obj(L"SlideShowWindow");
  struct Case {
    const char* Name;
    long Left, Top;
    double Width, Height;
    RECT Pixels;
  } cases[] = {
      {"the capture panel of 640 x 480", 0, 0, 480, 360, {0, 0, 640, 480}},
      {"the panel of 352 x 288", 0, 0, 264, 216, {0, 0, 352, 288}},
      {"moved and sized by fractions", 30, 15, 100.5, 75.75, {40, 20, 174, 121}},
  };
  for (const Case& c : cases) {
    // In the program's order and kinds: integers for the place, doubles for the size.
    EXPECT_TRUE(window.Put(L"Left", Var::Int(c.Left)).Ok()) << c.Name;
    EXPECT_TRUE(window.Put(L"Top", Var::Int(c.Top)).Ok()) << c.Name;
    EXPECT_TRUE(window.Put(L"Height", Var::Real(c.Height)).Ok()) << c.Name;
    EXPECT_TRUE(window.Put(L"Width", Var::Real(c.Width)).Ok()) << c.Name;
    RECT r = WindowRect(show);
    EXPECT_EQ(r.left, c.Pixels.left) << c.Name;
    EXPECT_EQ(r.top, c.Pixels.top) << c.Name;
    EXPECT_EQ(r.right, c.Pixels.right) << c.Name;
    EXPECT_EQ(r.bottom, c.Pixels.bottom) << c.Name;
  }
}

TEST_F(StandIn, EachSlideShowsItsPictureOrItsOwnColourAndACopyLooksLikeItsOriginal) {
  const COLORREF pictureColour = RGB(12, 34, 56);
  std::string path = Deck("talk.ppt", ThreeSlides);
  WritePicture(path + ".slide2.bmp", pictureColour);
  Auto app = Create();
  Auto deck = Open(app, path);
  Auto slides = deck.Obj(L"Slides");
  ASSERT_TRUE(slides.Obj(L"Item", {Var::Int(3)}).Call(L"Duplicate").Ok());
  ASSERT_TRUE(deck.Obj(L"SlideShowSettings").Call(L"Run").Ok());
  HWND show = WaitForShowWindow();
  ASSERT_NE(show, nullptr);
  Auto window = deck.Obj(L"SlideShowWindow");
  window.Put(L"Width", Var::Real(480));
  window.Put(L"Height", Var::Real(360));
  Auto view = window.Obj(L"View");

  // A corner of the window, clear of the slide's number and title.
  std::vector<COLORREF> seen;
  for (int slide = 1; slide <= 4; ++slide) {
    if (slide > 1) {
      ASSERT_TRUE(view.Call(L"Next").Ok());
    }
    Pump(400);
    seen.push_back(ScreenPixel(5, 5));
  }
  EXPECT_EQ(seen[1], pictureColour);
  EXPECT_NE(seen[0], seen[2]);
  EXPECT_NE(seen[0], pictureColour);
  EXPECT_NE(seen[2], pictureColour);
  EXPECT_EQ(seen[3], seen[2]) << "the copy of the last slide looks different";
}

// A test window standing where the program's capture panel stands.
class Panel {
 public:
  Panel() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(Grey);
    wc.lpszClassName = "StandInTestPanel";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 400, 300,
                             nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~Panel() { DestroyWindow(window); }
  static constexpr COLORREF Grey = RGB(128, 128, 128);
  HWND window;
};

TEST_F(StandIn, AdoptedWindowIsDrawnOntoTheScreenUnlessLayered) {
  Panel panel;
  ASSERT_NE(panel.window, nullptr);
  Auto app = Create();
  Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
  ASSERT_TRUE(deck.Obj(L"SlideShowSettings").Call(L"Run").Ok());
  HWND show = WaitForShowWindow();
  ASSERT_NE(show, nullptr);
  Pump(300);
  const COLORREF slide = ScreenPixel(5, 5);
  ASSERT_NE(slide, Panel::Grey);

  Auto window = deck.Obj(L"SlideShowWindow");
  window.Put(L"Width", Var::Real(300));
  window.Put(L"Height", Var::Real(225));
  // Hidden as the slide show hook hides it, then taken in as the program takes it.
  SetWindowLongW(show, GWL_EXSTYLE, GetWindowLongW(show, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(show, 0, 0, LWA_ALPHA);
  ASSERT_NE(SetParent(show, panel.window), nullptr);
  RedrawWindow(panel.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump(500);
  EXPECT_EQ(ScreenPixel(110, 110), Panel::Grey) << "a transparent window was drawn";

  SetLayeredWindowAttributes(show, 0, 255, LWA_ALPHA);
  SetWindowLongW(show, GWL_EXSTYLE, GetWindowLongW(show, GWL_EXSTYLE) & ~WS_EX_LAYERED);
  EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(110, 110) == slide; }, 3000));
  // Only within the panel: the window reaches beyond it on no side here, and the screen
  // around the panel keeps what it had.
  EXPECT_NE(ScreenPixel(95, 95), slide);
  // The panel repainting itself does not hide the slide for long.
  RedrawWindow(panel.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(495, 395) == slide; }, 1000));
}

TEST_F(StandIn, CommandLineShowIsTheActiveObjectWithItsDeckActive) {
  Process started = Launch(StandInExe(), "/s \"" + Deck("talk.ppt", ThreeSlides) + "\"");
  ASSERT_NE(started.Handle, nullptr);
  HWND show = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (show = FindTopLevel(started.Id, "screenClass")) != nullptr; }, 10000));
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == show; }, 2000));

  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(ProgId, &clsid), S_OK);
  IUnknown* active = nullptr;
  ASSERT_EQ(GetActiveObject(clsid, nullptr, &active), S_OK);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(active->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  active->Release();
  Auto app(dispatch);
  Auto deck = app.Obj(L"ActivePresentation");
  ASSERT_TRUE(deck);
  EXPECT_EQ(deck.Obj(L"Slides").Int(L"Count"), 3);
  Sink sink;
  Connection events(app, &sink);
  ASSERT_EQ(events.result, S_OK);
  Auto view = ShowView(deck);
  EXPECT_EQ(view.Int(L"CurrentShowPosition"), 1);
  ASSERT_TRUE(view.Call(L"Next").Ok());
  ASSERT_TRUE(PumpUntil([&] { return !sink.Events.empty(); }, 5000));
  EXPECT_EQ(sink.Events[0].Id, SlideShowNextSlide);
  EXPECT_EQ(sink.Events[0].Position, 2);

  ASSERT_TRUE(view.Call(L"exit").Ok());
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(show); }, 5000));
  EXPECT_EQ(events.Unadvise(), S_OK) << "the program disconnects after leaving the show";
  Pump(500);
  EXPECT_TRUE(started.Running()) << "ended while still held";
  view.Reset();
  deck.Reset();
  app.Reset();
  EXPECT_TRUE(PumpUntil([&] { return !started.Running(); }, 10000));
}

// The program ends every running copy before a conversion and then starts the
// presentation program afresh, through COM or from the command line.
TEST_F(StandIn, ACopyEndedByForceLeavesNothingThatLaterCallersFind) {
  {
    Auto app = Create();
    ASSERT_TRUE(Open(app, Deck("talk.ppt", ThreeSlides)).Obj(L"SlideShowSettings").Call(L"Run").Ok());
    ASSERT_NE(WaitForShowWindow(), nullptr);
  }
  EndStandIns();
  {
    Auto app = Create();
    ASSERT_TRUE(app) << "the ended copy's class was still offered";
    EXPECT_EQ(app.Call(L"ActivePresentation").Code, DISP_E_EXCEPTION) << "not a fresh copy";
  }
  EndStandIns();

  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(ProgId, &clsid), S_OK);
  struct Case {
    const char* Name;
    const char* Text;
    long Slides;
  } decks[] = {{"first.ppt", ThreeSlides, 3}, {"second.ppt", "Only\r\nTwo\r\n", 2}};
  for (const Case& deck : decks) {
    Process started = Launch(StandInExe(), "/s \"" + Deck(deck.Name, deck.Text) + "\"");
    ASSERT_TRUE(PumpUntil([&] { return FindTopLevel(started.Id, "screenClass") != nullptr; }, 10000)) << deck.Name;
    IUnknown* active = nullptr;
    ASSERT_EQ(GetActiveObject(clsid, nullptr, &active), S_OK) << deck.Name;
    IDispatch* dispatch = nullptr;
    active->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    active->Release();
    Auto app(dispatch);
    EXPECT_EQ(app.Obj(L"ActivePresentation").Obj(L"Slides").Int(L"Count"), deck.Slides) << deck.Name;
    app.Reset();
    started.Kill();
    started.WaitExit(5000);
  }
}

TEST_F(StandIn, CommandLineShowOfAFileThatIsNoDeckEndsAtOnce) {
  Process started = Launch(StandInExe(), "/s \"" + folder_ + "\\missing.ppt\"");
  ASSERT_TRUE(started.WaitExit(10000));
  DWORD code = 0;
  GetExitCodeProcess(started.Handle, &code);
  EXPECT_NE(code, 0u);
}

TEST_F(StandIn, OpensTextDecksAndPictureDecksOnly) {
  const std::string binary("PK\3\4\0\0binary", 12);
  struct Case {
    const char* Name;
    std::string Text;  // empty: no file at all
    int Pictures;
    long Slides;  // 0: cannot be opened
  } cases[] = {
      {"titles, blank lines skipped", "One\r\n\r\n  Two  \nThree", 0, 3},
      {"no file", "", 0, 0},
      {"only blank lines", "\r\n \r\n", 0, 0},
      {"not text, no pictures", binary, 0, 0},
      {"not text, two pictures", binary, 2, 2},
  };
  Auto app = Create();
  ASSERT_TRUE(app);
  int n = 0;
  for (const Case& c : cases) {
    std::string path = folder_ + "\\deck" + std::to_string(++n) + ".pptx";
    if (!c.Text.empty()) WriteFile(path, c.Text);
    for (int p = 1; p <= c.Pictures; ++p) WritePicture(path + ".slide" + std::to_string(p) + ".bmp", RGB(0, 0, p));
    Reply r = app.Obj(L"Presentations").Call(L"Open", {Var::Text(Wide(path)), Var::Int(0), Var::Int(0), Var::Int(0)});
    if (c.Slides == 0) {
      EXPECT_EQ(r.Code, DISP_E_EXCEPTION) << c.Name;
      EXPECT_FALSE(r.Description.empty()) << c.Name;
      continue;
    }
    ASSERT_TRUE(r.Ok()) << c.Name;
    V_DISPATCH(&r.Value.v)->AddRef();
    Auto deck(V_DISPATCH(&r.Value.v));
    EXPECT_EQ(deck.Obj(L"Slides").Int(L"Count"), c.Slides) << c.Name;
    EXPECT_EQ(app.Obj(L"ActivePresentation").get() != nullptr, true) << c.Name;
  }
}

TEST_F(StandIn, MembersAreFoundWhateverTheirCaseAndNoOthers) {
  Auto app = Create();
  ASSERT_TRUE(app);
  auto id = [&](const wchar_t* name) {
    DISPID d = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = app.get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &d);
    return std::make_pair(hr, d);
  };
  auto presentations = id(L"Presentations");
  ASSERT_EQ(presentations.first, S_OK);
  for (const wchar_t* other : {L"presentations", L"PRESENTATIONS", L"pReSeNtAtIoNs"}) {
    EXPECT_EQ(id(other), presentations) << Narrow(other);
  }
  for (const wchar_t* unknown : {L"Quit", L"Presentation", L"Visible"}) {
    EXPECT_EQ(id(unknown).first, DISP_E_UNKNOWNNAME) << Narrow(unknown);
  }
  EXPECT_EQ(app.Call(L"ActivePresentation").Code, DISP_E_EXCEPTION) << "nothing is open yet";
  EXPECT_FALSE(app.Put(L"Presentations", Var::Int(1)).Ok()) << "a property that is only read";
}

TEST_F(StandIn, NamedMembersFailWithTheFixedTextOnRequest) {
  Environment failing("POWERPNT_FAIL", "Run,duplicate");
  Auto app = Create();
  Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
  ASSERT_TRUE(deck);
  for (Reply r : {deck.Obj(L"SlideShowSettings").Call(L"Run"),
                  deck.Obj(L"Slides").Obj(L"Item", {Var::Int(1)}).Call(L"Duplicate")}) {
    EXPECT_EQ(r.Code, DISP_E_EXCEPTION);
    EXPECT_EQ(r.Description, RequestedFailureText);
  }
  EXPECT_EQ(deck.Obj(L"Slides").Int(L"Count"), 3) << "the other members work as before";
  Pump(500);
  EXPECT_EQ(ShowWindowOfStandIn(), nullptr);
}

TEST_F(StandIn, ShowWindowIsHeldBackOnRequest) {
  {
    Environment delayed("POWERPNT_SHOW_DELAY", "1500");
    Auto app = Create();
    Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
    DWORD start = GetTickCount();
    ASSERT_TRUE(deck.Obj(L"SlideShowSettings").Call(L"Run").Ok());
    HWND show = WaitForShowWindow();
    ASSERT_NE(show, nullptr);
    EXPECT_GE(GetTickCount() - start, 1500u);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == show; }, 2000));
  }
  EndStandIns();
  {
    Environment never("POWERPNT_SHOW_DELAY", "never");
    Auto app = Create();
    Auto deck = Open(app, Deck("talk.ppt", ThreeSlides));
    ASSERT_TRUE(deck.Obj(L"SlideShowSettings").Call(L"Run").Ok());
    EXPECT_EQ(WaitForShowWindow(2500), nullptr);
    EXPECT_EQ(ShowView(deck).Int(L"CurrentShowPosition"), 1) << "the show runs all the same";
  }
}

TEST_F(StandIn, SlideWithATimingMovesOnByItselfOnlyWhileTheShowFollowsTimings) {
  Auto app = Create();
  Auto deck = Open(app, Deck("talk.ppt", "Timed @1\r\nPlain\r\nLast\r\n"));
  Auto settings = deck.Obj(L"SlideShowSettings");
  Auto first = deck.Obj(L"Slides").Obj(L"Item", {Var::Int(1)}).Obj(L"SlideShowTransition");
  EXPECT_EQ(settings.Int(L"AdvanceMode"), 2) << "a new show follows the timings";
  EXPECT_EQ(first.Int(L"AdvanceOnTime"), -1);
  EXPECT_EQ(deck.Obj(L"Slides").Obj(L"Item", {Var::Int(2)}).Obj(L"SlideShowTransition").Int(L"AdvanceOnTime"), 0);

  struct Case {
    const char* Name;
    long AdvanceMode, AdvanceOnTime;
    long PositionAfterTwoSeconds;
  } cases[] = {
      {"as opened", 2, -1, 2},
      {"advancing on request only", 1, -1, 1},
      {"the slide's timing switched off", 2, 0, 1},
  };
  for (const Case& c : cases) {
    settings.Put(L"AdvanceMode", Var::Int(c.AdvanceMode));
    first.Put(L"AdvanceOnTime", Var::Int(c.AdvanceOnTime));
    ASSERT_TRUE(settings.Call(L"Run").Ok()) << c.Name;
    Pump(2000);
    EXPECT_EQ(ShowView(deck).Int(L"CurrentShowPosition"), c.PositionAfterTwoSeconds) << c.Name;
  }
}

}  // namespace
