# The libmosquitto that scripts/windows/build-mosquitto.sh cross-builds for
# MinGW-w64 (static, without TLS), found in its cache folder unless
# MARROWLINK_WINDOWS_MOSQUITTO names another.
if(NOT MARROWLINK_WINDOWS_MOSQUITTO)
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows/build-mosquitto.sh --print-dir
    OUTPUT_VARIABLE default_windows_mosquitto
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE print_result)
  if(NOT print_result EQUAL 0)
    set(default_windows_mosquitto "")
  endif()
  set(MARROWLINK_WINDOWS_MOSQUITTO "${default_windows_mosquitto}" CACHE PATH
    "libmosquitto built for Windows (MinGW-w64)" FORCE)
endif()

if(NOT EXISTS "${MARROWLINK_WINDOWS_MOSQUITTO}/lib/libmosquitto.a")
  message(FATAL_ERROR
    "No libmosquitto for Windows in '${MARROWLINK_WINDOWS_MOSQUITTO}': run "
    "scripts/windows/build-mosquitto.sh, or set MARROWLINK_WINDOWS_MOSQUITTO to a "
    "libmosquitto built for MinGW-w64.")
endif()

# The toolchain searches for libraries and headers only below its root paths.
list(APPEND CMAKE_FIND_ROOT_PATH "${MARROWLINK_WINDOWS_MOSQUITTO}")
