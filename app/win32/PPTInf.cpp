#include "win32/PPTInf.h"

#include <windows.h>
#include <oleauto.h>

#include <exception>
#include <utility>
#include <vector>

#include "platform/win32/ComRef.h"
#include "platform/win32/Win32Automation.h"
#include "vcl/Forms.h"
#include "vcl/SysUtils.h"

namespace comserver {

const CLSID PPTInfClass = {0xBA9EBF68, 0x0175, 0x486C, {0x9B, 0x7B, 0x68, 0x89, 0xA1, 0x3B, 0xCB, 0xA3}};
const IID PPTInfInterface = {0x914934C2, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
const GUID SlidecasterLibrary = {0x0279E80F, 0xC46E, 0x46D2, {0xA5, 0xB1, 0xF7, 0x36, 0x49, 0x6E, 0x90, 0x00}};

namespace {

using platform::win32::Ref;

constexpr DISPID SlideShowBeginId = 2011;
constexpr DISPID SlideShowNextSlideId = 2013;

// The dual interface as the type library describes it: its two methods follow the
// IUnknown and IDispatch slots, SlideShowBegin first.
struct IPPTInf : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE SlideShowBegin(VARIANT* w) = 0;
  virtual HRESULT STDMETHODCALLTYPE SlideShowNextSlide(VARIANT* w) = 0;
};

class PPTInf final : public IPPTInf {
 public:
  explicit PPTInf(platform::SinkHandler handler) : handler_(std::move(handler)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, PPTInfInterface)) {
      *out = static_cast<IPPTInf*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = TypeInfo() ? 1 : 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0 || !TypeInfo()) return DISP_E_BADINDEX;
    *info = TypeInfo();
    (*info)->AddRef();
    return S_OK;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count == 0) return S_OK;
    if (lstrcmpiW(names[0], L"SlideShowBegin") == 0) ids[0] = SlideShowBeginId;
    else if (lstrcmpiW(names[0], L"SlideShowNextSlide") == 0) ids[0] = SlideShowNextSlideId;
    bool known = ids[0] != DISPID_UNKNOWN;
    // The one parameter, when it is named too.
    for (UINT i = 1; i < count; ++i) {
      if (known && lstrcmpiW(names[i], L"w") == 0) ids[i] = 0;
      else known = false;
    }
    return known ? S_OK : DISP_E_UNKNOWNNAME;
  }
  // The application's other events arrive with dispatch ids the sink does not list: they
  // are taken and do nothing.
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id != SlideShowBeginId && id != SlideShowNextSlideId) return S_OK;
    if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    VARIANT* w = &params->rgvarg[0];
    return id == SlideShowBeginId ? SlideShowBegin(w) : SlideShowNextSlide(w);
  }

  STDMETHODIMP SlideShowBegin(VARIANT* w) override { return Call(SlideShowBeginId, w); }
  STDMETHODIMP SlideShowNextSlide(VARIANT* w) override { return Call(SlideShowNextSlideId, w); }

 private:
  ~PPTInf() = default;

  // A failure of the program's handler is reported here: it must not reach the caller,
  // which is another program.
  HRESULT Call(DISPID id, VARIANT* w) {
    try {
      std::vector<platform::AutoValue> args;
      args.push_back(w ? platform::win32::FromVariant(*w) : platform::AutoValue());
      if (handler_) handler_(id, args);
    } catch (const std::exception& e) {
      Report(e);
    } catch (...) {
      Report(vcl::Exception("The event could not be handled"));
    }
    return S_OK;
  }
  static void Report(const std::exception& e) {
    try {
      vcl::Application.HandleException(e);
    } catch (...) {
    }
  }

  // The interface's description from the program's own type library; none when the
  // module carries no library.
  ITypeInfo* TypeInfo() {
    if (!typeInfo_ && !typeInfoTried_) {
      typeInfoTried_ = true;
      wchar_t module[MAX_PATH] = {};
      GetModuleFileNameW(nullptr, module, MAX_PATH);
      Ref<ITypeLib> library;
      if (SUCCEEDED(LoadTypeLibEx(module, REGKIND_NONE, library.Out())) && library)
        library->GetTypeInfoOfGuid(PPTInfInterface, typeInfo_.Out());
    }
    return typeInfo_.Get();
  }

  LONG refs_ = 1;
  platform::SinkHandler handler_;
  Ref<ITypeInfo> typeInfo_;
  bool typeInfoTried_ = false;
};

}  // namespace

IUnknown* CreatePPTInf(platform::SinkHandler handler) { return static_cast<IPPTInf*>(new PPTInf(std::move(handler))); }

}  // namespace comserver
