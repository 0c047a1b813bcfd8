#include "Dispatch.h"

#include <vector>

namespace standin {

const wchar_t* const RequestedFailureText = L"This call was set to fail.";

HRESULT Args::As(UINT i, VARTYPE type, VARIANT& out) const {
  VariantInit(&out);
  UINT n = Count();
  if (i >= n) return DISP_E_BADPARAMCOUNT;
  UINT index = n - 1 - i;  // arguments arrive right to left
  HRESULT hr = VariantChangeType(&out, &params_->rgvarg[index], 0, type);
  if (FAILED(hr)) {
    if (argErr_) *argErr_ = index;
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT Args::Int(UINT i, long& value) const {
  VARIANT v;
  HRESULT hr = As(i, VT_I4, v);
  if (SUCCEEDED(hr)) value = V_I4(&v);
  return hr;
}

HRESULT Args::Double(UINT i, double& value) const {
  VARIANT v;
  HRESULT hr = As(i, VT_R8, v);
  if (SUCCEEDED(hr)) value = V_R8(&v);
  return hr;
}

HRESULT Args::Text(UINT i, std::wstring& value) const {
  VARIANT v;
  HRESULT hr = As(i, VT_BSTR, v);
  if (SUCCEEDED(hr)) {
    value.assign(V_BSTR(&v), SysStringLen(V_BSTR(&v)));
    VariantClear(&v);
  }
  return hr;
}

HRESULT Fail(EXCEPINFO* error, const std::wstring& description) {
  if (error) {
    ZeroMemory(error, sizeof *error);
    error->bstrSource = SysAllocString(L"POWERPNT");
    error->bstrDescription = SysAllocString(description.c_str());
    error->scode = E_FAIL;
  }
  return DISP_E_EXCEPTION;
}

void Put(VARIANT& result, IDispatch* object) {
  VariantClear(&result);
  V_VT(&result) = VT_DISPATCH;
  V_DISPATCH(&result) = object;
}

STDMETHODIMP DispatchObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DispatchObject::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) DispatchObject::Release() {
  LONG n = InterlockedDecrement(&refs_);
  if (n == 0) delete this;
  return n;
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (count == 0) return S_OK;
  for (UINT m = 0; m < count_; ++m)
    if (lstrcmpiW(names[0], members_[m].Name) == 0) ids[0] = static_cast<DISPID>(m + 1);
  // Members take no named arguments: any name after the member's is unknown.
  return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* error, UINT* argErr) {
  if (id < 1 || static_cast<UINT>(id) > count_) return DISP_E_MEMBERNOTFOUND;
  if (!params) return E_INVALIDARG;
  const Member& member = members_[id - 1];
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const bool call = (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
  Args args(params, argErr);
  if (put) {
    if (member.Type != Kind::GetPut) return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params->cArgs != 1)
      return DISP_E_BADPARAMCOUNT;
  } else {
    if (!call) return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    UINT min = member.Type == Kind::Method ? member.MinArgs : 0;
    UINT max = member.Type == Kind::Method ? member.MaxArgs : 0;
    if (params->cArgs < min || params->cArgs > max) return DISP_E_BADPARAMCOUNT;
  }
  if (FailureRequested(member.Name)) return Fail(error, RequestedFailureText);
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = Call(static_cast<UINT>(id - 1), put, args, value, error);
  if (SUCCEEDED(hr) && result) *result = value;
  else VariantClear(&value);
  return hr;
}

bool FailureRequested(const wchar_t* member) {
  wchar_t names[512];
  DWORD n = GetEnvironmentVariableW(L"POWERPNT_FAIL", names, ARRAYSIZE(names));
  if (n == 0 || n >= ARRAYSIZE(names)) return false;
  std::wstring list(names);
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(L',', start);
    if (end == std::wstring::npos) end = list.size();
    if (lstrcmpiW(list.substr(start, end - start).c_str(), member) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace standin
