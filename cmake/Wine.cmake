# What differs between the 32-bit build and its 64-bit twin outside the sources: the
# architecture's name, its name in the manifest (a manifest of another architecture can keep the
# program from starting), its objdump, and how its programs run under Wine (the loader of that
# architecture, never the `wine` wrapper's pick, in a prefix of its own in the build tree).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LAUNCHER_ARCH x64)
  set(LAUNCHER_MANIFEST_ARCH amd64)
  set(LAUNCHER_OBJDUMP x86_64-w64-mingw32-objdump)
  set(WINE_LOADER /usr/lib/wine/wine64)
  set(WINE_ARCH win64)
  set(launcher_skip_reason "64-bit tests skipped: this machine cannot run 64-bit code")
else()
  set(LAUNCHER_ARCH x86)
  set(LAUNCHER_MANIFEST_ARCH x86)
  set(LAUNCHER_OBJDUMP i686-w64-mingw32-objdump)
  set(WINE_LOADER /usr/lib/wine/wine)
  set(WINE_ARCH win32)
  set(launcher_skip_reason "32-bit tests skipped: this machine runs 64-bit code only")
endif()
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_ENVIRONMENT WINEARCH=${WINE_ARCH} WINELOADER=${WINE_LOADER} "WINEDLLOVERRIDES=mscoree,mshtml=")

# scripts/test turns this off where this build's programs cannot run, and says why.
option(LAUNCHER_RUN_TESTS "Run the tests, which start this build's programs under Wine" ON)
set(LAUNCHER_SKIP_REASON "${launcher_skip_reason}" CACHE STRING "What skipped tests say when they do not run")

set(CMAKE_CROSSCOMPILING_EMULATOR env ${WINE_ENVIRONMENT} WINEPREFIX=${WINE_PREFIX} ${WINE_LOADER})

# add_launcher_test(<name> COMMAND ...): the test <arch>.<name>, so that the two builds' tests can
# run side by side. Where the machine cannot run this build's programs it is reported as skipped,
# with the reason as its output.
function(add_launcher_test name)
  set(test ${LAUNCHER_ARCH}.${name})
  if(LAUNCHER_RUN_TESTS)
    add_test(NAME ${test} ${ARGN})
  else()
    add_test(NAME ${test} COMMAND ${CMAKE_COMMAND} -E echo "${LAUNCHER_SKIP_REASON}")
    set_tests_properties(${test} PROPERTIES SKIP_REGULAR_EXPRESSION "tests skipped")
  endif()
endfunction()

# For scripts/lib.sh, which runs this build's programs outside CTest.
file(WRITE ${CMAKE_BINARY_DIR}/wine.env
  "WINEARCH=${WINE_ARCH}\nWINELOADER=${WINE_LOADER}\nWINEPREFIX=${WINE_PREFIX}\n")
