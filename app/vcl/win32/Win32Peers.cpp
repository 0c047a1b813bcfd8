#include "vcl/win32/Win32Peers.h"

#include <commctrl.h>

#include <string>

#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace vcl::win32 {

namespace {

const char* const ContainerClass = "SlidecasterContainer";
const char* const FormClass = "SlidecasterForm";

HFONT UiFont() {
  // Tahoma 8 pt, the program's user interface font.
  static HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  return font;
}

COLORREF ColorOf(TColor c) {
  if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
  return static_cast<COLORREF>(c);
}

TControl* ControlOf(HWND h) { return reinterpret_cast<TControl*>(GetWindowLongPtrA(h, GWLP_USERDATA)); }

class Peer : public TControlPeer {
 public:
  Peer(TControl& control, HWND handle) : control_(control), handle_(handle) {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control_));
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  }
  ~Peer() override {
    if (IsWindow(handle_)) {
      SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
      DestroyWindow(handle_);
    }
    if (brush_) DeleteObject(brush_);
  }
  HWND Handle() const { return handle_; }
  bool Updating() const { return updating_; }
  HBRUSH Background() {
    if (!brush_) brush_ = CreateSolidBrush(ColorOf(control_.Color()));
    return brush_;
  }

  void Changed(TProp what) override {
    const bool outer = updating_;
    updating_ = true;
    switch (what) {
      case TProp::Bounds: MoveWindow(handle_, control_.Left(), control_.Top(), control_.Width(), control_.Height(), TRUE); break;
      case TProp::Visible: ShowWindow(handle_, control_.Visible() ? SW_SHOW : SW_HIDE); break;
      case TProp::Enabled: EnableWindow(handle_, control_.Enabled()); break;
      case TProp::Caption:
        SetWindowTextA(handle_, control_.Caption().c_str());
        if (auto* label = dynamic_cast<TLabel*>(&control_); label && label->Transparent) RepaintBeneath();
        break;
      case TProp::Color:
        if (brush_) DeleteObject(brush_);
        brush_ = nullptr;
        InvalidateRect(handle_, nullptr, TRUE);
        break;
      default: Update(what); break;
    }
    updating_ = outer;
  }

 protected:
  virtual void Update(TProp) { InvalidateRect(handle_, nullptr, TRUE); }
  // Runs what the layer asks of the window without reporting it back as the user's doing.
  template <class F>
  void Quietly(F&& f) {
    const bool outer = updating_;
    updating_ = true;
    f();
    updating_ = outer;
  }
  // A transparent control's old text stays on its parent until the parent repaints there.
  void RepaintBeneath() {
    HWND parent = GetParent(handle_);
    RECT r;
    GetWindowRect(handle_, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  TControl& control_;
  HWND handle_;

 private:
  bool updating_ = false;
  HBRUSH brush_ = nullptr;
};

class ComboPeer final : public Peer {
 public:
  ComboPeer(TComboBox& c, HWND h) : Peer(c, h), combo_(c) {
    Update(TProp::Items);
  }

 protected:
  void Update(TProp what) override {
    if (what == TProp::Items) {
      SendMessageA(handle_, CB_RESETCONTENT, 0, 0);
      for (int i = 0; i < combo_.Count(); ++i)
        SendMessageA(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(combo_.Item(i).c_str()));
    }
    SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex()), 0);
  }

 private:
  TComboBox& combo_;
};

class EditPeer final : public Peer {
 public:
  EditPeer(TEdit& e, HWND h) : Peer(e, h), edit_(e) {
    Update(TProp::MaxLength);
    Update(TProp::Text);
  }

 protected:
  void Update(TProp what) override {
    if (what == TProp::MaxLength) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(edit_.MaxLength()), 0);
    if (what == TProp::Text) SetWindowTextA(handle_, edit_.Text().c_str());
  }

 private:
  TEdit& edit_;
};

class CheckPeer final : public Peer {
 public:
  CheckPeer(TCheckBox& c, HWND h) : Peer(c, h), check_(c) { Update(TProp::Checked); }

 protected:
  void Update(TProp what) override {
    if (what == TProp::Checked) SendMessageA(handle_, BM_SETCHECK, check_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  TCheckBox& check_;
};

class ProgressPeer final : public Peer {
 public:
  ProgressPeer(TProgressBar& p, HWND h) : Peer(p, h), bar_(p) { Update(TProp::Range); }

 protected:
  void Update(TProp) override {
    SendMessageA(handle_, PBM_SETRANGE32, static_cast<WPARAM>(bar_.Min()), bar_.Max());
    SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(bar_.Position()), 0);
  }

 private:
  TProgressBar& bar_;
};

class ImagePeer final : public Peer {
 public:
  ImagePeer(TImage& i, HWND h) : Peer(i, h), image_(i) { Update(TProp::Picture); }

