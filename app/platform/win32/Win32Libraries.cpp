#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

// The entry points' own signatures, as the libraries export them.
using WindowFunction = BOOL(WINAPI*)(HWND);
using PlainFunction = void(WINAPI*)();

// Loaded libraries stay for the rest of the run: nothing is ever freed here.
class Libraries final : public ILibraries {
 public:
  bool Load(const std::string& file) override {
    return GetModuleHandleA(file.c_str()) != nullptr || LoadLibraryA(file.c_str()) != nullptr;
  }
  std::function<std::uint32_t(Handle)> WindowEntry(const std::string& file, const std::string& name) override {
    auto entry = reinterpret_cast<WindowFunction>(Entry(file, name));
    if (!entry) return nullptr;
    return [entry](Handle window) { return static_cast<std::uint32_t>(entry(reinterpret_cast<HWND>(window))); };
  }
  std::function<void()> PlainEntry(const std::string& file, const std::string& name) override {
    auto entry = reinterpret_cast<PlainFunction>(Entry(file, name));
    if (!entry) return nullptr;
    return [entry] { entry(); };
  }

 private:
  // As a plain function pointer, which casts to any function type.
  static void (*Entry(const std::string& file, const std::string& name))() {
    HMODULE module = GetModuleHandleA(file.c_str());
    return module ? reinterpret_cast<void (*)()>(GetProcAddress(module, name.c_str())) : nullptr;
  }
};

}  // namespace

std::unique_ptr<ILibraries> MakeLibraries() { return std::make_unique<Libraries>(); }

}  // namespace platform::win32
