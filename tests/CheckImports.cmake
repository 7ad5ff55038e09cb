# Fails unless the executable EXE is a 32-bit GUI program importing Windows system DLLs only,
# so that it starts on a clean Windows with nothing installed beside it.
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND i686-w64-mingw32-objdump -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${EXE}")
endif()
if(NOT headers MATCHES "Magic[\t ]+010b" OR NOT headers MATCHES "Subsystem[\t ]+00000002")
  message(FATAL_ERROR "${EXE} is not a PE32 Windows GUI executable")
endif()

set(system_dlls kernel32.dll user32.dll gdi32.dll gdiplus.dll ole32.dll oleaut32.dll shell32.dll urlmon.dll msvcrt.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    message(FATAL_ERROR "${EXE} imports ${dll}, which a clean Windows does not have")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
