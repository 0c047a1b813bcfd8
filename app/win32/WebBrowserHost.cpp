#include "win32/WebBrowserHost.h"

#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ocidl.h>

#include <exception>
#include <string>

#include "platform/win32/ComError.h"
#include "vcl/Forms.h"
#include "vcl/win32/Win32Peers.h"
#include "vcl/win32/Win32Widgetset.h"
#include "win32/DHTMLEvent.h"
#include "win32/UContainer.h"

namespace pagehost::win32 {

namespace {

TWBContainer* latestContainer = nullptr;

// The system's text for a failing result code, as the failure's message.
[[noreturn]] void Fail(HRESULT hr) { throw EPageError(platform::win32::ComErrorText(hr)); }

void Check(HRESULT hr) {
  if (FAILED(hr)) Fail(hr);
}

// A call that answered success but no object.
template <class T>
T* Present(T* p) {
  if (!p) Fail(E_POINTER);
  return p;
}

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::string& ansi) {
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    b_ = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (n) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), b_, n);
  }
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* Out() { return &b_; }
  operator BSTR() const { return b_; }
  std::string Ansi() const {
    if (!b_) return "";
    int len = static_cast<int>(SysStringLen(b_));
    int n = WideCharToMultiByte(CP_ACP, 0, b_, len, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    if (n) WideCharToMultiByte(CP_ACP, 0, b_, len, &s[0], n, nullptr, nullptr);
    return s;
  }

 private:
  BSTR b_ = nullptr;
};

template <class T>
class Ptr {
 public:
  Ptr() = default;
  explicit Ptr(T* p) : p_(p) {}
  ~Ptr() {
    if (p_) p_->Release();
  }
  Ptr(const Ptr&) = delete;
  Ptr& operator=(const Ptr&) = delete;
  T** Out() { return &p_; }
  T* operator->() const { return Present(p_); }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Query(IUnknown* from, REFIID iid) {
    Check(Present(from)->QueryInterface(iid, reinterpret_cast<void**>(&p_)));
  }

 private:
  T* p_ = nullptr;
};

// A value as program text; booleans read "True" or "False".
std::string Text(const VARIANT& v) {
  if (v.vt == VT_EMPTY || v.vt == VT_NULL) return "";
  if (v.vt == VT_BOOL) return v.boolVal ? "True" : "False";
  VARIANT copy;
  VariantInit(&copy);
  Check(VariantChangeType(&copy, const_cast<VARIANT*>(&v), 0, VT_BSTR));
  Bstr b;
  *b.Out() = copy.bstrVal;  // taken over
  return b.Ansi();
}

class TElement final : public IElement {
 public:
  explicit TElement(IHTMLElement* e) : e_(e) {}
  std::string TagName() override {
    Bstr b;
    Check(e_->get_tagName(b.Out()));
    return b.Ansi();
  }
  std::string Id() override {
    Bstr b;
    Check(e_->get_id(b.Out()));
    return b.Ansi();
  }
  std::string GetAttribute(const std::string& name) override {
    VARIANT v;
    VariantInit(&v);
    Check(e_->getAttribute(Bstr(name), 0, &v));
    std::string s = Text(v);
    VariantClear(&v);
    return s;
  }
  void SetAttribute(const std::string& name, const std::string& value) override {
    Bstr text(value);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    Check(e_->setAttribute(Bstr(name), v, 0));
  }
  std::string InnerHTML() override {
    Bstr b;
    Check(e_->get_innerHTML(b.Out()));
    return b.Ansi();
  }
  std::string OuterHTML() override {
    Bstr b;
    Check(e_->get_outerHTML(b.Out()));
    return b.Ansi();
  }
  void SetInnerHTML(const std::string& html) override { Check(e_->put_innerHTML(Bstr(html))); }
  void SetOuterHTML(const std::string& html) override { Check(e_->put_outerHTML(Bstr(html))); }
  void BindClick(IEventAdapter& adapter, std::function<void()> handler) override {
    TDHTMLEvent& event = dynamic_cast<TDHTMLEventAdapter&>(adapter).Event();
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = event.HookEvent(std::move(handler));
    Check(e_->put_onclick(v));
  }

