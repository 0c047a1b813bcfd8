#include "platform/win32/Win32Automation.h"

#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <utility>
#include <vector>

#include "platform/win32/ComError.h"
#include "platform/win32/ComRef.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"
#include "win32/AutomationServer.h"
#include "win32/PPTInf.h"

namespace platform::win32 {

namespace {

[[noreturn]] void Fail(HRESULT hr) { throw EAutomationError(ComErrorText(hr)); }

void Check(HRESULT hr) {
  if (FAILED(hr)) Fail(hr);
}

std::string Ansi(BSTR text) {
  std::string s;
  if (text) ToAnsi(text, SysStringLen(text), s);
  return s;
}

// A variant on the heap, cleared when its last holder goes.
std::shared_ptr<VARIANT> Keep(const VARIANT& value) {
  auto* kept = new VARIANT;
  VariantInit(kept);
  if (FAILED(VariantCopy(kept, const_cast<VARIANT*>(&value)))) {
    delete kept;
    return nullptr;
  }
  return std::shared_ptr<VARIANT>(kept, [](VARIANT* v) {
    VariantClear(v);
    delete v;
  });
}

class DispatchObject final : public IAutomationObject {
 public:
  explicit DispatchObject(Ref<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}
  AutoValue Invoke(const std::string& member, InvokeKind kind, const std::vector<AutoValue>& args) override;
  std::uint32_t Advise(const std::string& iid, const std::shared_ptr<IEventSink>& sink) override;
  void Unadvise(const std::string& iid, std::uint32_t cookie) override;
  IDispatch* Get() const { return dispatch_.Get(); }

 private:
  Ref<IConnectionPoint> ConnectionPoint(const std::string& iid);
  Ref<IDispatch> dispatch_;
};

class EventSink final : public IEventSink {
 public:
  explicit EventSink(Ref<IUnknown> sink) : sink_(std::move(sink)) {}
  IUnknown* Get() const { return sink_.Get(); }

 private:
  Ref<IUnknown> sink_;
};

// The arguments of one call, right to left as IDispatch takes them; what they own is
// freed after the call. A text passed by reference points at a string of its own, which
// the callee may replace.
class Arguments {
 public:
  explicit Arguments(const std::vector<AutoValue>& args) : values_(args.size()), refs_(args.size(), nullptr) {
    for (VARIANT& v : values_) VariantInit(&v);
    try {
      for (size_t i = 0; i < args.size(); ++i) Set(values_[args.size() - 1 - i], refs_[args.size() - 1 - i], args[i]);
    } catch (...) {
      Free();
      throw;
    }
  }
  ~Arguments() { Free(); }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  VARIANT* Data() { return values_.empty() ? nullptr : values_.data(); }
  UINT Count() const { return static_cast<UINT>(values_.size()); }

 private:
  static void Set(VARIANT& v, BSTR& ref, const AutoValue& a) {
    if (const auto* native = static_cast<const VARIANT*>(a.Native().get())) {
      Check(VariantCopy(&v, const_cast<VARIANT*>(native)));
      return;
    }
    switch (a.GetKind()) {
      case AutoValue::Kind::Integer:
        V_VT(&v) = VT_I4;
        V_I4(&v) = a.IntegerValue();
        break;
      case AutoValue::Kind::Float:
        V_VT(&v) = VT_R8;
        V_R8(&v) = a.FloatValue();
        break;
      case AutoValue::Kind::String:
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = Text(a.Text());
        break;
      case AutoValue::Kind::StringRef:
        ref = Text(a.Text());
        V_VT(&v) = VT_BSTR | VT_BYREF;
        V_BSTRREF(&v) = &ref;
        break;
      case AutoValue::Kind::Object: {
        auto* object = dynamic_cast<DispatchObject*>(a.AsObject().get());
        if (!object) throw EAutomationError("The object is not an automation object of this system");
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = object->Get();
        object->Get()->AddRef();
        break;
      }
      case AutoValue::Kind::Empty: break;
    }
  }
  static BSTR Text(const std::string& text) {
    const std::wstring wide = Wide(text);
    BSTR s = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!s) Fail(E_OUTOFMEMORY);
    return s;
  }
  void Free() {
    for (VARIANT& v : values_) VariantClear(&v);
    for (BSTR& s : refs_) SysFreeString(s);
    refs_.assign(refs_.size(), nullptr);
  }
  std::vector<VARIANT> values_;
  std::vector<BSTR> refs_;
};

// The text of a failed call: the server's own description when it raised one.
std::string InvokeFailureText(HRESULT hr, EXCEPINFO& error) {
  if (hr == DISP_E_EXCEPTION && error.pfnDeferredFillIn) error.pfnDeferredFillIn(&error);
  std::string text = hr == DISP_E_EXCEPTION ? Ansi(error.bstrDescription) : std::string();
  if (text.empty()) text = ComErrorText(hr == DISP_E_EXCEPTION && FAILED(error.scode) ? error.scode : hr);
  SysFreeString(error.bstrSource);
  SysFreeString(error.bstrDescription);
  SysFreeString(error.bstrHelpFile);
  return text;
}

AutoValue DispatchObject::Invoke(const std::string& member, InvokeKind kind, const std::vector<AutoValue>& args) {
  std::wstring name = Wide(member);
  LPOLESTR names[] = {&name[0]};
  DISPID id = DISPID_UNKNOWN;
  Check(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));

