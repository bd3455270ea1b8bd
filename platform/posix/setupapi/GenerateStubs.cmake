# Writes OUTPUT: one exported stub for every name of NAMES except the calls
# the library really implements and OMIT. A stub fails with ENOSYS ("call not
# implemented") and returns what its function returns on failure.
cmake_minimum_required(VERSION 3.25)

set(implemented
  SetupDiClassGuidsFromNameA
  SetupDiGetClassDevsA
  SetupDiEnumDeviceInfo
  SetupDiGetDeviceRegistryPropertyA
  SetupDiDestroyDeviceInfoList)

# These return a handle, whose failure value is INVALID_HANDLE_VALUE, not 0.
set(handle_results
  SetupOpenInfFileA SetupOpenInfFileW SetupOpenMasterInf
  SetupOpenFileQueue
  SetupInitializeFileLogA SetupInitializeFileLogW
  SetupDiCreateDeviceInfoList SetupDiCreateDeviceInfoListExA SetupDiCreateDeviceInfoListExW
  SetupDiGetClassDevsW SetupDiGetClassDevsExA SetupDiGetClassDevsExW
  SetupDiOpenClassRegKey SetupDiOpenClassRegKeyExA SetupDiOpenClassRegKeyExW
  SetupDiCreateDeviceInterfaceRegKeyA SetupDiCreateDeviceInterfaceRegKeyW
  SetupDiOpenDeviceInterfaceRegKey
  SetupDiCreateDevRegKeyA SetupDiCreateDevRegKeyW SetupDiOpenDevRegKey)

file(STRINGS "${NAMES}" lines REGEX "^SETUPAPI_NAME\\(")
set(text "// Generated from ${NAMES}.\n#include <cerrno>\n#include <cstdint>\n\n")
string(APPEND text "#define STUB(name, failure) \\\n")
string(APPEND text "  extern \"C\" __attribute__((visibility(\"default\"))) std::intptr_t name() { \\\n")
string(APPEND text "    errno = ENOSYS; \\\n    return failure; \\\n  }\n\n")
set(count 0)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^SETUPAPI_NAME\\(([A-Za-z0-9_]+)\\).*$" "\\1" name "${line}")
  if(name IN_LIST implemented OR name STREQUAL "${OMIT}")
    continue()
  endif()
  if(name IN_LIST handle_results)
    string(APPEND text "STUB(${name}, -1)\n")
  else()
    string(APPEND text "STUB(${name}, 0)\n")
  endif()
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "No names found in ${NAMES}")
endif()
file(WRITE "${OUTPUT}.new" "${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