 private:
  Ptr<IHTMLElement> e_;
};

// Forwards the browser's document-complete event.
class TBrowserEvents final : public IDispatch {
 public:
  std::function<void()> OnDocumentComplete;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
      *ppv = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (id != DISPID_DOCUMENTCOMPLETE) return S_OK;
    try {
      if (OnDocumentComplete) OnDocumentComplete();
    } catch (const std::exception& e) {
      vcl::Application.HandleException(e);
    }
    return S_OK;
  }
};

const UINT_PTR ResizeSubclass = 0x5C1D;

// The browser in place over a window's client area, with the in-place site and frame
// that activation asks for.
class TBrowserHost final : public IWebBrowser, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit TBrowserHost(HWND window) : window_(window) {
    if (!window_) throw EPageError("The browser needs a window to live in.");
    Ptr<IUnknown> control;
    Check(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                           reinterpret_cast<void**>(control.Out())));
    container_ = new TWBContainer(control.Get(), static_cast<IOleInPlaceSite*>(this));
    try {
      Activate(control.Get());
    } catch (...) {
      // The control may be active in place already and would keep calling this host.
      LetGo();
      throw;
    }
    // Last, when nothing can fail any more: the window's size changes reach the browser.
    SetWindowSubclass(window_, ResizeProc, ResizeSubclass, reinterpret_cast<DWORD_PTR>(this));
    vcl::win32::SetKeyFilter([this](MSG& msg) { return TranslateKey(msg); });
    latestContainer = container_;
  }

  ~TBrowserHost() override {
    vcl::win32::SetKeyFilter(nullptr);
    RemoveWindowSubclass(window_, ResizeProc, ResizeSubclass);
    LetGo();
  }

  // --- IWebBrowser ---
  void Navigate(const std::string& url) override {
    VARIANT empty;
    VariantInit(&empty);
    Check(browser_->Navigate(Bstr(url), &empty, &empty, &empty, &empty));
  }
  std::string Title() override {
    Ptr<IHTMLDocument2> doc;
    if (!Document(doc)) return "";
    Bstr b;
    Check(doc->get_title(b.Out()));
    return b.Ansi();
  }
  ElementPtr ElementById(const std::string& id) override {
    Ptr<IHTMLDocument2> doc;
    if (!Document(doc)) return nullptr;
    Ptr<IHTMLDocument3> doc3;
    doc3.Query(doc.Get(), IID_IHTMLDocument3);
    IHTMLElement* e = nullptr;
    Check(doc3->getElementById(Bstr(id), &e));
    return e ? std::make_shared<TElement>(e) : nullptr;
  }
  std::vector<ElementPtr> AllElements() override {
    std::vector<ElementPtr> all;
    Ptr<IHTMLDocument2> doc;
    if (!Document(doc)) return all;
    Ptr<IHTMLElementCollection> items;
    Check(doc->get_all(items.Out()));
    long count = 0;
    Check(items->get_length(&count));
    for (long i = 0; i < count; ++i) {
      VARIANT index, none;
      VariantInit(&index);
      VariantInit(&none);
      index.vt = VT_I4;
      index.lVal = i;
      Ptr<IDispatch> item;
      Check(items->item(index, none, item.Out()));
      if (!item) continue;
      IHTMLElement* e = nullptr;
      if (SUCCEEDED(item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&e))) && e)
        all.push_back(std::make_shared<TElement>(e));
    }
    return all;
  }
  std::unique_ptr<IEventAdapter> NewEventAdapter() override { return std::make_unique<TDHTMLEventAdapter>(); }

  // --- IUnknown (reference counting off: the window owns the host, and closing the
  // control ends its use of the in-place site and frame) ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
      *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceFrame) || IsEqualIID(riid, IID_IOleInPlaceUIWindow))
      *ppv = static_cast<IOleInPlaceFrame*>(this);
    // The container's own interfaces come from the container; anything else neither of
    // the two answers (the container asks this site for what it does not know itself, so
    // passing that on again would go round for ever).
    else if (container_ && (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite) ||
                            IsEqualIID(riid, IID_IDocHostUIHandler)))
      return container_->QueryInterface(riid, ppv);
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }

  // --- IOleWindow ---
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }

  // --- IOleInPlaceSite ---
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame) *frame = static_cast<IOleInPlaceFrame*>(this);
    if (doc) *doc = nullptr;
    if (pos) GetClientRect(window_, pos);
    if (clip) GetClientRect(window_, clip);
    if (info) {
      info->fMDIApp = FALSE;
      info->hwndFrame = window_;
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT pos) override {
    Ptr<IOleInPlaceObject> place;
    if (pos && container_ &&
        SUCCEEDED(container_->Browser()->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(place.Out()))))
      place->SetObjectRects(pos, pos);
    return S_OK;
  }

  // --- IOleInPlaceUIWindow / IOleInPlaceFrame: the window has no tools or menus to share ---
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  void Activate(IUnknown* control) {
    container_->SetUseCustomCtxMenu(true);
    container_->SetShowScrollBars(false);
    container_->SetShow3DBorder(false);
    container_->SetAllowTextSelection(false);
    container_->MenuOwner = window_;
    browser_.Query(control, IID_IWebBrowser2);
    Check(browser_->put_Silent(VARIANT_TRUE));

    RECT r;
    GetClientRect(window_, &r);
    Check(container_->Browser()->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container_, 0, window_, &r));

    Ptr<IConnectionPointContainer> points;
    points.Query(control, IID_IConnectionPointContainer);
    Check(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events_point_.Out()));
    Check(events_point_->Advise(&events_, &cookie_));
    events_.OnDocumentComplete = [this] {
      if (OnDocumentComplete) OnDocumentComplete();
    };
  }

  // The end of the browser, built or half built: no more events, the control closed
  // (out of place, its own window gone), and the container no longer its site. The
  // container is counted: the browser may release it later.
  void LetGo() {
    if (cookie_) events_point_->Unadvise(cookie_);
    cookie_ = 0;
    if (latestContainer == container_) latestContainer = nullptr;
    if (IOleObject* control = container_->Browser()) control->Close(OLECLOSE_NOSAVE);
    container_->Dismiss();
    container_ = nullptr;
  }

  // Keys typed into the page go to the browser first (tabbing between fields, editing
  // keys), as a browser on its own would have them.
  bool TranslateKey(MSG& msg) {
    Ptr<IOleInPlaceActiveObject> active;
    if (FAILED(container_->Browser()->QueryInterface(IID_IOleInPlaceActiveObject,
                                                      reinterpret_cast<void**>(active.Out()))) ||
        !active)
      return false;
    HWND inner = nullptr;
    if (FAILED(active->GetWindow(&inner)) || !inner || (msg.hwnd != inner && !IsChild(inner, msg.hwnd)))
      return false;
    return active->TranslateAccelerator(&msg) == S_OK;
  }
  bool Document(Ptr<IHTMLDocument2>& doc) {
    Ptr<IDispatch> disp;
    Check(browser_->get_Document(disp.Out()));
    if (!disp) return false;
    doc.Query(disp.Get(), IID_IHTMLDocument2);
    return true;
  }
  void Resize() {
    RECT r;
    GetClientRect(window_, &r);
    OnPosRectChange(&r);
  }
  static LRESULT CALLBACK ResizeProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
    if (msg == WM_SIZE) reinterpret_cast<TBrowserHost*>(self)->Resize();
    return DefSubclassProc(h, msg, w, l);
  }

  HWND window_;
  TWBContainer* container_ = nullptr;  // holds one reference until LetGo
  Ptr<IWebBrowser2> browser_;
  TBrowserEvents events_;
  Ptr<IConnectionPoint> events_point_;
  DWORD cookie_ = 0;
};

}  // namespace

std::unique_ptr<IWebBrowser> MakeBrowser(vcl::TForm& host) {
  return std::make_unique<TBrowserHost>(vcl::win32::WindowOf(&host));
}

TWBContainer* LatestContainer() { return latestContainer; }

}  // namespace pagehost::win32