 protected:
  void Update(TProp what) override {
    if (what != TProp::Picture || image_.Picture().empty()) return;
    HANDLE bmp = LoadImageA(GetModuleHandleA(nullptr), image_.Picture().c_str(), IMAGE_BITMAP, 0, 0, 0);
    if (!bmp) bmp = LoadImageA(nullptr, image_.Picture().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (bmp) SendMessageA(handle_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
  }

 private:
  TImage& image_;
};

class FormPeer final : public Peer {
 public:
  FormPeer(TForm& f, HWND h) : Peer(f, h), form_(f) { Resize(); }
  void Changed(TProp what) override {
    if (what == TProp::Visible) {
      Quietly([this] { ShowVisible(); });
      return;
    }
    if (what == TProp::Bounds) {
      Resize();
      return;
    }
    Peer::Changed(what);
  }

 protected:
  void Update(TProp what) override {
    if (what != TProp::Bounds) return Peer::Update(what);
    RECT r{0, 0, form_.ClientWidth(), form_.ClientHeight()};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(handle_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(handle_, GWL_EXSTYLE)));
    Place(r.right - r.left, r.bottom - r.top);
    // The frame the system really draws may differ from what it predicts: size again by
    // the client area measured.
    RECT client;
    GetClientRect(handle_, &client);
    int dw = form_.ClientWidth() - client.right, dh = form_.ClientHeight() - client.bottom;
    if (dw || dh) {
      RECT outer;
      GetWindowRect(handle_, &outer);
      Place(outer.right - outer.left + dw, outer.bottom - outer.top + dh);
    }
  }

  // Sizes the window for the form's client size. The system may hold it to other limits
  // (its minimum track size, the screen): the layer goes by the client area it really got.
  void Resize() {
    Quietly([this] { Update(TProp::Bounds); });
    if (IsIconic(handle_)) return;  // no client area to go by until it is restored
    RECT client;
    GetClientRect(handle_, &client);
    form_.PeerResized(client.right, client.bottom);
  }

  void Place(int w, int h) {
    int x = form_.Left(), y = form_.Top();
    if (form_.Position == TPosition::poScreenCenter) {
      RECT work;
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
      x = work.left + (work.right - work.left - w) / 2;
      y = work.top + (work.bottom - work.top - h) / 2;
    }
    SetWindowPos(handle_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  void ShowVisible() {
    if (form_.Visible()) {
      if (form_.Modal()) DisableOthers();
      ShowWindow(handle_, SW_SHOW);
      SetForegroundWindow(handle_);
    } else {
      EnableOthers();
      ShowWindow(handle_, SW_HIDE);
    }
  }
  // A modal form disables the thread's other windows while it shows.
  void DisableOthers() { EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this)); }
  static BOOL CALLBACK DisableOne(HWND w, LPARAM self) {
    auto* peer = reinterpret_cast<FormPeer*>(self);
    if (w != peer->handle_ && IsWindowVisible(w) && IsWindowEnabled(w)) {
      EnableWindow(w, FALSE);
      peer->disabled_.push_back(w);
    }
    return TRUE;
  }
  void EnableOthers() {
    for (HWND w : disabled_)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    disabled_.clear();
  }
  TForm& form_;
  std::vector<HWND> disabled_;
};

// The sheets whose tabs show, in tab order.
std::vector<TTabSheet*> TabbedSheets(const TPageControl& pages) {
  std::vector<TTabSheet*> sheets;
  for (TControl* c : pages.Controls())
    if (auto* sheet = dynamic_cast<TTabSheet*>(c); sheet && sheet->TabVisible) sheets.push_back(sheet);
  return sheets;
}

void AddTabs(HWND tabs, const TPageControl& pages) {
  SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  int index = 0;
  for (TTabSheet* sheet : TabbedSheets(pages)) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string caption = sheet->Caption();
    item.pszText = caption.data();
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
  }
}

// A page control: a plain container whose sheets lie over a tab control when some tabs
// show. The tab control stays below the sheets and does not paint over them.
class PageControlPeer final : public Peer {
 public:
  PageControlPeer(TPageControl& p, HWND h) : Peer(p, h), pages_(p) {
    if (!pages_.ShowsTabs()) return;
    tabs_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0,
                            pages_.Width(), pages_.Height(), handle_, nullptr, GetModuleHandleA(nullptr), nullptr);
    AddTabs(tabs_, pages_);
    Update(TProp::ActivePage);
  }
  // Sheets created later go below their older siblings: put the tabs back under them.
  void KeepTabsBelow() {
    if (tabs_) SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The user picked a tab.
  void TabChanged() {
    const int index = static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0));
    const auto sheets = TabbedSheets(pages_);
    if (index >= 0 && index < static_cast<int>(sheets.size())) pages_.SetActivePage(sheets[static_cast<size_t>(index)]);
  }
  void Changed(TProp what) override {
    Peer::Changed(what);
    if (what == TProp::Bounds && tabs_) MoveWindow(tabs_, 0, 0, pages_.Width(), pages_.Height(), TRUE);
  }

 protected:
  void Update(TProp what) override {
    if (what != TProp::ActivePage || !tabs_) return Peer::Update(what);
    // A sheet whose tab is hidden shows with no tab highlighted.
    const auto sheets = TabbedSheets(pages_);
    int index = -1;
    for (size_t i = 0; i < sheets.size(); ++i)
      if (sheets[i] == pages_.ActivePage()) index = static_cast<int>(i);
    SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

 private:
  TPageControl& pages_;
  HWND tabs_ = nullptr;
};

