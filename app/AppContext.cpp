#include "AppContext.h"

std::string ProgramFolder;
std::string DataFolder;
std::string ConfigFile;
std::string PowerPointExe;
int PowerPointVersion = 0;
std::string ProductVersion;

const char* const InstallKey = "Software\\Roravad Arezaded\\Norvane Slidereel";
