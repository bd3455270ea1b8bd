# Cross-builds Windows x64 executables with Debian's MinGW-w64. The -posix
# compilers carry the threading model that std::thread and std::mutex need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the executables run anywhere without the compiler's DLLs.
# Not for the Qt program: its Qt DLLs use the C++ runtime DLL, and a second,
# static runtime in the executable would not share its heap or exceptions.
if(DEFINED MARROWLINK_GUI AND NOT MARROWLINK_GUI)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

# Built executables run under Wine, for the tests and their discovery.
find_program(WINE_PROGRAM wine)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
