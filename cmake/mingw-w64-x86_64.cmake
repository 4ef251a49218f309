# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (POSIX threads). The libraries Debian has no
# MinGW builds of come from the private prefix scripts/windows-deps fills (RAVELIN_WINDOWS_DEPS).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT RAVELIN_WINDOWS_DEPS AND DEFINED ENV{RAVELIN_WINDOWS_DEPS})
  set(RAVELIN_WINDOWS_DEPS "$ENV{RAVELIN_WINDOWS_DEPS}")
elseif(NOT RAVELIN_WINDOWS_DEPS)
  set(RAVELIN_WINDOWS_DEPS "$ENV{HOME}/.cache/ravelin-windows-deps")  # where scripts/windows-deps puts them
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${RAVELIN_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static libraries only: the programs need no DLL beyond Windows' own. (Debian's MinGW zlib has both.)
set(ZLIB_LIBRARY /usr/x86_64-w64-mingw32/lib/libz.a CACHE FILEPATH "zlib, static")
set(ZLIB_INCLUDE_DIR /usr/x86_64-w64-mingw32/include CACHE PATH "zlib's headers")
# No build time in the programs, so that the same sources give the same files; release programs carry no
# symbol tables.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
