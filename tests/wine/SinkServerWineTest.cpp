// The program's event sink class as a COM server: its type library in the program, the
// registration switches of Slidecaster.exe, the class factory offered to other programs,
// and the sink object's own dispatch.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ComPump.h"
#include "WineSupport.h"
#include "platform/win32/Win32Platform.h"
#include "win32/PPTInf.h"

namespace {

using platform::AutoValue;
using namespace winetest;

const wchar_t* const ClassText = L"{BA9EBF68-0175-486C-9B7B-6889A13BCBA3}";
const wchar_t* const LibraryText = L"{0279E80F-C46E-46D2-A5B1-F736496E9000}";
const wchar_t* const InterfaceText = L"{914934C2-5A91-11CF-8700-00AA0060263B}";

std::string Exe() { return BinFolder() + "\\Slidecaster.exe"; }
std::wstring WideExe() {
  const std::string exe = Exe();
  return std::wstring(exe.begin(), exe.end());
}

// The default value of a key of the machine's classes; "(none)" when the key is missing.
std::wstring ClassesValue(const std::wstring& key) {
  wchar_t text[MAX_PATH * 2] = {};
  LONG size = sizeof text - sizeof(wchar_t);
  if (RegQueryValueW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), text, &size) != ERROR_SUCCESS)
    return L"(none)";
  return text;
}

int RunProgram(const std::string& arguments) {
  Process p = Launch(Exe(), arguments);
  if (!p.Handle) return -1;
  if (!p.WaitExit(20000)) return -2;
  DWORD code = 0;
  GetExitCodeProcess(p.Handle, &code);
  return static_cast<int>(code);
}

// The lines "name=value" another program wrote about its calls of the sink.
std::map<std::string, std::string> RunSinkClient(const std::string& folder) {
  const std::string results = folder + "\\sinkclient.txt";
  DeleteFileA(results.c_str());
  Process client = Launch(BinFolder() + "\\testhelpers\\sinkclient.exe", "\"" + results + "\"");
  std::map<std::string, std::string> lines;
  if (!client.Handle) return lines;
  // Its calls arrive through this thread's messages.
  PumpUntil([&] { return !client.Running(); }, 30000);
  std::ifstream in(results);
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) lines[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return lines;
}

std::string TempFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return temp;
}

class SinkServer : public ::testing::Test {
 protected:
  // The tests' own start registers the test program as the class's server: the program
  // takes its registration back.
  static void TearDownTestSuite() { RunProgram("/regserver"); }
};

TEST_F(SinkServer, TypeLibraryInTheProgramDescribesTheSinkAsItsObjectIsBuilt) {
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadTypeLibEx(WideExe().c_str(), REGKIND_NONE, &library), S_OK);
  TLIBATTR* libraryAttributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
  wchar_t text[40];
  StringFromGUID2(libraryAttributes->guid, text, 40);
  EXPECT_STREQ(text, LibraryText);
  EXPECT_EQ(libraryAttributes->wMajorVerNum, 1);
  EXPECT_EQ(libraryAttributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(libraryAttributes);
  BSTR name = nullptr, help = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"Slidecaster");
  EXPECT_STREQ(help, L"RUDURURI_VID_ORIDU Library");
  SysFreeString(name);
  SysFreeString(help);

  // The class and its default interface.
  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(comserver::PPTInfClass, &coclass), S_OK);
  ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"PPTInf");
  EXPECT_STREQ(help, L"PPTInf Object");
  SysFreeString(name);
  SysFreeString(help);
  coclass->Release();

  // The dual interface: its dispatch side carries the two events by their ids, and its
  // vtable side places them after the seven slots of IUnknown and IDispatch, in the order
  // the sink object declares them.
  ITypeInfo* dispatchSide = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(comserver::PPTInfInterface, &dispatchSide), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(dispatchSide->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  dispatchSide->ReleaseTypeAttr(attributes);
  ASSERT_EQ(dispatchSide->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"IPPTInf");
  EXPECT_STREQ(help, L"Dispatch interface for PPTInf Object");
  SysFreeString(name);
  SysFreeString(help);
  HREFTYPE vtableRef = 0;
  ASSERT_EQ(dispatchSide->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef), S_OK);
  ITypeInfo* vtableSide = nullptr;
  ASSERT_EQ(dispatchSide->GetRefTypeInfo(vtableRef, &vtableSide), S_OK);
  ASSERT_EQ(vtableSide->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
  ASSERT_EQ(attributes->cFuncs, 2);
  vtableSide->ReleaseTypeAttr(attributes);

  HREFTYPE baseRef = 0;
  ASSERT_EQ(vtableSide->GetRefTypeOfImplType(0, &baseRef), S_OK);
  ITypeInfo* base = nullptr;
  ASSERT_EQ(vtableSide->GetRefTypeInfo(baseRef, &base), S_OK);
  ASSERT_EQ(base->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_IDispatch));
  EXPECT_EQ(attributes->cbSizeVft, 7 * sizeof(void*)) << "the base is not the system's IDispatch";
  base->ReleaseTypeAttr(attributes);
  base->Release();

  struct Method {
    const wchar_t* Name;
    MEMBERID Id;
  } methods[] = {{L"SlideShowBegin", 2011}, {L"SlideShowNextSlide", 2013}};
  for (UINT i = 0; i < 2; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(vtableSide->GetFuncDesc(i, &f), S_OK);
    EXPECT_EQ(f->memid, methods[i].Id);
    EXPECT_EQ(f->oVft, static_cast<SHORT>((7 + i) * sizeof(void*)));
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_HRESULT);
    ASSERT_EQ(f->cParams, 1);
    EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, VT_PTR);
    EXPECT_EQ(f->lprgelemdescParam[0].tdesc.lptdesc->vt, VT_VARIANT);
    EXPECT_TRUE(f->lprgelemdescParam[0].paramdesc.wParamFlags & PARAMFLAG_FIN);
    BSTR names[2] = {};
    UINT got = 0;
    ASSERT_EQ(vtableSide->GetNames(f->memid, names, 2, &got), S_OK);
    ASSERT_EQ(got, 2u);
    EXPECT_STREQ(names[0], methods[i].Name);
    EXPECT_STREQ(names[1], L"w");
    SysFreeString(names[0]);
    SysFreeString(names[1]);
    vtableSide->ReleaseFuncDesc(f);
  }
  vtableSide->Release();
  dispatchSide->Release();
  library->Release();
}

