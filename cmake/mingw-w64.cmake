# Cross toolchain for the Windows build (mingw-w64, POSIX thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The host's package configurations would put /usr/include on the mingw path;
# the header-only packages come from cmake/mingw-packages instead.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages)
# Static runtime: the programs run without any DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
