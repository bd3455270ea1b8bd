# marrowlink_windows_cache(<variable> <script> <description>): the folder that
# a scripts/windows/build-*.sh caches its cross-built library in, asked of
# the script itself (--print-dir), unless the variable names another.
function(marrowlink_windows_cache variable script description)
  if(${variable})
    return()
  endif()
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows/${script} --print-dir
    OUTPUT_VARIABLE folder
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE print_result)
  if(NOT print_result EQUAL 0)
    set(folder "")
  endif()
  set(${variable} "${folder}" CACHE PATH "${description}" FORCE)
endfunction()
