#include "win32/DHTMLEvent.h"

#include <exception>

#include "vcl/Forms.h"

namespace pagehost::win32 {

IDispatch* TDHTMLEvent::HookEvent(std::function<void()> handler) {
  OnEvent = std::move(handler);
  return this;
}

HRESULT TDHTMLEvent::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *ppv = static_cast<IDispatch*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT TDHTMLEvent::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT TDHTMLEvent::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT TDHTMLEvent::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TDHTMLEvent::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  // A handler's failure must not travel back into the browser.
  try {
    if (OnEvent) OnEvent();
  } catch (const std::exception& e) {
    vcl::Application.HandleException(e);
  }
  return E_NOTIMPL;
}

}  // namespace pagehost::win32
