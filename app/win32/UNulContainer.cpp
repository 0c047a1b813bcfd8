#include "win32/UNulContainer.h"

#include "PageHost.h"

namespace pagehost::win32 {

TNulWBContainer::TNulWBContainer(IUnknown* browser, IUnknown* inPlaceSite) : inPlaceSite_(inPlaceSite) {
  if (!browser || FAILED(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&oleObject_))) ||
      !oleObject_)
    throw EPageError("Browser's Default interface does not support IOleObject");
  HRESULT hr = oleObject_->SetClientSite(this);
  if (FAILED(hr)) {
    oleObject_->Release();
    throw EPageError("The browser refused its client site.");
  }
}

TNulWBContainer::~TNulWBContainer() {
  if (oleObject_) oleObject_->Release();
}

void TNulWBContainer::Dismiss() {
  inPlaceSite_ = nullptr;
  if (IOleObject* browser = oleObject_) {
    oleObject_ = nullptr;
    browser->SetClientSite(nullptr);
    browser->Release();
  }
  Release();
}

ULONG TNulWBContainer::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG TNulWBContainer::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT TNulWBContainer::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
    *ppv = static_cast<IOleClientSite*>(this);
  else if (IsEqualIID(riid, IID_IDocHostUIHandler))
    *ppv = static_cast<IDocHostUIHandler*>(this);
  else if (inPlaceSite_)
    return inPlaceSite_->QueryInterface(riid, ppv);
  if (!*ppv) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT TNulWBContainer::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
HRESULT TNulWBContainer::GetHostInfo(DOCHOSTUIINFO*) { return S_OK; }
HRESULT TNulWBContainer::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                IOleInPlaceUIWindow*) {
  return S_OK;
}
HRESULT TNulWBContainer::HideUI() { return S_OK; }
HRESULT TNulWBContainer::UpdateUI() { return S_OK; }
HRESULT TNulWBContainer::EnableModeless(WINBOOL) { return S_OK; }
HRESULT TNulWBContainer::OnDocWindowActivate(WINBOOL) { return S_OK; }
HRESULT TNulWBContainer::OnFrameWindowActivate(WINBOOL) { return S_OK; }
HRESULT TNulWBContainer::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) { return S_FALSE; }
HRESULT TNulWBContainer::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
HRESULT TNulWBContainer::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  if (key) *key = nullptr;
  return E_FAIL;
}
HRESULT TNulWBContainer::GetDropTarget(IDropTarget*, IDropTarget** result) {
  if (result) *result = nullptr;
  return E_FAIL;
}
HRESULT TNulWBContainer::GetExternal(IDispatch** external) {
  if (external) *external = nullptr;
  return E_FAIL;
}
HRESULT TNulWBContainer::TranslateUrl(DWORD, LPWSTR, LPWSTR* out) {
  if (out) *out = nullptr;
  return S_FALSE;
}
HRESULT TNulWBContainer::FilterDataObject(IDataObject*, IDataObject** result) {
  if (result) *result = nullptr;
  return S_FALSE;
}

HRESULT TNulWBContainer::SaveObject() { return S_OK; }
HRESULT TNulWBContainer::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT TNulWBContainer::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}
HRESULT TNulWBContainer::ShowObject() { return S_OK; }
HRESULT TNulWBContainer::OnShowWindow(WINBOOL) { return S_OK; }
HRESULT TNulWBContainer::RequestNewObjectLayout() { return E_NOTIMPL; }

}  // namespace pagehost::win32