TEST_F(SinkServer, RegistrationSwitchesRegisterOrUnregisterAndEndTheProgram) {
  const std::wstring classKey = std::wstring(L"CLSID\\") + ClassText;
  const std::wstring typeLibKey = std::wstring(L"TypeLib\\") + LibraryText;
  struct Case {
    const char* Switch;
    bool Registered;
  } cases[] = {{"/unregserver", false}, {"-RegServer", true}, {"-UNREGSERVER", false}, {"/regserver", true}};
  for (const Case& c : cases) {
    ASSERT_EQ(RunProgram(c.Switch), 0) << c.Switch << ": the program did not end by itself";
    CLSID found{};
    const HRESULT byName = CLSIDFromProgID(L"Slidecaster.PPTInf", &found);
    if (!c.Registered) {
      EXPECT_FALSE(SUCCEEDED(byName)) << c.Switch;
      EXPECT_EQ(ClassesValue(classKey), L"(none)") << c.Switch;
      EXPECT_EQ(ClassesValue(L"Slidecaster.PPTInf"), L"(none)") << c.Switch;
      EXPECT_EQ(ClassesValue(typeLibKey), L"(none)") << c.Switch;
      continue;
    }
    EXPECT_EQ(byName, S_OK) << c.Switch;
    EXPECT_TRUE(IsEqualCLSID(found, comserver::PPTInfClass)) << c.Switch;
    EXPECT_EQ(ClassesValue(classKey), L"PPTInf Object") << c.Switch;
    EXPECT_EQ(ClassesValue(classKey + L"\\LocalServer32"), L"\"" + WideExe() + L"\"") << c.Switch;
    EXPECT_EQ(ClassesValue(classKey + L"\\ProgID"), L"Slidecaster.PPTInf") << c.Switch;
    EXPECT_EQ(ClassesValue(classKey + L"\\TypeLib"), LibraryText) << c.Switch;
    EXPECT_EQ(ClassesValue(L"Slidecaster.PPTInf\\CLSID"), ClassText) << c.Switch;
    EXPECT_EQ(ClassesValue(typeLibKey + L"\\1.0\\0\\win32"), WideExe()) << c.Switch;
    EXPECT_EQ(ClassesValue(std::wstring(L"Interface\\") + InterfaceText + L"\\TypeLib"), LibraryText) << c.Switch;
  }
}

TEST_F(SinkServer, OfferedClassMakesSinksThatAnotherProgramCallsByDispatchId) {
  std::unique_ptr<platform::IAutomation> automation = platform::win32::MakeAutomation();
  ASSERT_TRUE(automation->StartServer()) << "a start without switches ended the program";
  struct Heard {
    std::int32_t Dispid;
    std::vector<AutoValue> Args;
  };
  std::vector<Heard> heard;
  std::shared_ptr<platform::IEventSink> sink =
      automation->CreateEventSink([&](std::int32_t dispid, const std::vector<AutoValue>& args) {
        heard.push_back({dispid, args});
      });

  std::map<std::string, std::string> calls = RunSinkClient(TempFolder());
  const std::map<std::string, std::string> expected = {{"create", "00000000"},
                                                       {"names", "00000000"},
                                                       {"id", "000007DD"},
                                                       {"next", "00000000"},
                                                       {"begin", "00000000"},
                                                       {"unlisted", "00000000"},
                                                       {"unlisted-without-argument", "00000000"}};
  for (const auto& e : expected) EXPECT_EQ(calls[e.first], e.second) << e.first;
  std::cout << "the events interface asked of a sink in another process: " << calls["events-interface"] << "\n";

  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0].Dispid, 2013);
  ASSERT_EQ(heard[0].Args.size(), 1u);
  EXPECT_EQ(heard[0].Args[0].GetKind(), AutoValue::Kind::Integer);
  EXPECT_EQ(heard[0].Args[0].IntegerValue(), 7);
  EXPECT_EQ(heard[1].Dispid, 2011);
  ASSERT_EQ(heard[1].Args.size(), 1u);
  EXPECT_EQ(heard[1].Args[0].GetKind(), AutoValue::Kind::String);
  EXPECT_EQ(heard[1].Args[0].Text(), "begin");

  heard.clear();
  sink.reset();
  automation->StopServer();
}

