// Objects reached only by late binding: members are looked up by name whatever the case,
// and called through Invoke with variants of any kind that converts.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace standin {

enum class Kind { Get, GetPut, Method };

struct Member {
  const wchar_t* Name;
  Kind Type;
  UINT MinArgs = 0, MaxArgs = 0;  // methods only
};

// The positional arguments of one call, left to right; for a property put, argument 0 is
// the value put.
class Args {
 public:
  Args(DISPPARAMS* params, UINT* argErr) : params_(params), argErr_(argErr) {}
  UINT Count() const { return params_->cArgs; }
  HRESULT Int(UINT i, long& value) const;
  HRESULT Double(UINT i, double& value) const;
  HRESULT Text(UINT i, std::wstring& value) const;

 private:
  HRESULT As(UINT i, VARTYPE type, VARIANT& out) const;
  DISPPARAMS* params_;
  UINT* argErr_;
};

// Fills the exception information and gives the result that tells the caller to read it.
HRESULT Fail(EXCEPINFO* error, const std::wstring& description);

// An object handed to a caller in a variant; the variant takes over one reference.
void Put(VARIANT& result, IDispatch* object);

class DispatchObject : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* error,
                      UINT* argErr) override;

 protected:
  DispatchObject(const Member* members, UINT count) : members_(members), count_(count) {}
  virtual ~DispatchObject() = default;
  // member: index into the table; put: a property put. result is empty on entry.
  virtual HRESULT Call(UINT member, bool put, const Args& args, VARIANT& result, EXCEPINFO* error) = 0;

 private:
  const Member* members_;
  UINT count_;
  LONG refs_ = 1;
};

// Names of members that must fail, from POWERPNT_FAIL (names separated by commas): lets
// tests of the callers see how they take a failing call.
bool FailureRequested(const wchar_t* member);
extern const wchar_t* const RequestedFailureText;

}  // namespace standin
