// The browser control's client site with neutral answers: the browser behaves as it
// would on its own. Reference-counted: the browser may hold the site (and its document
// the host handler) beyond the owner's end, so the owner only lets go of its reference.
#pragma once
#include <stdexcept>

#include "win32/IntfDocHostUIHandler.h"

namespace pagehost::win32 {

class TNulWBContainer : public IOleClientSite, public IDocHostUIHandler {
 public:
  // Made with new, holding one reference for its maker. Installs itself as the browser's
  // client site; browser is the control's default interface. inPlaceSite answers the
  // in-place activation interfaces for the window the browser lives in (may be none).
  TNulWBContainer(IUnknown* browser, IUnknown* inPlaceSite);
  TNulWBContainer(const TNulWBContainer&) = delete;
  TNulWBContainer& operator=(const TNulWBContainer&) = delete;

  IOleObject* Browser() const { return oleObject_; }  // none once dismissed

  // The maker's end: no longer the browser's client site, lets go of the browser and of
  // the in-place site (which may be gone next), and releases the maker's reference.
  void Dismiss();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDocHostUIHandler
  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) override;
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
  HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                   IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
  HRESULT STDMETHODCALLTYPE HideUI() override;
  HRESULT STDMETHODCALLTYPE UpdateUI() override;
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL enable) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, WINBOOL frameWindow) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) override;
  HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* target, IDropTarget** result) override;
  HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
  HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR in, LPWSTR* out) override;
  HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* object, IDataObject** result) override;

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL show) override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

 protected:
  virtual ~TNulWBContainer();  // at the last release

 private:
  LONG refs_ = 1;
  IOleObject* oleObject_ = nullptr;
  IUnknown* inPlaceSite_;
};

}  // namespace pagehost::win32