TEST_F(SinkServer, RunningProgramOffersTheClass) {
  Process program = Launch(Exe());
  ASSERT_NE(program.Handle, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return FindTopLevel(program.Id, "SlidecasterForm") != nullptr; }, 20000));
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  std::map<std::string, std::string> calls = RunSinkClient(TempFolder());
  CoUninitialize();
  // No recording runs: the calls are taken and change nothing.
  for (const char* step : {"create", "next", "begin", "unlisted"}) EXPECT_EQ(calls[step], "00000000") << step;
  EXPECT_TRUE(program.Running()) << "the program ended";
}

// ---- the sink object itself, called in this process ----

class SinkObject : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IUnknown* sink = comserver::CreatePPTInf([this](std::int32_t dispid, const std::vector<AutoValue>& args) {
      heard.push_back(dispid);
      kinds.push_back(args.size() == 1 ? args[0].GetKind() : AutoValue::Kind::Empty);
      if (failing) throw std::runtime_error("the handler failed");
    });
    ASSERT_EQ(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    sink->Release();
  }
  void TearDown() override {
    if (dispatch) dispatch->Release();
    CoUninitialize();
  }
  HRESULT Invoke(DISPID id, std::vector<VARIANT> args) {
    DISPPARAMS params = {args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
  VARIANT Object() {
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = dispatch;
    return v;
  }

  IDispatch* dispatch = nullptr;
  std::vector<std::int32_t> heard;
  std::vector<AutoValue::Kind> kinds;
  bool failing = false;
};

TEST_F(SinkObject, AnswersAsTheEventsInterfaceAndTakesEveryUnlistedEventWithoutEffect) {
  struct Asked {
    const char* Name;
    IID Iid;
    HRESULT Answer;
  } asked[] = {{"IUnknown", IID_IUnknown, S_OK},
               {"IDispatch", IID_IDispatch, S_OK},
               {"the application events", comserver::PPTInfInterface, S_OK},
               {"IConnectionPoint", IID_IConnectionPoint, E_NOINTERFACE},
               {"IClassFactory", IID_IClassFactory, E_NOINTERFACE}};
  for (const Asked& a : asked) {
    IUnknown* answer = nullptr;
    EXPECT_EQ(dispatch->QueryInterface(a.Iid, reinterpret_cast<void**>(&answer)), a.Answer) << a.Name;
    EXPECT_EQ(answer != nullptr, a.Answer == S_OK) << a.Name;
    if (answer) answer->Release();
  }

  struct Name {
    const wchar_t* Text;
    HRESULT Answer;
    DISPID Id;
  } names[] = {{L"SlideShowBegin", S_OK, 2011},
               {L"SLIDESHOWNEXTSLIDE", S_OK, 2013},
               {L"SlideShowEnd", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN}};
  for (const Name& n : names) {
    LPOLESTR text[] = {const_cast<LPOLESTR>(n.Text)};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, text, 1, LOCALE_USER_DEFAULT, &id), n.Answer);
    EXPECT_EQ(id, n.Id);
  }

  for (DISPID unlisted : {2001, 2012, 2014, 2020, 0, -1, 1}) {
    EXPECT_EQ(Invoke(unlisted, {Object()}), S_OK) << unlisted;
    EXPECT_EQ(Invoke(unlisted, {}), S_OK) << unlisted;
  }
  EXPECT_TRUE(heard.empty());
}

TEST_F(SinkObject, EventsReachTheHandlerWithTheWindowObjectAndAFailureStaysInside) {
  VARIANT window = Object();
  VARIANT byReference;
  V_VT(&byReference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&byReference) = &window;
  EXPECT_EQ(Invoke(2013, {window}), S_OK);
  EXPECT_EQ(Invoke(2011, {byReference}), S_OK);
  EXPECT_EQ(Invoke(2013, {}), DISP_E_BADPARAMCOUNT);
  failing = true;
  EXPECT_EQ(Invoke(2013, {window}), S_OK) << "the handler's failure reached the caller";
  EXPECT_EQ(heard, (std::vector<std::int32_t>{2013, 2011, 2013}));
  EXPECT_EQ(kinds,
            (std::vector<AutoValue::Kind>{AutoValue::Kind::Object, AutoValue::Kind::Object, AutoValue::Kind::Object}));
}

}  // namespace
