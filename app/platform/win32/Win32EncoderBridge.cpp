// The bridge library is linked by import: its two entry points are called by name.
#include "EncoderBridge.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

class EncoderBridge final : public IEncoderBridge {
 public:
  void video2(const std::string& command) override { ::video2(command.c_str()); }
  void video3(const std::string& command) override { ::video3(command.c_str()); }
};

}  // namespace

std::unique_ptr<IEncoderBridge> MakeEncoderBridge() { return std::make_unique<EncoderBridge>(); }

}  // namespace platform::win32
