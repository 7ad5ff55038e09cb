# Fails unless the manifest inside the executable EXE names its own architecture ARCH (x86: x86,
# x64: amd64): Windows may refuse to start a program whose manifest names another one. The
# manifest is kept as plain text among the resources, the only place that names an architecture.
# Its one dependency, version 6 of the common controls, fits every architecture ("*").
cmake_minimum_required(VERSION 3.25)

if(ARCH STREQUAL "x64")
  set(expected amd64)
else()
  set(expected x86)
endif()
file(STRINGS ${EXE} identities REGEX "processorArchitecture=")
set(controls "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"\\*\"")
list(FILTER identities EXCLUDE REGEX "${controls}")
list(LENGTH identities count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${EXE} holds ${count} assembly identities of its own, not one manifest's: ${identities}")
endif()
if(NOT identities MATCHES "<assemblyIdentity [^>]*processorArchitecture=\"${expected}\"")
  message(FATAL_ERROR "the manifest of ${EXE} does not name ${expected}: ${identities}")
endif()
file(STRINGS ${EXE} dependencies REGEX "${controls}")
if(NOT dependencies)
  message(FATAL_ERROR "the manifest of ${EXE} does not depend on version 6 of the common controls")
endif()
message(STATUS "${identities}")
