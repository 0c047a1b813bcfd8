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
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG TDHTMLEvent::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG TDHTMLEvent::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT TDHTMLEvent::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT TDHTMLEvent::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT TDHTMLEvent::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TDHTMLEvent::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  // A handler's failure must not travel back into the browser. The handler runs from a
  // copy: it may bind this adapter anew or let go of it while it runs.
  try {
    const std::function<void()> handler = OnEvent;
    if (handler) handler();
  } catch (const std::exception& e) {
    vcl::Application.HandleException(e);
  }
  return E_NOTIMPL;
}

}  // namespace pagehost::win32
