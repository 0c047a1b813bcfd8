// The page host on the real browser control object: the container's answers to every
// host call, its place as the control's client site and its life beyond its owner's end,
// the refusal of an object without IOleObject, the click adapter's dispatch answers, and
// the control closed and let go of whether the browser was built or failed half way.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "WineSupport.h"
#include "platform/win32/ComError.h"
#include "vcl/Forms.h"
#include "vcl/win32/Win32Peers.h"
#include "vcl/win32/Win32Widgetset.h"
#include "win32/DHTMLEvent.h"
#include "win32/UContainer.h"
#include "win32/WebBrowserHost.h"

using pagehost::EPageError;
using pagehost::win32::TDHTMLEvent;
using pagehost::win32::TDHTMLEventAdapter;
using pagehost::win32::TNulWBContainer;
using pagehost::win32::TWBContainer;

namespace {

class PageHost : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&control));
    ASSERT_TRUE(SUCCEEDED(hr) && control) << "no browser control: " << std::hex << hr;
  }
  void TearDown() override {
    if (control) control->Release();
    CoUninitialize();
  }
  IDocHostUIHandler* HostOf(TNulWBContainer& c) {  // a counted reference
    IDocHostUIHandler* host = nullptr;
    EXPECT_EQ(c.QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&host)), S_OK);
    return host;
  }
  IUnknown* control = nullptr;
};

// Flags with the main window's settings: no scroll bars (8), no 3-D border (4), dialog
// behaviour without text selection (1), plus exactly one of the theme flags, as the
// system here has the theme library.
void ExpectOneThemeFlag(DWORD flags) {
  const DWORD theme = flags & ~0xFFFFu;
  EXPECT_TRUE(theme == DOCHOSTUIFLAG_THEME || theme == DOCHOSTUIFLAG_NOTHEME) << std::hex << theme;
}

// A container set up as a dialog: no scroll bars, no border, no text selection, and the
// browser's own context menu suppressed.
void ExpectDialogAnswers(IDocHostUIHandler* host) {
  DOCHOSTUIINFO info;
  memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(host->GetHostInfo(&info), S_OK);
  EXPECT_EQ(info.cbSize, 20u);
  EXPECT_EQ(info.dwFlags & 0xFFFFu, 13u);
  ExpectOneThemeFlag(info.dwFlags);
  EXPECT_EQ(info.dwDoubleClick, 0u);
  EXPECT_EQ(info.pchHostCss, nullptr);
  EXPECT_EQ(info.pchHostNS, nullptr);
  POINT at{10, 10};
  EXPECT_EQ(host->ShowContextMenu(0, &at, nullptr, nullptr), S_OK) << "the browser's own menu was not suppressed";
}

