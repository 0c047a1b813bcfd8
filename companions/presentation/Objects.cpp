#include "Objects.h"

#include <olectl.h>

#include <cmath>

namespace standin {

// {914934C2-5A91-11CF-8700-00AA0060263B}
const IID EventsIid = {0x914934C2, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};

namespace {

const UINT FireMessage = WM_APP + 1;  // wParam: event; lParam: the show window object, one reference
const UINT IdleMessage = WM_APP + 2;
const UINT_PTR TimingTimer = 1;
const UINT_PTR ScreenTimer = 2;
const long UseSlideTimings = 2;
const wchar_t* const ShowClass = L"screenClass";
const wchar_t* const LoopClass = L"PowerpntStandInLoop";

const wchar_t* const NoShowText = L"No slide show is running.";
const wchar_t* const EndedText = L"The slide show has ended.";

// One background per slide number, so a recording shows which slide it saw.
const COLORREF Backgrounds[] = {RGB(200, 40, 40),  RGB(40, 150, 60),  RGB(40, 70, 200),  RGB(220, 170, 30),
                                RGB(140, 60, 170), RGB(30, 160, 170), RGB(230, 110, 30), RGB(110, 110, 110)};

template <class T>
T* Hold(T* object) {
  object->AddRef();
  return object;
}

double Dpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int Pixels(double points) { return static_cast<int>(std::floor(points * Dpi() / 72.0 + 0.5)); }

LRESULT CALLBACK ShowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(w, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* show = reinterpret_cast<SlideShowWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  if (show) return show->Handle(w, message, wParam, lParam);
  return DefWindowProcW(w, message, wParam, lParam);
}

LRESULT CALLBACK LoopProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(w, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* app = reinterpret_cast<Application*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  if (app) return app->Handle(w, message, wParam, lParam);
  return DefWindowProcW(w, message, wParam, lParam);
}

// ---- collections and small objects ----

const Member SettingsMembers[] = {{L"Run", Kind::Method, 0, 0}, {L"AdvanceMode", Kind::GetPut}};

class Settings : public DispatchObject {
 public:
  explicit Settings(Presentation* deck) : DispatchObject(SettingsMembers, 2), deck_(Hold(deck)) {}

 protected:
  ~Settings() override { deck_->Release(); }
  HRESULT Call(UINT member, bool put, const Args& args, VARIANT& result, EXCEPINFO*) override {
    if (member == 0) {
      deck_->StartShow();
      Put(result, Hold(deck_->Show()));
      return S_OK;
    }
    if (put) return args.Int(0, deck_->AdvanceMode);
    V_VT(&result) = VT_I4;
    V_I4(&result) = deck_->AdvanceMode;
    return S_OK;
  }

 private:
  Presentation* deck_;
};

const Member ViewMembers[] = {
    {L"Next", Kind::Method, 0, 0}, {L"Exit", Kind::Method, 0, 0}, {L"CurrentShowPosition", Kind::Get}};

const Member TransitionMembers[] = {{L"AdvanceOnTime", Kind::GetPut}};

class Transition : public DispatchObject {
 public:
  Transition(Presentation* deck, std::shared_ptr<Slide> slide)
      : DispatchObject(TransitionMembers, 1), deck_(Hold(deck)), slide_(std::move(slide)) {}

 protected:
  ~Transition() override { deck_->Release(); }
  HRESULT Call(UINT, bool put, const Args& args, VARIANT& result, EXCEPINFO*) override {
    if (put) return args.Int(0, slide_->AdvanceOnTime);
    V_VT(&result) = VT_I4;
    V_I4(&result) = slide_->AdvanceOnTime;
    return S_OK;
  }

 private:
  Presentation* deck_;
  std::shared_ptr<Slide> slide_;
};

const Member SlideMembers[] = {{L"SlideShowTransition", Kind::Get}, {L"Duplicate", Kind::Method, 0, 0}};

class SlideObject : public DispatchObject {
 public:
  SlideObject(Presentation* deck, std::shared_ptr<Slide> slide)
      : DispatchObject(SlideMembers, 2), deck_(Hold(deck)), slide_(std::move(slide)) {}

