#include "win32/AutomationServer.h"

#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>
#include <utility>

#include "platform/win32/ComRef.h"
#include "win32/PPTInf.h"

namespace comserver {

namespace {

using platform::win32::Ref;

const wchar_t* const ProgId = L"Slidecaster.PPTInf";
const wchar_t* const Description = L"PPTInf Object";
// The classes every user sees: a class under the user's own key is not found by its name.
const std::wstring Classes = L"Software\\Classes\\";

platform::SinkHandler& ServerHandler() {
  static platform::SinkHandler handler;
  return handler;
}

// Lives as long as the process; COM holds it only while it is offered.
class Factory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Ref<IUnknown> sink =
        Ref<IUnknown>::Adopt(CreatePPTInf([](std::int32_t dispid, const std::vector<platform::AutoValue>& args) {
          if (ServerHandler()) ServerHandler()(dispid, args);
        }));
    return sink->QueryInterface(iid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

Factory factory;
DWORD factoryCookie = 0;
bool apartmentEntered = false;

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

bool SetText(const std::wstring& key, const std::wstring& text) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (Classes + key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const LONG r = RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return r == ERROR_SUCCESS;
}

bool DeleteTree(const std::wstring& key) {
  const DWORD r = SHDeleteKeyW(HKEY_LOCAL_MACHINE, (Classes + key).c_str());
  return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

enum class StartMode { Normal, RegServer, UnregServer, Automation };

// The switches as the class library reads them: any argument that is "/" or "-" and
// the word.
StartMode ReadStartMode() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return StartMode::Normal;
  auto given = [&](const wchar_t* word) {
    for (int i = 1; i < argc; ++i)
      if ((argv[i][0] == L'/' || argv[i][0] == L'-') && lstrcmpiW(argv[i] + 1, word) == 0) return true;
    return false;
  };
  StartMode mode = StartMode::Normal;
  if (given(L"REGSERVER")) mode = StartMode::RegServer;
  else if (given(L"UNREGSERVER")) mode = StartMode::UnregServer;
  else if (given(L"AUTOMATION") || given(L"EMBEDDING")) mode = StartMode::Automation;
  LocalFree(argv);
  return mode;
}

void LeaveApartment() {
  if (apartmentEntered) CoUninitialize();
  apartmentEntered = false;
}

// The class's registry entries and its type library (the module's own), for the
// executable at modulePath; false when any of them could not be written.
bool RegisterServer(const std::wstring& modulePath) {
  const std::wstring clsid = GuidText(PPTInfClass);
  const std::wstring classKey = L"CLSID\\" + clsid;
  bool ok = SetText(classKey, Description);
  // Quoted: a path with blanks must not be taken for a shorter one.
  ok = SetText(classKey + L"\\LocalServer32", L"\"" + modulePath + L"\"") && ok;
  ok = SetText(classKey + L"\\ProgID", ProgId) && ok;
  ok = SetText(classKey + L"\\TypeLib", GuidText(SlidecasterLibrary)) && ok;
  ok = SetText(classKey + L"\\Version", L"1.0") && ok;
  ok = SetText(ProgId, Description) && ok;
  ok = SetText(std::wstring(ProgId) + L"\\CLSID", clsid) && ok;
  Ref<ITypeLib> library;
  ok = SUCCEEDED(LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.Out())) &&
       SUCCEEDED(RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(modulePath.c_str()), nullptr)) && ok;
  return ok;
}

bool UnregisterServer() {
  bool ok = DeleteTree(L"CLSID\\" + GuidText(PPTInfClass));
  ok = DeleteTree(ProgId) && ok;
  const HRESULT hr = UnRegisterTypeLib(SlidecasterLibrary, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
  return (SUCCEEDED(hr) || hr == TYPE_E_REGISTRYACCESS) && ok;
}

}  // namespace

bool StartAutomationServer() {
  apartmentEntered = SUCCEEDED(CoInitialize(nullptr));
  switch (ReadStartMode()) {
    case StartMode::RegServer:
      RegisterServer(ModulePath());
      LeaveApartment();
      return false;
    case StartMode::UnregServer:
      UnregisterServer();
      LeaveApartment();
      return false;
    default: break;
  }
  RegisterServer(ModulePath());  // a failure is not reported
  if (apartmentEntered)
    CoRegisterClassObject(PPTInfClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &factoryCookie);
  return true;
}

void StopAutomationServer() {
  if (factoryCookie) CoRevokeClassObject(factoryCookie);
  factoryCookie = 0;
  LeaveApartment();
}

void SetServerSinkHandler(platform::SinkHandler handler) { ServerHandler() = std::move(handler); }

}  // namespace comserver
