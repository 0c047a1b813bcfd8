// A library that carries an encoding library's file name but none of its entry points.
#include <windows.h>

extern "C" __declspec(dllexport) int __cdecl unrelated() { return 0; }
