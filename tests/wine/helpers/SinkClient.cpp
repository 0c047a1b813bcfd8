// Another program that reaches the event sink class through COM, as the presentation
// program reaches a sink: it makes an object of the class from its class id and calls it
// through IDispatch. Each step's result goes as "name=value" lines into the file named
// by its argument.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>

namespace {

// {BA9EBF68-0175-486C-9B7B-6889A13BCBA3}
const CLSID SinkClass = {0xBA9EBF68, 0x0175, 0x486C, {0x9B, 0x7B, 0x68, 0x89, 0xA1, 0x3B, 0xCB, 0xA3}};
// {914934C2-5A91-11CF-8700-00AA0060263B}
const IID EventsIid = {0x914934C2, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};

FILE* out = nullptr;

void Line(const char* name, long value) {
  std::fprintf(out, "%s=%08lX\n", name, value);
  std::fflush(out);
}

HRESULT Call(IDispatch* sink, DISPID id, VARIANT* arg) {
  DISPPARAMS params = {arg, nullptr, arg ? 1u : 0u, 0};
  return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !(out = std::fopen(argv[1], "w"))) return 2;
  CoInitialize(nullptr);
  IDispatch* sink = nullptr;
  HRESULT hr =
      CoCreateInstance(SinkClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&sink));
  Line("create", hr);
  if (SUCCEEDED(hr)) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"slideshownextslide")};
    DISPID id = 0;
    Line("names", sink->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    Line("id", id);

    VARIANT position;
    VariantInit(&position);
    V_VT(&position) = VT_I4;
    V_I4(&position) = 7;
    Line("next", Call(sink, 2013, &position));
    VARIANT text;
    VariantInit(&text);
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"begin");
    Line("begin", Call(sink, 2011, &text));
    VariantClear(&text);
    // Events of the application's interface that the sink does not list.
    Line("unlisted", Call(sink, 2012, &position));
    Line("unlisted-without-argument", Call(sink, 2099, nullptr));

    IUnknown* events = nullptr;
    Line("events-interface", sink->QueryInterface(EventsIid, reinterpret_cast<void**>(&events)));
    if (events) events->Release();
    sink->Release();
  }
  CoUninitialize();
  std::fclose(out);
  return 0;
}