 protected:
  ~SlideObject() override { deck_->Release(); }
  HRESULT Call(UINT member, bool, const Args&, VARIANT& result, EXCEPINFO* error) override {
    if (member == 0) {
      Put(result, new Transition(deck_, slide_));
      return S_OK;
    }
    SlideList& slides = deck_->Slides();
    for (size_t i = 0; i < slides.size(); ++i) {
      if (slides[i] != slide_) continue;
      auto copy = std::make_shared<Slide>(*slide_);
      slides.insert(slides.begin() + static_cast<std::ptrdiff_t>(i) + 1, copy);
      if (SlideShowWindow* show = deck_->Show()) show->SlideInserted(static_cast<long>(i) + 2);
      Put(result, new SlideObject(deck_, copy));
      return S_OK;
    }
    return Fail(error, L"The slide is no longer in the presentation.");
  }

 private:
  Presentation* deck_;
  std::shared_ptr<Slide> slide_;
};

const Member SlidesMembers[] = {{L"Count", Kind::Get}, {L"Item", Kind::Method, 1, 1}};

class SlidesCollection : public DispatchObject {
 public:
  explicit SlidesCollection(Presentation* deck) : DispatchObject(SlidesMembers, 2), deck_(Hold(deck)) {}

 protected:
  ~SlidesCollection() override { deck_->Release(); }
  HRESULT Call(UINT member, bool, const Args& args, VARIANT& result, EXCEPINFO* error) override {
    const SlideList& slides = deck_->Slides();
    if (member == 0) {
      V_VT(&result) = VT_I4;
      V_I4(&result) = static_cast<long>(slides.size());
      return S_OK;
    }
    long index = 0;
    HRESULT hr = args.Int(0, index);
    if (FAILED(hr)) return hr;
    if (index < 1 || index > static_cast<long>(slides.size()))
      return Fail(error, L"Slide " + std::to_wstring(index) + L" is not in the range 1 to " +
                             std::to_wstring(slides.size()) + L".");
    Put(result, new SlideObject(deck_, slides[static_cast<size_t>(index - 1)]));
    return S_OK;
  }

 private:
  Presentation* deck_;
};

const Member PresentationsMembers[] = {{L"Open", Kind::Method, 1, 4}};

class PresentationsCollection : public DispatchObject {
 public:
  explicit PresentationsCollection(Application* app) : DispatchObject(PresentationsMembers, 1), app_(app) {}

 protected:
  HRESULT Call(UINT, bool, const Args& args, VARIANT& result, EXCEPINFO* error) override {
    std::wstring path;
    HRESULT hr = args.Text(0, path);
    if (FAILED(hr)) return hr;
    // Read-only, untitled and with-window change nothing here: no document window is
    // ever shown and the deck is never written.
    for (UINT i = 1; i < args.Count(); ++i) {
      long flag = 0;
      if (FAILED(hr = args.Int(i, flag))) return hr;
    }
    Presentation* deck = app_->Open(path);
    if (!deck) return Fail(error, L"The file cannot be opened as a presentation: " + path);
    Put(result, Hold(deck));
    return S_OK;
  }

 private:
  Application* app_;  // lives as long as the process
};

const Member PresentationMembers[] = {
    {L"SlideShowSettings", Kind::Get}, {L"SlideShowWindow", Kind::Get}, {L"Slides", Kind::Get}};
const Member WindowMembers[] = {{L"Left", Kind::GetPut},
                                {L"Top", Kind::GetPut},
                                {L"Width", Kind::GetPut},
                                {L"Height", Kind::GetPut},
                                {L"View", Kind::Get}};
const Member ApplicationMembers[] = {{L"Presentations", Kind::Get}, {L"ActivePresentation", Kind::Get}};

}  // namespace

// The slide show window's view: moving on, leaving, and where the show stands.
class View : public DispatchObject {
 public:
  explicit View(SlideShowWindow* show) : DispatchObject(ViewMembers, 3), show_(Hold(show)) {}

 protected:
  ~View() override { show_->Release(); }
  HRESULT Call(UINT member, bool, const Args&, VARIANT& result, EXCEPINFO* error) override {
    if (!show_->Running()) return Fail(error, EndedText);
    if (member == 0) show_->Advance();
    else if (member == 1) show_->End();
    else {
      V_VT(&result) = VT_I4;
      V_I4(&result) = show_->position_;
    }
    return S_OK;
  }