TEST_F(PageHost, ContainerAnswersEveryHostCallAndIsTheControlsClientSite) {
  TWBContainer& c = *new TWBContainer(control, nullptr);
  c.SetUseCustomCtxMenu(true);
  c.SetShowScrollBars(false);
  c.SetShow3DBorder(false);
  c.SetAllowTextSelection(false);

  IOleObject* ole = nullptr;
  ASSERT_EQ(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
  IOleClientSite* site = nullptr;
  EXPECT_EQ(ole->GetClientSite(&site), S_OK);
  EXPECT_EQ(site, static_cast<IOleClientSite*>(&c));

  IDocHostUIHandler* host = HostOf(c);
  ASSERT_TRUE(host);
  ExpectDialogAnswers(host);

  RECT border{};
  MSG msg{};
  LPOLESTR key = reinterpret_cast<LPOLESTR>(1);
  IDropTarget* drop = reinterpret_cast<IDropTarget*>(1);
  IDispatch* external = reinterpret_cast<IDispatch*>(1);
  LPWSTR url = reinterpret_cast<LPWSTR>(1);
  IDataObject* data = reinterpret_cast<IDataObject*>(1);
  IMoniker* moniker = reinterpret_cast<IMoniker*>(1);
  IOleContainer* container = reinterpret_cast<IOleContainer*>(1);
  struct Answer {
    const char* Call;
    HRESULT Got, Expected;
  };
  const Answer answers[] = {
      {"ShowUI", host->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK},
      {"HideUI", host->HideUI(), S_OK},
      {"UpdateUI", host->UpdateUI(), S_OK},
      {"EnableModeless", host->EnableModeless(TRUE), S_OK},
      {"OnDocWindowActivate", host->OnDocWindowActivate(TRUE), S_OK},
      {"OnFrameWindowActivate", host->OnFrameWindowActivate(TRUE), S_OK},
      {"ResizeBorder", host->ResizeBorder(&border, nullptr, TRUE), S_FALSE},
      {"TranslateAccelerator", host->TranslateAccelerator(&msg, nullptr, 0), S_FALSE},
      {"GetOptionKeyPath", host->GetOptionKeyPath(&key, 0), E_FAIL},
      {"GetDropTarget", host->GetDropTarget(nullptr, &drop), E_FAIL},
      {"GetExternal", host->GetExternal(&external), E_FAIL},
      {"TranslateUrl", host->TranslateUrl(0, nullptr, &url), S_FALSE},
      {"FilterDataObject", host->FilterDataObject(nullptr, &data), S_FALSE},
      {"SaveObject", site->SaveObject(), S_OK},
      {"ShowObject", site->ShowObject(), S_OK},
      {"OnShowWindow", site->OnShowWindow(TRUE), S_OK},
      {"GetMoniker", site->GetMoniker(0, 0, &moniker), E_NOTIMPL},
      {"RequestNewObjectLayout", site->RequestNewObjectLayout(), E_NOTIMPL},
      {"GetContainer", site->GetContainer(&container), E_NOINTERFACE},
  };
  for (const Answer& a : answers) EXPECT_EQ(a.Got, a.Expected) << a.Call;
  EXPECT_EQ(drop, nullptr);
  EXPECT_EQ(external, nullptr);
  EXPECT_EQ(url, nullptr);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(moniker, nullptr);
  EXPECT_EQ(container, nullptr);

  // The dialog settings switched back give the browser its defaults again.
  c.SetUseCustomCtxMenu(false);
  c.SetShowScrollBars(true);
  c.SetShow3DBorder(true);
  c.SetAllowTextSelection(true);
  DOCHOSTUIINFO info;
  EXPECT_EQ(host->GetHostInfo(&info), S_OK);
  EXPECT_EQ(info.dwFlags & 0xFFFFu, 0u);
  POINT at{10, 10};
  EXPECT_EQ(host->ShowContextMenu(0, &at, nullptr, nullptr), S_FALSE);
  host->Release();
  site->Release();
  ole->Release();
  c.Dismiss();
}

TEST_F(PageHost, NeutralContainerLeavesTheBrowserItsOwnWaysAndLetsGoOfIt) {
  IOleObject* ole = nullptr;
  ASSERT_EQ(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
  auto* c = new TNulWBContainer(control, nullptr);
  IDocHostUIHandler* host = HostOf(*c);
  ASSERT_TRUE(host);
  DOCHOSTUIINFO info;
  memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(host->GetHostInfo(&info), S_OK);
  EXPECT_EQ(info.dwFlags, 0xABABABABu) << "the neutral answer changes nothing";
  POINT at{1, 1};
  EXPECT_EQ(host->ShowContextMenu(0, &at, nullptr, nullptr), S_FALSE);
  host->Release();
  c->Dismiss();
  IOleClientSite* site = reinterpret_cast<IOleClientSite*>(1);
  ole->GetClientSite(&site);
  EXPECT_EQ(site, nullptr) << "the dismissed container is still the client site";
  ole->Release();
}

// An in-place site stand-in: it answers IOleWindow (the container passes that on).
class InPlaceSite : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// The browser may hold its site beyond the owner's end: the container stays, answering
// its own interfaces and no longer the in-place site's, until its last reference goes.
TEST_F(PageHost, ContainerLivesUntilTheBrowsersLastReference) {
  InPlaceSite inPlace;
  auto* c = new TWBContainer(control, &inPlace);
  void* p = nullptr;
  ASSERT_EQ(c->QueryInterface(IID_IOleWindow, &p), S_OK);
  EXPECT_EQ(p, &inPlace);
  IDocHostUIHandler* held = HostOf(*c);  // as a page of the browser holds it
  ASSERT_TRUE(held);

  c->Dismiss();
  DOCHOSTUIINFO info;
  EXPECT_EQ(held->GetHostInfo(&info), S_OK);
  EXPECT_EQ(held->QueryInterface(IID_IOleWindow, &p), E_NOINTERFACE) << "the in-place site may be gone";
  EXPECT_EQ(held->Release(), 0u) << "not freed at the last release";
}

// An object that is no browser: it answers IUnknown only.
class NotABrowser : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

TEST(PageHostContainer, RefusesAControlWithoutIOleObject) {
  NotABrowser object;
  try {
    (new TWBContainer(&object, nullptr))->Dismiss();
    ADD_FAILURE() << "created";
  } catch (const EPageError& e) {
    EXPECT_STREQ(e.what(), "Browser's Default interface does not support IOleObject");
  }
}

TEST(PageHostEvent, AdapterCallsTheLatestHandlerAndAnswersAsADispatchObject) {
  TDHTMLEventAdapter adapter;
  TDHTMLEvent& event = adapter.Event();
  int first = 0, second = 0;
  IDispatch* d = event.HookEvent([&] { ++first; });
  EXPECT_EQ(d, static_cast<IDispatch*>(&event));
  EXPECT_EQ(event.HookEvent([&] { ++second; }), d);
  DISPPARAMS none{};
  for (DISPID id : {DISPID_VALUE, 7}) EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 2);

  UINT count = 9;
  EXPECT_EQ(d->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  ITypeInfo* info = nullptr;
  EXPECT_EQ(d->GetTypeInfo(0, 0, &info), E_NOTIMPL);
  LPOLESTR name = const_cast<LPOLESTR>(L"onclick");
  DISPID id = 0;
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), E_NOTIMPL);
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch}) {
    IUnknown* p = nullptr;
    EXPECT_EQ(d->QueryInterface(*iid, reinterpret_cast<void**>(&p)), S_OK);
    EXPECT_EQ(p, static_cast<IUnknown*>(d));
    if (p) p->Release();
  }
  void* p = nullptr;
  EXPECT_EQ(d->QueryInterface(IID_IOleObject, &p), E_NOINTERFACE);
}

