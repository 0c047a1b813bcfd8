#include "win32/UContainer.h"

namespace pagehost::win32 {

namespace {

// Themes as the program draws its own windows: the theme library present, the program
// themed (its manifest asks for common controls 6) and a theme active.
struct ThemeState {
  bool Available = false, Enabled = false;
};

ThemeState Themes() {
  ThemeState state;
  HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
  if (!uxtheme) return state;
  using Query = BOOL(WINAPI*)();
  auto isAppThemed = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsAppThemed")));
  auto isThemeActive = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsThemeActive")));
  state.Available = isAppThemed && isThemeActive;
  state.Enabled = state.Available && isAppThemed() && isThemeActive();
  FreeLibrary(uxtheme);
  return state;
}

class Hold {
 public:
  explicit Hold(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
  ~Hold() { LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION& cs_;
};

}  // namespace

TWBContainer::TWBContainer(IUnknown* browser, IUnknown* inPlaceSite) : TNulWBContainer(browser, inPlaceSite) {
  InitializeCriticalSection(&lock_);
}

TWBContainer::~TWBContainer() { DeleteCriticalSection(&lock_); }

bool TWBContainer::Get(const bool& field) const {
  Hold hold(lock_);
  return field;
}
void TWBContainer::Put(bool& field, bool value) {
  Hold hold(lock_);
  field = value;
}
bool TWBContainer::UseCustomCtxMenu() const { return Get(useCustomCtxMenu_); }
void TWBContainer::SetUseCustomCtxMenu(bool value) { Put(useCustomCtxMenu_, value); }
bool TWBContainer::ShowScrollBars() const { return Get(showScrollBars_); }
void TWBContainer::SetShowScrollBars(bool value) { Put(showScrollBars_, value); }
bool TWBContainer::Show3DBorder() const { return Get(show3DBorder_); }
void TWBContainer::SetShow3DBorder(bool value) { Put(show3DBorder_, value); }
bool TWBContainer::AllowTextSelection() const { return Get(allowTextSelection_); }
void TWBContainer::SetAllowTextSelection(bool value) { Put(allowTextSelection_, value); }

HRESULT TWBContainer::ShowContextMenu(DWORD, POINT* pt, IUnknown*, IDispatch*) {
  Hold hold(lock_);
  if (!useCustomCtxMenu_) return S_FALSE;
  if (PopupMenu && pt) TrackPopupMenu(PopupMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt->x, pt->y, 0, MenuOwner, nullptr);
  return S_OK;
}

HRESULT TWBContainer::GetHostInfo(DOCHOSTUIINFO* info) {
  Hold hold(lock_);
  if (!info) return E_FAIL;
  try {
    ZeroMemory(info, HostInfoSize);
    info->cbSize = HostInfoSize;
    DWORD flags = 0;
    if (!showScrollBars_) flags |= DOCHOSTUIFLAG_SCROLL_NO;
    if (!show3DBorder_) flags |= DOCHOSTUIFLAG_NO3DBORDER;
    if (!allowTextSelection_) flags |= DOCHOSTUIFLAG_DIALOG;
    const ThemeState themes = Themes();
    if (themes.Enabled) flags |= DOCHOSTUIFLAG_THEME;
    else if (themes.Available) flags |= DOCHOSTUIFLAG_NOTHEME;
    info->dwFlags = flags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace pagehost::win32