 private:
  SlideShowWindow* show_;
};

// ---- the slide show window ----

SlideShowWindow::SlideShowWindow(Presentation* deck) : DispatchObject(WindowMembers, 5), deck_(Hold(deck)) {
  double dpi = Dpi();
  width_ = GetSystemMetrics(SM_CXSCREEN) * 72.0 / dpi;
  height_ = GetSystemMetrics(SM_CYSCREEN) * 72.0 / dpi;
}

SlideShowWindow::~SlideShowWindow() {
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  deck_->Release();
}

void SlideShowWindow::Begin() {
  wchar_t delay[32] = {};
  GetEnvironmentVariableW(L"POWERPNT_SHOW_DELAY", delay, ARRAYSIZE(delay));
  if (lstrcmpiW(delay, L"never") == 0) return;
  DWORD ms = wcstoul(delay, nullptr, 10);
  if (ms > 0) TheApplication().ShowAfter(this, ms);
  else Appear();
}

void SlideShowWindow::Appear() {
  if (ended_ || window_) return;
  static bool registered = false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ShowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = ShowClass;
    registered = RegisterClassW(&wc) != 0;
  }
  const std::wstring& path = deck_->Path();
  std::wstring title = L"Slide Show - " + path.substr(path.find_last_of(L"\\/") + 1);
  window_ = CreateWindowExW(0, ShowClass, title.c_str(), WS_POPUP, Pixels(left_), Pixels(top_), Pixels(width_),
                            Pixels(height_), nullptr, nullptr, instance, this);
  if (!window_) return;
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  // Activation is what a watching hook sees of a show that starts.
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
  SetTimer(window_, ScreenTimer, 40, nullptr);
  TheApplication().Fire(SlideShowBegin, this);
  EnterSlide();
}

void SlideShowWindow::End() {
  if (ended_) return;
  ended_ = true;
  if (window_) {
    HWND w = window_;
    window_ = nullptr;
    DestroyWindow(w);
  }
  TheApplication().CheckIdle();
}

void SlideShowWindow::Advance() {
  if (position_ >= static_cast<long>(deck_->Slides().size())) return;
  ++position_;
  if (window_) InvalidateRect(window_, nullptr, FALSE);
  EnterSlide();
}

void SlideShowWindow::SlideInserted(long position) {
  if (position_ >= position) ++position_;
}

void SlideShowWindow::EnterSlide() {
  if (!window_) return;
  const Slide& slide = *deck_->Slides()[static_cast<size_t>(position_ - 1)];
  KillTimer(window_, TimingTimer);
  if (slide.TimingSeconds > 0) SetTimer(window_, TimingTimer, static_cast<UINT>(slide.TimingSeconds) * 1000, nullptr);
  DrawOntoScreen();
  TheApplication().Fire(SlideShowNextSlide, this);
}