LRESULT CALLBACK ContainerProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  try {
    TControl* self = ControlOf(h);
    switch (msg) {
      case WM_COMMAND: {
        HWND child = reinterpret_cast<HWND>(l);
        TControl* c = child ? ControlOf(child) : nullptr;
        auto* peer = c ? static_cast<Peer*>(c->Peer()) : nullptr;
        if (!c || !peer || peer->Updating()) break;
        WORD code = HIWORD(w);
        if (code == BN_CLICKED) {
          if (auto* b = dynamic_cast<TButton*>(c)) b->Click();
          else if (auto* x = dynamic_cast<TCheckBox*>(c)) x->Click();
        } else if (code == CBN_SELCHANGE) {
          if (auto* cb = dynamic_cast<TComboBox*>(c))
            cb->Select(static_cast<int>(SendMessageA(child, CB_GETCURSEL, 0, 0)));
        } else if (code == EN_CHANGE) {
          if (auto* e = dynamic_cast<TEdit*>(c)) {
            char text[1024] = {};
            GetWindowTextA(child, text, sizeof text);
            e->Type(text);
          }
        }
        return 0;
      }
      case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(l)->code == static_cast<UINT>(TCN_SELCHANGE))
          if (auto* peer = self ? dynamic_cast<PageControlPeer*>(self->Peer()) : nullptr) peer->TabChanged();
        break;
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN: {
        TControl* c = ControlOf(reinterpret_cast<HWND>(l));
        HDC dc = reinterpret_cast<HDC>(w);
        if (c) SetTextColor(dc, ColorOf(c->FontColor()));
        SetBkMode(dc, TRANSPARENT);
        if (auto* label = dynamic_cast<TLabel*>(c); label && label->Transparent)
          return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        if (self && self->Peer()) return reinterpret_cast<LRESULT>(static_cast<Peer*>(self->Peer())->Background());
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      case WM_ERASEBKGND:
        if (self && self->Peer()) {
          RECT r;
          GetClientRect(h, &r);
          FillRect(reinterpret_cast<HDC>(w), &r, static_cast<Peer*>(self->Peer())->Background());
          return 1;
        }
        break;
      case WM_SIZE:
        // A form sized by someone other than the layer (the user's frame, another program,
        // the system): the layer takes the client size over so aligned children follow.
        // Child windows are sized by the layer alone.
        if (auto* peer = self ? static_cast<Peer*>(self->Peer()) : nullptr;
            peer && !peer->Updating() && w != SIZE_MINIMIZED && dynamic_cast<TForm*>(self))
          self->PeerResized(LOWORD(l), HIWORD(l));
        break;
      case WM_GETMINMAXINFO:
        if (auto* f = dynamic_cast<TForm*>(self)) {
          auto* info = reinterpret_cast<MINMAXINFO*>(l);
          const TFrameSize frame = FormFrame(*f);
          if (f->MinClientWidth) info->ptMinTrackSize.x = f->MinClientWidth + frame.Width;
          if (f->MinClientHeight) info->ptMinTrackSize.y = f->MinClientHeight + frame.Height;
          return 0;
        }
        break;
      case WM_CLOSE:
        if (auto* f = dynamic_cast<TForm*>(self)) {
          f->Close();
          return 0;
        }
        break;
    }
  } catch (const std::exception& e) {
    Application.HandleException(e);
    return 0;
  }
  return DefWindowProcA(h, msg, w, l);
}

HWND ParentWindow(TControl& c) {
  return c.Parent() ? WindowOf(c.Parent()) : nullptr;
}

