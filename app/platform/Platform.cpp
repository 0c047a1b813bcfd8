#include "platform/Platform.h"

#include <stdexcept>

namespace platform {

static Services& Installed() {
  static Services services;
  return services;
}

void InstallPlatform(Services services) { Installed() = std::move(services); }

template <class T>
static T& Require(const std::unique_ptr<T>& p, const char* what) {
  if (!p) throw std::logic_error(std::string("no platform backend installed for ") + what);
  return *p;
}

ISystem& System() { return Require(Installed().System, "system services"); }
IFileSystem& Files() { return Require(Installed().Files, "files"); }
IRegistry& Registry() { return Require(Installed().Registry, "registry"); }
IProcesses& Processes() { return Require(Installed().Processes, "processes"); }
IAudioDevices& Audio() { return Require(Installed().Audio, "audio devices"); }
IWindows& Windows() { return Require(Installed().Windows, "windows"); }
ILibraries& Libraries() { return Require(Installed().Libraries, "libraries"); }
IAutomation& Automation() { return Require(Installed().Automation, "automation"); }
IEncoderBridge& Bridge() { return Require(Installed().Bridge, "encoder bridge"); }

}  // namespace platform
