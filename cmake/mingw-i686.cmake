# Cross-compiles for 32-bit Windows with mingw-w64 (posix thread model):
# the build a customer installs, able to load the vendor's 32-bit libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELMORA_MINGW_TRIPLE i686-w64-mingw32)
# Doubles computed as doubles, as on x86_64: with the x87 unit's wider
# registers a rate of 3.9000 became 38999 ten-thousandths instead of 39000.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
