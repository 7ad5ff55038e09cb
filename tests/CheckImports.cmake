# Fails unless the executable EXE is a GUI program of architecture ARCH (x86: PE32, x64: PE32+)
# whose imports are all known DLLs of Windows 7 to 11, which the system always takes from its own
# folder: it starts on a clean Windows with nothing installed beside it, and no DLL lying beside
# it is loaded before it runs. OBJDUMP is the objdump of that architecture.
cmake_minimum_required(VERSION 3.25)

if(ARCH STREQUAL "x64")
  set(format "pei-x86-64")
  set(magic "020b")
else()
  set(format "pei-i386")
  set(magic "010b")
endif()
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${EXE}")
endif()
if(NOT headers MATCHES "file format ${format}" OR NOT headers MATCHES "Magic[\t ]+${magic}"
   OR NOT headers MATCHES "Subsystem[\t ]+00000002")
  message(FATAL_ERROR "${EXE} is not a ${format} Windows GUI executable")
endif()

# Others (GDI+, urlmon) are loaded at their first call, from the system's folder only.
set(system_dlls kernel32.dll user32.dll gdi32.dll ole32.dll oleaut32.dll shell32.dll msvcrt.dll advapi32.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    message(FATAL_ERROR "${EXE} imports ${dll}, which is not a known DLL of every Windows")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
