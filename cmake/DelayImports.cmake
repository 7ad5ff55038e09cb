# Delay-import libraries. Windows looks for a DLL that is not one of its known DLLs beside the
# program first, and players run the launcher from where they download things: such a DLL is not
# imported by the loader before the entry function runs, but loaded at its first call, once the
# entry function has kept every load to the system's folder (toolkit/SystemLibrary).

# delay_import_library(<dll> <variable>): sets <variable> to a delay-import library of every
# function that MinGW's import library of <dll> names, made with dlltool in the build tree.
function(delay_import_library dll variable)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${dll}.a
    OUTPUT_VARIABLE import_library OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${import_library}
    OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  # A function has a thunk (T) beside its import slot. 32-bit names carry the C underscore, and
  # stdcall ones their argument bytes, which -k leaves out of the name looked up in the DLL.
  string(REGEX MATCHALL " T [^\n]+" thunks "${symbols}")
  list(TRANSFORM thunks REPLACE "^ T " "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(TRANSFORM thunks REPLACE "^_" "")
  endif()
  list(REMOVE_DUPLICATES thunks)
  list(JOIN thunks "\n" exports)
  set(directory ${CMAKE_BINARY_DIR}/delay-imports)
  file(CONFIGURE OUTPUT ${directory}/${dll}.def CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n" @ONLY)
  set(library ${directory}/lib${dll}_delay.a)
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_DLLTOOL} -k --input-def ${directory}/${dll}.def --dllname ${dll}.dll --output-delaylib ${library}
    DEPENDS ${directory}/${dll}.def
    COMMENT "Delay-import library of ${dll}.dll")
  add_custom_target(${dll}_delay DEPENDS ${library})
  set(${variable} ${library} PARENT_SCOPE)
endfunction()
