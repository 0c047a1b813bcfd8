// One bound element event: the dispatch object a page element's onclick property holds.
// The browser calls Invoke when the element is clicked; the adapter calls its handler.
// Reference counting is off; the main window owns the adapters.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <functional>

#include "PageHost.h"

namespace pagehost::win32 {

class TDHTMLEvent final : public IDispatch, public IEventAdapter {
 public:
  std::function<void()> OnEvent;
  // Stores the handler and answers the dispatch interface to put into onclick.
  IDispatch* HookEvent(std::function<void()> handler);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;
};

}  // namespace pagehost::win32
