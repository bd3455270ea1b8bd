# The Qt that scripts/windows/build-qt.sh cross-builds for MinGW-w64, found in
# its cache folder unless MARROWLINK_WINDOWS_QT names another. Its host tools
# (moc, uic, rcc) are the machine's own Qt of the same version.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsCache.cmake)
marrowlink_windows_cache(MARROWLINK_WINDOWS_QT build-qt.sh "Qt built for Windows (MinGW-w64)")

if(NOT EXISTS "${MARROWLINK_WINDOWS_QT}/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake")
  message(FATAL_ERROR
    "No Qt for Windows in '${MARROWLINK_WINDOWS_QT}': run scripts/windows/build-qt.sh, "
    "or set MARROWLINK_WINDOWS_QT to a Qt 6 built for MinGW-w64.")
endif()

# The toolchain searches for packages only below its root paths.
list(APPEND CMAKE_FIND_ROOT_PATH "${MARROWLINK_WINDOWS_QT}")
list(APPEND CMAKE_PREFIX_PATH "${MARROWLINK_WINDOWS_QT}")