// A page keeps its onclick objects until the browser lets go of the document: an adapter
// the window has let go of still answers, calls nothing, and goes at its last release.
TEST(PageHostEvent, AdapterOutlivesTheWindowsHoldWhileThePageHoldsIt) {
  int calls = 0;
  auto adapter = std::make_unique<TDHTMLEventAdapter>();
  IDispatch* onclick = adapter->Event().HookEvent([&] { ++calls; });
  EXPECT_EQ(onclick->AddRef(), 2u);  // as the element's onclick property holds it
  adapter.reset();
  DISPPARAMS none{};
  EXPECT_EQ(onclick->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(calls, 0) << "the handler of a window that let go was called";
  EXPECT_EQ(onclick->Release(), 0u);
}

// Every address the pages use, "res://Slidecaster.exe/" + type + "/" + name, names a
// resource of the program under that type name (the page type is the name "RT_HTML").
TEST(PageHostResources, ProgramHoldsEveryPageScriptAndPicture) {
  HMODULE exe = LoadLibraryExA((winetest::BinFolder() + "\\Slidecaster.exe").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(exe);
  struct Item {
    const char* Type;
    const char* Name;
    const char* Begins;  // the content's first bytes, or none
  };
  const Item items[] = {
      {"RT_HTML", "PAGE1", "<!DOCTYPE html"}, {"RT_HTML", "PAGE2", "<!DOCTYPE html"},
      {"RT_HTML", "PAGE3", "<!DOCTYPE html"},
      {"CSS", "MAINCSS", nullptr}, {"JS", "JQUERY", "/*! jQuery v1."}, {"GREYBOX", "GB_SCRIPTS", nullptr},
      {"GREYBOX", "GB_STYLES", nullptr}, {"PICTURE", "BASICSETUP", "\x89PNG"}, {"PICTURE", "BASICSETUP2", "\x89PNG"},
      {"PICTURE", "BG", "\x89PNG"}, {"PICTURE", "CANCELED", "\x89PNG"}, {"PICTURE", "ERRORPIC", "\x89PNG"},
      {"PICTURE", "FINISHED", "\x89PNG"}, {"PICTURE", "FOOTER", "\x89PNG"}, {"PICTURE", "HEADER", "\x89PNG"},
      {"PICTURE", "LOGO", "\x89PNG"}, {"PICTURE", "OKPIC", "\x89PNG"}, {"PICTURE", "VIDEOPARA_BGB", "\x89PNG"},
      {"PICTURE", "VIDEOPARA_BGT", "\x89PNG"}, {"PICTURE", "WARNING", "\x89PNG"}};
  for (const Item& item : items) {
    HRSRC res = FindResourceA(exe, item.Name, item.Type);
    ASSERT_TRUE(res) << item.Type << "/" << item.Name;
    const char* data = static_cast<const char*>(LockResource(LoadResource(exe, res)));
    const DWORD size = SizeofResource(exe, res);
    EXPECT_GT(size, 0u) << item.Name;
    if (item.Begins) {
      EXPECT_EQ(std::string(data, std::min<DWORD>(size, strlen(item.Begins))), item.Begins) << item.Name;
    }
  }
  HRSRC page1 = FindResourceA(exe, "PAGE1", "RT_HTML");
  const std::string text(static_cast<const char*>(LockResource(LoadResource(exe, page1))), SizeofResource(exe, page1));
  EXPECT_NE(text.find("<title>page1</title>"), std::string::npos);
  EXPECT_EQ(FindResourceA(exe, "PAGE1", MAKEINTRESOURCEA(23)), nullptr) << "the pages are under the type name";
  FreeLibrary(exe);
}

// The container a window's browser gets (the main window's is made the same way) and the
// in-place site answer as one client site: each gives the other's interfaces, and what
// neither has is refused at once (the browser asks for many such).
TEST(PageHostSite, WindowsContainerAnswersAsOneSiteAndAsADialog) {
  if (!vcl::HasWidgetset()) vcl::InstallWidgetset(vcl::win32::MakeWidgetset());
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    vcl::TForm form;
    form.SetClientSize(400, 300);
    form.CreatePeers();
    auto browser = pagehost::win32::MakeBrowser(form);
    TWBContainer* c = pagehost::win32::LatestContainer();
    ASSERT_TRUE(c);
    void* p = nullptr;
    IOleInPlaceSite* inPlace = nullptr;
    ASSERT_EQ(c->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)), S_OK);
    IOleClientSite* site = nullptr;
    EXPECT_EQ(inPlace->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&site)), S_OK);
    EXPECT_EQ(site, static_cast<IOleClientSite*>(c));
    if (site) site->Release();
    IUnknown* handler = nullptr;
    EXPECT_EQ(inPlace->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)), S_OK);
    if (handler) handler->Release();
    for (const IID* unknown : {&IID_IServiceProvider, &IID_IOleCommandTarget, &IID_IOleControlSite}) {
      EXPECT_EQ(c->QueryInterface(*unknown, &p), E_NOINTERFACE);
      EXPECT_EQ(inPlace->QueryInterface(*unknown, &p), E_NOINTERFACE);
    }

    // The container as the window sets it up answers as a dialog: no scroll bars, no
    // border, no text selection, and no context menu at all.
    IDocHostUIHandler* host = nullptr;
    ASSERT_EQ(c->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&host)), S_OK);
    ExpectDialogAnswers(host);
    host->Release();
    EXPECT_EQ(c->PopupMenu, nullptr) << "the window offers a menu of its own";
  }
  CoUninitialize();
}

