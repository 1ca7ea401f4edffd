# A shipped file carries no debug information: after the link its symbols go into <file>.debug
# beside it, and the stripped file names that file (.gnu_debuglink), so a debugger still finds
# them, as release builds do.
function(brn_split_debug target)
  if(NOT CMAKE_OBJCOPY)
    message(WARNING "no objcopy: ${target} keeps its debug information")
    return()
  endif()
  set(_file $<TARGET_FILE_NAME:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${_file} ${_file}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --strip-unneeded ${_file}
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${_file}.debug ${_file}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