  Arguments arguments(args);
  DISPPARAMS params = {arguments.Data(), nullptr, arguments.Count(), 0};
  DISPID putId = DISPID_PROPERTYPUT;
  WORD flags = DISPATCH_PROPERTYGET;
  if (kind == InvokeKind::Method) {
    // Members such as Item and Count answer as methods or as properties.
    flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  } else if (kind == InvokeKind::PropertyPut) {
    flags = DISPATCH_PROPERTYPUT;
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO error{};
  UINT argError = 0;
  const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       kind == InvokeKind::PropertyPut ? nullptr : &result, &error, &argError);
  if (FAILED(hr)) {
    VariantClear(&result);
    throw EAutomationError(InvokeFailureText(hr, error));
  }
  SysFreeString(error.bstrSource);
  SysFreeString(error.bstrDescription);
  SysFreeString(error.bstrHelpFile);
  AutoValue value = FromVariant(result);
  VariantClear(&result);
  return value;
}

Ref<IConnectionPoint> DispatchObject::ConnectionPoint(const std::string& iid) {
  Ref<IConnectionPointContainer> container;
  Check(dispatch_->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()));
  std::wstring text = Wide(iid);
  IID interfaceId;
  Check(IIDFromString(&text[0], &interfaceId));
  Ref<IConnectionPoint> point;
  Check(container->FindConnectionPoint(interfaceId, point.Out()));
  return point;
}

std::uint32_t DispatchObject::Advise(const std::string& iid, const std::shared_ptr<IEventSink>& sink) {
  auto* ours = dynamic_cast<EventSink*>(sink.get());
  if (!ours) throw EAutomationError("The event sink is not one of this system");
  Ref<IConnectionPoint> point = ConnectionPoint(iid);
  DWORD cookie = 0;
  Check(point->Advise(ours->Get(), &cookie));
  return cookie;
}

void DispatchObject::Unadvise(const std::string& iid, std::uint32_t cookie) {
  Check(ConnectionPoint(iid)->Unadvise(cookie));
}

CLSID ClassOf(const std::string& progId) {
  std::wstring name = Wide(progId);
  CLSID clsid;
  Check(CLSIDFromProgID(name.c_str(), &clsid));
  return clsid;
}

class Automation final : public IAutomation {
 public:
  AutomationObject CreateObject(const std::string& progId) override {
    const CLSID clsid = ClassOf(progId);
    Ref<IDispatch> dispatch;
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, dispatch.OutVoid()));
    return std::make_shared<DispatchObject>(std::move(dispatch));
  }
  AutomationObject GetActiveObject(const std::string& progId) override {
    const CLSID clsid = ClassOf(progId);
    Ref<IUnknown> active;
    Check(::GetActiveObject(clsid, nullptr, active.Out()));
    Ref<IDispatch> dispatch;
    Check(active->QueryInterface(IID_IDispatch, dispatch.OutVoid()));
    return std::make_shared<DispatchObject>(std::move(dispatch));
  }
  std::shared_ptr<IEventSink> CreateEventSink(SinkHandler handler) override {
    ::comserver::SetServerSinkHandler(handler);
    return std::make_shared<EventSink>(Ref<IUnknown>::Adopt(::comserver::CreatePPTInf(std::move(handler))));
  }
  bool StartServer() override { return ::comserver::StartAutomationServer(); }
  void StopServer() override { ::comserver::StopAutomationServer(); }
};

}  // namespace

AutoValue FromVariant(const VARIANT& value) {
  std::shared_ptr<VARIANT> whole = Keep(value);
  if (!whole) return AutoValue();
  // A value passed by reference is read where it points.
  VARIANT plain;
  VariantInit(&plain);
  if (FAILED(VariantCopyInd(&plain, const_cast<VARIANT*>(&value)))) return AutoValue().WithNative(whole);
  AutoValue read;
  VARIANT converted;
  VariantInit(&converted);
  switch (V_VT(&plain)) {
    case VT_DISPATCH:
      read = AutoValue::Object(
          V_DISPATCH(&plain) ? std::make_shared<DispatchObject>(Ref<IDispatch>::Share(V_DISPATCH(&plain))) : nullptr);
      break;
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
    case VT_BOOL:
      if (SUCCEEDED(VariantChangeType(&converted, &plain, 0, VT_I4))) read = AutoValue::Integer(V_I4(&converted));
      break;
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
    case VT_DATE:
      if (SUCCEEDED(VariantChangeType(&converted, &plain, 0, VT_R8))) read = AutoValue::Float(V_R8(&converted));
      break;
    case VT_BSTR: read = AutoValue::String(Ansi(V_BSTR(&plain))); break;
    default: break;
  }
  VariantClear(&converted);
  VariantClear(&plain);
  return read.WithNative(whole);
}

std::unique_ptr<IAutomation> MakeAutomation() { return std::make_unique<Automation>(); }

}  // namespace platform::win32
