# Fails unless the manifest inside the executable EXE names its own architecture ARCH (x86: x86,
# x64: amd64): Windows may refuse to start a program whose manifest names another one. The
# manifest is kept as plain text among the resources, the only place that names an architecture.
cmake_minimum_required(VERSION 3.25)

if(ARCH STREQUAL "x64")
  set(expected amd64)
else()
  set(expected x86)
endif()
file(STRINGS ${EXE} identities REGEX "processorArchitecture=")
list(LENGTH identities count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${EXE} holds ${count} assembly identities, not one manifest's: ${identities}")
endif()
if(NOT identities MATCHES "<assemblyIdentity [^>]*processorArchitecture=\"${expected}\"")
  message(FATAL_ERROR "the manifest of ${EXE} does not name ${expected}: ${identities}")
endif()
message(STATUS "${identities}")
