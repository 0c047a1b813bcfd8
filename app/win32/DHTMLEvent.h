// One bound element event: the dispatch object a page element's onclick property holds.
// The browser calls Invoke when the element is clicked; the adapter calls its handler.
// Reference-counted: a page keeps its onclick objects until the browser lets go of the
// document, which may be after the main window has let go of its adapters.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <functional>

#include "PageHost.h"

namespace pagehost::win32 {

class TDHTMLEvent final : public IDispatch {
 public:
  TDHTMLEvent() = default;  // made with new, holding one reference for its maker
  TDHTMLEvent(const TDHTMLEvent&) = delete;
  TDHTMLEvent& operator=(const TDHTMLEvent&) = delete;

  std::function<void()> OnEvent;
  // Stores the handler and answers the dispatch interface to put into onclick.
  IDispatch* HookEvent(std::function<void()> handler);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  ~TDHTMLEvent() = default;  // at the last release
  LONG refs_ = 1;
};

// The main window's hold on one adapter. Letting go of it disconnects the handler (whose
// window may be going) and releases the window's reference; a page that still holds the
// adapter finds it answering, calling nothing.
class TDHTMLEventAdapter final : public IEventAdapter {
 public:
  TDHTMLEventAdapter() : event_(new TDHTMLEvent) {}
  ~TDHTMLEventAdapter() override {
    event_->OnEvent = nullptr;
    event_->Release();
  }
  TDHTMLEventAdapter(const TDHTMLEventAdapter&) = delete;
  TDHTMLEventAdapter& operator=(const TDHTMLEventAdapter&) = delete;
  TDHTMLEvent& Event() const { return *event_; }

 private:
  TDHTMLEvent* event_;
};

}  // namespace pagehost::win32
