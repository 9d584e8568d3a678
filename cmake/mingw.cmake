# Cross-compiles for Windows with MinGW-w64.
#   VANTREL_ARCH          i686 (the shipped 32-bit program) or x86_64 (tests on machines whose
#                         kernel cannot run 32-bit code, where only 64-bit Wine works)
#   VANTREL_THREAD_MODEL  win32 for the shipped program (no winpthreads, so no Vista-only
#                         imports), posix for the tests (GoogleTest needs std::mutex)
set(CMAKE_SYSTEM_NAME Windows)

if(NOT VANTREL_ARCH)
    set(VANTREL_ARCH i686)
endif()
if(NOT VANTREL_THREAD_MODEL)
    set(VANTREL_THREAD_MODEL win32)
endif()
set(VANTREL_ARCH "${VANTREL_ARCH}" CACHE STRING "Target processor: i686 or x86_64")
set(VANTREL_THREAD_MODEL "${VANTREL_THREAD_MODEL}" CACHE STRING "MinGW thread model: win32 or posix")
set(CMAKE_SYSTEM_PROCESSOR ${VANTREL_ARCH})

set(CMAKE_C_COMPILER ${VANTREL_ARCH}-w64-mingw32-gcc-${VANTREL_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${VANTREL_ARCH}-w64-mingw32-g++-${VANTREL_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${VANTREL_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
