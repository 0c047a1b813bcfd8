// Where the program lives and what the installation recorded; set at start-up.
#pragma once
#include <string>

extern std::string ProgramFolder;
extern std::string DataFolder;
extern std::string ConfigFile;
extern std::string PowerPointExe;
extern int PowerPointVersion;
extern std::string ProductVersion;

// The installation's registry key under the current user.
extern const char* const InstallKey;
