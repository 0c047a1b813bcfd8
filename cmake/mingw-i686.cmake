# Cross toolchain for the Windows deliverables: 32-bit mingw-w64 with POSIX threads,
# static runtime so the binaries need no mingw DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Libraries that the setup script cross-builds (GoogleTest, PCRE2) live in its cache.
set(SLIDECASTER_CACHE "$ENV{SLIDECASTER_CACHE}")
if(NOT SLIDECASTER_CACHE)
  get_filename_component(SLIDECASTER_CACHE "${CMAKE_CURRENT_LIST_DIR}/../.cache" ABSOLUTE)
endif()
list(APPEND CMAKE_FIND_ROOT_PATH "${SLIDECASTER_CACHE}/mingw")
