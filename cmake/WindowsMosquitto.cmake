# The libmosquitto that scripts/windows/build-mosquitto.sh cross-builds for
# MinGW-w64 (static, without TLS), found in its cache folder unless
# MARROWLINK_WINDOWS_MOSQUITTO names another.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsCache.cmake)
marrowlink_windows_cache(MARROWLINK_WINDOWS_MOSQUITTO build-mosquitto.sh "libmosquitto built for Windows (MinGW-w64)")

if(NOT EXISTS "${MARROWLINK_WINDOWS_MOSQUITTO}/lib/libmosquitto.a")
  message(FATAL_ERROR
    "No libmosquitto for Windows in '${MARROWLINK_WINDOWS_MOSQUITTO}': run "
    "scripts/windows/build-mosquitto.sh, or set MARROWLINK_WINDOWS_MOSQUITTO to a "
    "libmosquitto built for MinGW-w64.")
endif()

# The toolchain searches for libraries and headers only below its root paths.
list(APPEND CMAKE_FIND_ROOT_PATH "${MARROWLINK_WINDOWS_MOSQUITTO}")
