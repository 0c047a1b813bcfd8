// Process and folder helpers shared by the wizard and the capture session.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

bool FindProcess(const std::string& exeName, std::uint32_t& processId);
void KillProcess(const std::string& exeName);
platform::Handle FindEncoderWindow();  // 0 when there is none
void DisableScreenSaver();
void EnableScreenSaver();
std::string GetSpecialFolder(int csidl, bool create);
bool DeleteFolder(const std::string& path);

extern const char* const EncoderExe;     // "rode.exe"
extern const char* const PowerPointExeName;  // "POWERPNT.EXE"