HWND Child(TControl& c, const char* cls, DWORD style, DWORD exStyle = 0) {
  HWND parent = ParentWindow(c);
  if (!parent) return nullptr;
  return CreateWindowExA(exStyle, cls, c.Caption().c_str(),
                         WS_CHILD | (c.Visible() ? WS_VISIBLE : 0) | (c.Enabled() ? 0 : WS_DISABLED) | style,
                         c.Left(), c.Top(), c.Width(), c.Height(), parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

DWORD FormStyle(const TForm& f) {
  switch (f.BorderStyle) {
    case TFormBorderStyle::bsNone: return WS_POPUP;
    case TFormBorderStyle::bsDialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case TFormBorderStyle::bsSingle: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    case TFormBorderStyle::bsSizeable: return WS_OVERLAPPEDWINDOW;
  }
  return WS_OVERLAPPEDWINDOW;
}

template <class P, class C>
std::unique_ptr<TControlPeer> Make(C& c, HWND h) {
  if (!h) return nullptr;
  return std::make_unique<P>(c, h);
}

}  // namespace

void RegisterWindowClasses() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ContainerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = ContainerClass;
  RegisterClassA(&wc);
  wc.lpszClassName = FormClass;
  wc.hIcon = LoadIcon(wc.hInstance, MAKEINTRESOURCE(1));
  if (!wc.hIcon) wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  RegisterClassA(&wc);
}

TFrameSize FormFrame(const TForm& form) {
  // Measured on the window the system really draws. A minimised window, and one on its
  // way back from that, has no client area to measure against: then the frame is predicted
  // from the style, like that of a window to come.
  if (HWND h = WindowOf(&form); h && !IsIconic(h)) {
    RECT outer, client;
    GetWindowRect(h, &outer);
    GetClientRect(h, &client);
    if (client.right > 0 && client.bottom > 0)
      return TFrameSize{(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
  }
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, FormStyle(form), FALSE, 0);
  return TFrameSize{r.right - r.left, r.bottom - r.top};
}

TSheetArea PageArea(const TPageControl& pages) {
  if (!pages.ShowsTabs()) return TSheetArea{0, 0, pages.Width(), pages.Height()};
  // Measured on a tab control of the same size, font and tabs.
  HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_POPUP, 0, 0, pages.Width(), pages.Height(), nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  RECT r{0, 0, pages.Width(), pages.Height()};
  if (tabs) {
    AddTabs(tabs, pages);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    DestroyWindow(tabs);
  }
  return TSheetArea{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

HWND WindowOf(const TControl* control) {
  auto* peer = control ? dynamic_cast<Peer*>(control->Peer()) : nullptr;
  return peer ? peer->Handle() : nullptr;
}

std::unique_ptr<TControlPeer> CreateNativePeer(TControl& c) {
  if (auto* f = dynamic_cast<TForm*>(&c)) {
    TForm* main = Application.MainForm();
    HWND owner = main && main != f ? WindowOf(main) : nullptr;
    HWND h = CreateWindowExA(0, FormClass, f->Caption().c_str(), FormStyle(*f) | WS_CLIPCHILDREN, CW_USEDEFAULT,
                             CW_USEDEFAULT, 100, 100, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    return Make<FormPeer>(*f, h);
  }
  if (auto* b = dynamic_cast<TButton*>(&c)) return Make<Peer>(*b, Child(c, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON));
  if (auto* x = dynamic_cast<TCheckBox*>(&c)) return Make<CheckPeer>(*x, Child(c, "BUTTON", WS_TABSTOP | BS_CHECKBOX));
  if (auto* cb = dynamic_cast<TComboBox*>(&c))
    return Make<ComboPeer>(*cb, Child(c, "COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST));
  if (auto* e = dynamic_cast<TEdit*>(&c))
    return Make<EditPeer>(*e, Child(c, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE));
  if (auto* l = dynamic_cast<TLabel*>(&c))
    return Make<Peer>(*l, Child(c, "STATIC", l->WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP));
  if (auto* p = dynamic_cast<TProgressBar*>(&c)) return Make<ProgressPeer>(*p, Child(c, PROGRESS_CLASSA, 0));
  if (auto* i = dynamic_cast<TImage*>(&c))
    return Make<ImagePeer>(*i, Child(c, "STATIC", SS_BITMAP | (i->Stretch ? SS_REALSIZECONTROL : 0)));
  if (auto* p = dynamic_cast<TPageControl*>(&c))
    return Make<PageControlPeer>(*p, Child(c, ContainerClass, WS_CLIPCHILDREN));
  // Panels and sheets are plain containers.
  auto peer = Make<Peer>(c, Child(c, ContainerClass, WS_CLIPCHILDREN));
  if (auto* sheet = dynamic_cast<TTabSheet*>(&c); sheet && peer && sheet->PageControl())
    if (auto* pages = dynamic_cast<PageControlPeer*>(sheet->PageControl()->Peer())) pages->KeepTabsBelow();
  return peer;
}

}  // namespace vcl::win32
