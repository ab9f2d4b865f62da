set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KIVO_TRIPLE i686-w64-mingw32)
# The win32 threading flavour: the runtime's threads, once and keys are Win32 primitives that
# Windows 95/98 have. The posix flavour links winpthread, which imports GetTickCount64,
# TryEnterCriticalSection, vectored exception handlers and other functions 9x lacks.
set(CMAKE_C_COMPILER   ${KIVO_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KIVO_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${KIVO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KIVO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
