# Cross-compiles for 32-bit Windows with mingw-w64 (posix thread model):
# the build a customer installs, able to load the vendor's 32-bit libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELMORA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
