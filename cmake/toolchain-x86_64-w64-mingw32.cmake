set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KIVO_TRIPLE x86_64-w64-mingw32)
# The win32 threading flavour, as in the i686 build. The posix flavour's winpthread gives every
# thread that reaches it a handle to itself and an event, kept in the DLL's own data: each load
# and unload of the codec by the compression manager left two handles behind for good.
set(CMAKE_C_COMPILER   ${KIVO_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KIVO_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${KIVO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KIVO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