void SlideShowWindow::Place() {
  if (window_)
    SetWindowPos(window_, nullptr, Pixels(left_), Pixels(top_), Pixels(width_), Pixels(height_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SlideShowWindow::Draw(HDC dc, int width, int height) {
  const Slide& slide = *deck_->Slides()[static_cast<size_t>(position_ - 1)];
  if (HBITMAP picture = deck_->Picture(slide.Look)) {
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    return;
  }
  RECT all = {0, 0, width, height};
  HBRUSH background = CreateSolidBrush(Backgrounds[(slide.Look - 1) % ARRAYSIZE(Backgrounds)]);
  FillRect(dc, &all, background);
  DeleteObject(background);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  struct Line {
    std::wstring Text;
    int Height;
    RECT Box;
  } lines[] = {{std::to_wstring(slide.Look), height / 2, {0, height / 8, width, height * 5 / 8}},
               {slide.Title, height / 12, {0, height * 5 / 8, width, height * 7 / 8}}};
  for (Line& line : lines) {
    HFONT font = CreateFontW(-line.Height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, line.Text.c_str(), -1, &line.Box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
  }
}

// A window adopted by another process's window is not drawn on screen by Wine's X11
// driver, so a recording that copies the screen would see the adopter instead. While
// adopted and not made transparent, the slide is also drawn straight onto the screen
// where the window lies, clipped by its ancestors.
void SlideShowWindow::DrawOntoScreen() {
  if (!window_) return;
  HWND parent = GetAncestor(window_, GA_PARENT);
  if (!parent || parent == GetDesktopWindow() || !IsWindowVisible(window_)) return;
  if (GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_LAYERED) return;
  RECT whole, visible;
  GetWindowRect(window_, &whole);
  visible = whole;
  for (HWND a = parent; a && a != GetDesktopWindow(); a = GetAncestor(a, GA_PARENT)) {
    RECT client;
    GetClientRect(a, &client);
    MapWindowPoints(a, nullptr, reinterpret_cast<POINT*>(&client), 2);
    IntersectRect(&visible, &visible, &client);
  }
  if (IsRectEmpty(&visible)) return;
  int width = whole.right - whole.left, height = whole.bottom - whole.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  Draw(memory, width, height);
  BitBlt(screen, visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top, memory,
         visible.left - whole.left, visible.top - whole.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

LRESULT SlideShowWindow::Handle(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      RECT client;
      GetClientRect(w, &client);
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
      HGDIOBJ old = SelectObject(memory, bitmap);
      Draw(memory, client.right, client.bottom);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(w, nullptr, FALSE);
      break;
    case WM_TIMER:
      if (wParam == ScreenTimer) DrawOntoScreen();
      if (wParam == TimingTimer) {
        KillTimer(w, TimingTimer);
        const Slide& slide = *deck_->Slides()[static_cast<size_t>(position_ - 1)];
        if (deck_->AdvanceMode == UseSlideTimings && slide.AdvanceOnTime != 0) Advance();
      }
      return 0;
    case WM_NCDESTROY:
      // Closed from outside (its adopter went, or a close message): the show is over.
      SetWindowLongPtrW(w, GWLP_USERDATA, 0);
      if (window_ == w) {
        window_ = nullptr;
        End();
      }
      break;
  }
  return DefWindowProcW(w, message, wParam, lParam);
}

HRESULT SlideShowWindow::Call(UINT member, bool put, const Args& args, VARIANT& result, EXCEPINFO* error) {
  if (ended_) return Fail(error, EndedText);
  if (member == 4) {
    Put(result, new View(this));
    return S_OK;
  }
  double* value[] = {&left_, &top_, &width_, &height_};
  if (put) {
    HRESULT hr = args.Double(0, *value[member]);
    if (SUCCEEDED(hr)) Place();
    return hr;
  }
  V_VT(&result) = VT_R8;
  V_R8(&result) = *value[member];
  return S_OK;
}

// ---- presentation ----

Presentation::Presentation(const std::wstring& path, SlideList slides)
    : DispatchObject(PresentationMembers, 3), path_(path), slides_(std::move(slides)) {}

Presentation::~Presentation() {
  if (show_) show_->Release();
  for (auto& picture : pictures_)
    if (picture.second) DeleteObject(picture.second);
}

void Presentation::StartShow() {
  if (show_) {
    show_->End();
    show_->Release();
  }
  show_ = new SlideShowWindow(this);
  show_->Begin();
}

HBITMAP Presentation::Picture(int look) {
  auto found = pictures_.find(look);
  if (found != pictures_.end()) return found->second;
  auto picture = static_cast<HBITMAP>(
      LoadImageW(nullptr, PicturePath(path_, look).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  pictures_[look] = picture;
  return picture;
}

HRESULT Presentation::Call(UINT member, bool, const Args&, VARIANT& result, EXCEPINFO* error) {
  switch (member) {
    case 0:
      Put(result, new Settings(this));
      return S_OK;
    case 1:
      if (!Show()) return Fail(error, NoShowText);
      Put(result, Hold(Show()));
      return S_OK;
    default:
      Put(result, new SlidesCollection(this));
      return S_OK;
  }
}

// ---- events ----

STDMETHODIMP EventPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP EventPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = EventsIid;
  return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionPointContainer(IConnectionPointContainer** owner) {
  if (!owner) return E_POINTER;
  *owner = Hold(owner_);
  return S_OK;
}

STDMETHODIMP EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  // Asked for IDispatch, not for the events' own interface id: a sink in another process
  // is reached through the standard dispatch proxy only.
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch)
    return CONNECT_E_CANNOTCONNECT;
  *cookie = ++next_;
  sinks_[*cookie] = dispatch;
  return S_OK;
}

STDMETHODIMP EventPoint::Unadvise(DWORD cookie) {
  auto found = sinks_.find(cookie);
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  IDispatch* sink = found->second;
  sinks_.erase(found);
  sink->Release();
  return S_OK;
}

STDMETHODIMP EventPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

void EventPoint::Fire(DISPID event, IDispatch* window) {
  // A sink may unadvise while it is being called.
  std::vector<IDispatch*> sinks;
  for (auto& s : sinks_) sinks.push_back(Hold(s.second));
  for (IDispatch* sink : sinks) {
    VARIANT argument;
    V_VT(&argument) = VT_DISPATCH;
    V_DISPATCH(&argument) = window;
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    sink->Release();
  }
}

// ---- application ----

Application& TheApplication() {
  static Application* app = new Application();  // lives as long as the process
  return *app;
}

Application::Application() : DispatchObject(ApplicationMembers, 2), events_(this) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = LoopProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = LoopClass;
  RegisterClassW(&wc);
  loop_ = CreateWindowExW(0, LoopClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
}

STDMETHODIMP Application::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) *out = static_cast<IConnectionPointContainer*>(this);
  else if (IsEqualIID(iid, IID_IExternalConnection)) *out = static_cast<IExternalConnection*>(this);
  else return DispatchObject::QueryInterface(iid, out);
  AddRef();
  return S_OK;
}

STDMETHODIMP Application::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP Application::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(iid, EventsIid)) return CONNECT_E_NOCONNECTION;
  *point = Hold(&events_);
  return S_OK;
}

STDMETHODIMP_(DWORD) Application::AddConnection(DWORD kind, DWORD) {
  return kind & EXTCONN_STRONG ? static_cast<DWORD>(++connections_) : 0;
}

STDMETHODIMP_(DWORD) Application::ReleaseConnection(DWORD kind, DWORD, BOOL) {
  if (!(kind & EXTCONN_STRONG)) return 0;
  if (--connections_ == 0) CheckIdle();
  return static_cast<DWORD>(connections_);
}

Presentation* Application::Open(const std::wstring& path) {
  SlideList slides;
  if (!ReadDeck(path, slides)) return nullptr;
  auto* deck = new Presentation(path, std::move(slides));
  open_.push_back(deck);
  return deck;
}

void Application::Fire(DISPID event, SlideShowWindow* window) {
  window->AddRef();
  PostMessageW(loop_, FireMessage, static_cast<WPARAM>(event), reinterpret_cast<LPARAM>(window));
}

void Application::ShowAfter(SlideShowWindow* window, DWORD ms) {
  window->AddRef();  // given back when the timer fires
  SetTimer(loop_, reinterpret_cast<UINT_PTR>(window), ms, nullptr);
}

void Application::CheckIdle() { PostMessageW(loop_, IdleMessage, 0, 0); }

LRESULT Application::Handle(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case FireMessage: {
      auto* window = reinterpret_cast<SlideShowWindow*>(lParam);
      events_.Fire(static_cast<DISPID>(wParam), window);
      window->Release();
      return 0;
    }
    case WM_TIMER: {
      KillTimer(w, wParam);
      auto* window = reinterpret_cast<SlideShowWindow*>(wParam);
      window->Appear();
      window->Release();
      return 0;
    }
    case IdleMessage: {
      if (connections_ > 0) return 0;
      for (Presentation* deck : open_)
        if (deck->Show()) return 0;
      PostQuitMessage(0);
      return 0;
    }
  }
  return DefWindowProcW(w, message, wParam, lParam);
}

HRESULT Application::Call(UINT member, bool, const Args&, VARIANT& result, EXCEPINFO* error) {
  if (member == 0) {
    Put(result, new PresentationsCollection(this));
    return S_OK;
  }
  if (open_.empty()) return Fail(error, L"No presentation is open.");
  Put(result, Hold(open_.back()));
  return S_OK;
}

}  // namespace standin
