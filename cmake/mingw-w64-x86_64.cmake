# Cross-compiles the module for 64-bit Windows with Debian's MinGW-w64 (posix threads variant).
# The -posix compilers are named in full: installing the -win32 variant switches the plain names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GH_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GH_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GH_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GH_MINGW_PREFIX}-windres)
# GNU dlltool: LLVM's accepts the "name == decorated" .def lines but writes an empty library.
set(CMAKE_DLLTOOL ${GH_MINGW_PREFIX}-dlltool CACHE FILEPATH "GNU dlltool for MinGW-w64")

set(CMAKE_FIND_ROOT_PATH /usr/${GH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
