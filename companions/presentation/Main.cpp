// The presentation program's stand-in, for tests and demonstrations: an automation server
// registered as "PowerPoint.Application" that plays decks of our own text format.
//
//   POWERPNT.EXE /regserver     writes its class under HKLM\Software\Classes and ends
//   POWERPNT.EXE /unregserver   removes it and ends
//   POWERPNT.EXE -Embedding     started by COM for a caller
//   POWERPNT.EXE /s FILE        plays FILE as a slide show at once; callers reach it through
//                               the running-object table (GetActiveObject)
//
// POWERPNT_SHOW_DELAY (milliseconds, or "never") holds back the show window, and
// POWERPNT_FAIL (member names, comma-separated) makes those members fail.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "Objects.h"

namespace {

using namespace standin;

// {C788B50C-842A-4F24-A677-EC6B7C9614D6}
const CLSID ApplicationClass = {0xC788B50C, 0x842A, 0x4F24, {0xA6, 0x77, 0xEC, 0x6B, 0x7C, 0x96, 0x14, 0xD6}};
const wchar_t* const ClassText = L"{C788B50C-842A-4F24-A677-EC6B7C9614D6}";
const wchar_t* const ProgId = L"PowerPoint.Application";
const wchar_t* const Description = L"Presentation program stand-in";

// Every caller gets the process's one application.
class Factory : public IClassFactory {
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
    return TheApplication().QueryInterface(iid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

bool SetText(HKEY root, const std::wstring& key, const std::wstring& text) {
  HKEY k;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return false;
  LONG r = RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return r == ERROR_SUCCESS;
}

std::wstring ReadText(HKEY root, const std::wstring& key) {
  wchar_t text[256] = {};
  LONG size = sizeof text - sizeof(wchar_t);
  if (RegQueryValueW(root, key.c_str(), text, &size) != ERROR_SUCCESS) return std::wstring();
  return text;
}

const std::wstring Classes = L"Software\\Classes\\";

int Register() {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring clsidKey = Classes + L"CLSID\\" + ClassText;
  bool ok = SetText(HKEY_LOCAL_MACHINE, Classes + ProgId, Description) &&
            SetText(HKEY_LOCAL_MACHINE, Classes + ProgId + L"\\CLSID", ClassText) &&
            SetText(HKEY_LOCAL_MACHINE, clsidKey, Description) &&
            SetText(HKEY_LOCAL_MACHINE, clsidKey + L"\\LocalServer32", L"\"" + std::wstring(exe) + L"\"") &&
            SetText(HKEY_LOCAL_MACHINE, clsidKey + L"\\ProgID", ProgId);
  return ok ? 0 : 1;
}

int Unregister() {
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, (Classes + L"CLSID\\" + ClassText).c_str());
  // The name may since belong to another program's class; that one stays.
  if (lstrcmpiW(ReadText(HKEY_LOCAL_MACHINE, Classes + ProgId + L"\\CLSID").c_str(), ClassText) == 0)
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, (Classes + ProgId).c_str());
  return 0;
}

bool Switch(const wchar_t* arg, const wchar_t* name) {
  return (arg[0] == L'/' || arg[0] == L'-') && lstrcmpiW(arg + 1, name) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring showFile;
  bool embedded = false;
  for (int i = 1; i < argc; ++i) {
    if (Switch(argv[i], L"regserver")) return Register();
    if (Switch(argv[i], L"unregserver")) return Unregister();
    if (Switch(argv[i], L"embedding") || Switch(argv[i], L"automation")) embedded = true;
    if (Switch(argv[i], L"s") && i + 1 < argc) showFile = argv[++i];
  }
  LocalFree(argv);

  if (FAILED(CoInitialize(nullptr))) return 3;
  Application& app = TheApplication();
  static Factory factory;
  DWORD classCookie = 0, activeCookie = 0;
  // The class is offered only to the caller COM started this copy for, and only once:
  // Wine keeps an offered class until it is withdrawn, so a copy that is ended by force
  // while offering it would leave every later caller with a dead class (each next
  // conversion ends the running copies first).
  if (embedded) CoRegisterClassObject(ApplicationClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &classCookie);
  // Weakly, so the table does not count as a caller that keeps the program running.
  RegisterActiveObject(static_cast<IDispatch*>(&app), ApplicationClass, ACTIVEOBJECT_WEAK, &activeCookie);

  int result = 0;
  if (!showFile.empty()) {
    if (Presentation* deck = app.Open(showFile)) deck->StartShow();
    else result = 2;
  }
  if (result == 0) {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
  RevokeActiveObject(activeCookie, nullptr);
  if (classCookie) CoRevokeClassObject(classCookie);
  CoUninitialize();
  return result;
}
