# 32-bit Windows (PE32), the release target: runs on 32-bit and 64-bit Windows 7 to 11.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