// The browser control as a window's browser gets it, seen through a wrapper that records
// the calls on its OLE object and may refuse one interface, so that one step of the set-up
// fails: before the in-place activation or after it.
class WatchedBrowser final : public IOleObject {
 public:
  WatchedBrowser(IUnknown* control, const IID* refused) : refused_(refused) {
    control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole_));
    control->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&inner_));
  }
  std::vector<std::string> Calls;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (refused_ && IsEqualIID(riid, *refused_)) return E_NOINTERFACE;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IOleObject)) return inner_->QueryInterface(riid, ppv);
    *ppv = static_cast<IOleObject*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --refs_;
    if (left == 0) {
      ole_->Release();
      inner_->Release();
      delete this;
    }
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    Calls.push_back(site ? "SetClientSite" : "SetClientSite(none)");
    return ole_->SetClientSite(site);
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD option) override {
    Calls.push_back(option == OLECLOSE_NOSAVE ? "Close" : "Close(saving)");
    return ole_->Close(option);
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                   LPCRECT pos) override {
    Calls.push_back("DoVerb");
    return ole_->DoVerb(verb, msg, site, index, parent, pos);
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override { return ole_->GetClientSite(site); }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR obj) override { return ole_->SetHostNames(app, obj); }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* m) override { return ole_->SetMoniker(which, m); }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** m) override {
    return ole_->GetMoniker(assign, which, m);
  }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* d, WINBOOL creation, DWORD reserved) override {
    return ole_->InitFromData(d, creation, reserved);
  }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** d) override {
    return ole_->GetClipboardData(reserved, d);
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** e) override { return ole_->EnumVerbs(e); }
  HRESULT STDMETHODCALLTYPE Update() override { return ole_->Update(); }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return ole_->IsUpToDate(); }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override { return ole_->GetUserClassID(id); }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override { return ole_->GetUserType(form, type); }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override { return ole_->SetExtent(aspect, size); }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override { return ole_->GetExtent(aspect, size); }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override { return ole_->Advise(sink, cookie); }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return ole_->Unadvise(cookie); }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** e) override { return ole_->EnumAdvise(e); }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override {
    return ole_->GetMiscStatus(aspect, status);
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override { return ole_->SetColorScheme(palette); }

 private:
  ~WatchedBrowser() = default;
  long refs_ = 1;
  const IID* refused_;
  IOleObject* ole_ = nullptr;
  IUnknown* inner_ = nullptr;
};

