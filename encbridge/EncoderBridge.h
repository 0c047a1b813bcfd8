// The bridge library's exports as its callers declare them. Command texts are 8-bit ANSI;
// the library only reads them.
#pragma once
#include <windows.h>

extern "C" {
int WINAPI video2(const char* command);  // always 0
int WINAPI video3(const char* command);  // always 0
int WINAPI video2_framenum();
int WINAPI video3_framenum();
void WINAPI video2_stop();
void WINAPI video3_stop();
int WINAPI DetectXVIDDriver();  // 0 when the XviD driver is installed, 1 when not
// Exported as "_framenum@0", "_start@4" and "_stop@0"; callers give them the library's
// prefix so that such plain names clash with nothing of theirs.
int WINAPI video_framenum();
int WINAPI video_start(const char* command);
void WINAPI video_stop();
}
