// The client site that makes the browser look like a dialog: no context menu of its own,
// no scroll bars, no 3-D border, no text selection, and the program's visual styles.
#pragma once
#include "win32/UNulContainer.h"

namespace pagehost::win32 {

class TWBContainer : public TNulWBContainer {
 public:
  TWBContainer(IUnknown* browser, IUnknown* inPlaceSite);

  // Read by the two host calls below under the lock.
  bool UseCustomCtxMenu() const;
  void SetUseCustomCtxMenu(bool value);
  bool ShowScrollBars() const;
  void SetShowScrollBars(bool value);
  bool Show3DBorder() const;
  void SetShow3DBorder(bool value);
  bool AllowTextSelection() const;
  void SetAllowTextSelection(bool value);
  // The menu shown instead of the browser's own; none shows nothing.
  HMENU PopupMenu = nullptr;
  HWND MenuOwner = nullptr;

  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) override;
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;

 protected:
  ~TWBContainer() override;

 private:
  bool Get(const bool& field) const;
  void Put(bool& field, bool value);
  mutable CRITICAL_SECTION lock_;
  bool useCustomCtxMenu_ = false;
  bool showScrollBars_ = true;
  bool show3DBorder_ = true;
  bool allowTextSelection_ = true;
};

}  // namespace pagehost::win32