// Hands out the watched browser wherever this process creates a browser control.
class WatchedBrowserFactory final : public IClassFactory {
 public:
  explicit WatchedBrowserFactory(IUnknown* browser) : browser_(browser) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory) ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    return browser_->QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }

 private:
  IUnknown* browser_;
};

struct HostSetUp {
  const char* Name;
  const IID* Refused;  // none: the browser is built and then destroyed
  bool Activated;      // the failing step comes after the in-place activation
};
void PrintTo(const HostSetUp& c, std::ostream* os) { *os << c.Name; }

class PageHostLife : public PageHost, public ::testing::WithParamInterface<HostSetUp> {};

// Built or failed half way, the browser ends the same way: the control is closed (out of
// place, its window gone from ours) before it loses its client site, and every reference
// the host took is released.
TEST_P(PageHostLife, ControlIsClosedAndLetGoOf) {
  const HostSetUp& c = GetParam();
  if (!vcl::HasWidgetset()) vcl::InstallWidgetset(vcl::win32::MakeWidgetset());
  auto* watched = new WatchedBrowser(control, c.Refused);
  WatchedBrowserFactory factory(static_cast<IOleObject*>(watched));
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_WebBrowser, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
  {
    vcl::TForm form;
    form.SetClientSize(400, 300);
    form.CreatePeers();
    HWND window = vcl::win32::WindowOf(&form);
    if (c.Refused) {
      try {
        pagehost::win32::MakeBrowser(form);
        ADD_FAILURE() << "built";
      } catch (const EPageError& e) {
        EXPECT_EQ(e.what(), platform::win32::ComErrorText(E_NOINTERFACE));
      }
    } else {
      auto browser = pagehost::win32::MakeBrowser(form);
      EXPECT_NE(GetWindow(window, GW_CHILD), nullptr) << "the control is not in place";
    }
    EXPECT_EQ(GetWindow(window, GW_CHILD), nullptr) << "the control's window stays in ours";
    EXPECT_EQ(pagehost::win32::LatestContainer(), nullptr);
  }
  CoRevokeClassObject(cookie);

  std::vector<std::string> expected{"SetClientSite"};
  if (c.Activated) expected.push_back("DoVerb");
  expected.insert(expected.end(), {"Close", "SetClientSite(none)"});
  EXPECT_EQ(watched->Calls, expected);
  IOleObject* ole = nullptr;
  ASSERT_EQ(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
  IOleClientSite* site = reinterpret_cast<IOleClientSite*>(1);
  ole->GetClientSite(&site);
  EXPECT_EQ(site, nullptr);
  ole->Release();
  EXPECT_EQ(watched->Release(), 0u) << "the host kept references to the control";
}

INSTANTIATE_TEST_SUITE_P(
    PageHost, PageHostLife,
    ::testing::Values(HostSetUp{"Built", nullptr, true},
                      HostSetUp{"BrowserInterfaceRefused", &IID_IWebBrowser2, false},
                      HostSetUp{"EventsRefused", &IID_IConnectionPointContainer, true}),
    [](const auto& info) { return std::string(info.param.Name); });

// The program's main window holds the browser over its whole client area, follows its
// size, and neither hangs nor asks anything while no browser engine is installed.
TEST(PageHostInProgram, BrowserFillsTheMainWindowWithoutAsking) {
  using namespace winetest;
  Process p = Launch(BinFolder() + "\\Slidecaster.exe");
  ASSERT_TRUE(p.Handle);
  HWND main = nullptr;
  WaitUntil([&] { return (main = FindTopLevel(p.Id, "SlidecasterForm", [](HWND w) { return IsWindowVisible(w) != 0; })); },
            20000);
  ASSERT_TRUE(main) << "no main window";
  auto browserFills = [main] {
    HWND child = GetWindow(main, GW_CHILD);
    if (!child) return false;
    RECT client, inner;
    GetClientRect(main, &client);
    GetWindowRect(child, &inner);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&inner), 2);
    return EqualRect(&client, &inner) != 0;
  };
  EXPECT_TRUE(WaitUntil(browserFills, 5000)) << "no browser window over the client area";
  char cls[64] = {};
  GetClassNameA(GetWindow(main, GW_CHILD), cls, sizeof cls);
  RecordProperty("browser_window_class", cls);
  SetWindowPos(main, nullptr, 0, 0, 1000, 760, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(WaitUntil(browserFills, 5000)) << "the browser did not follow the window's size";
  EXPECT_FALSE(WaitUntil([&] { return FindTopLevel(p.Id, "#32770") != nullptr; }, 2000)) << "the program asked something";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(15000)) << "the program did not end when its main window closed";
  p.Close();
}

}  // namespace
