# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads flavour).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
find_program(mingw_cxx NAMES ${mingw_prefix}-g++-posix)
find_program(mingw_windres NAMES ${mingw_prefix}-windres)
if(NOT mingw_cxx OR NOT mingw_windres)
  message(FATAL_ERROR
    "The mingw-w64 cross compiler was not found (${mingw_prefix}-g++-posix, ${mingw_prefix}-windres). "
    "On Debian: apt-get install g++-mingw-w64-x86-64-posix mingw-w64-tools")
endif()

set(CMAKE_CXX_COMPILER ${mingw_cxx})
set(CMAKE_RC_COMPILER ${mingw_windres})
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
