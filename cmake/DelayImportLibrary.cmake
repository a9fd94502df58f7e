# Makes a delay-load import library of a system DLL from its ordinary mingw-w64 import library:
# every function the import library names gets a thunk that loads the DLL at the function's first
# call. Run as
#   cmake -DNM=<nm> -DDLLTOOL=<dlltool> -DIMPORT_LIBRARY=<libx.a> -DDLL=<x.dll> -DDEF=<x.def>
#         -DOUTPUT=<libx-delay.a> -P DelayImportLibrary.cmake
# Data exports (names with no code symbol) stay out: they cannot be reached through a thunk. So do
# the entry points every COM server exports (DllGetClassObject and the like), which the system
# calls, never a program, and which several of the DLLs share.
cmake_minimum_required(VERSION 3.25)
foreach(variable NM DLLTOOL IMPORT_LIBRARY DLL DEF OUTPUT)
  if(NOT ${variable})
    message(FATAL_ERROR "DelayImportLibrary.cmake: ${variable} is not set")
  endif()
endforeach()

execute_process(COMMAND ${NM} -g --defined-only ${IMPORT_LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "DelayImportLibrary.cmake: ${NM} could not read ${IMPORT_LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(names)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ T ([A-Za-z_][A-Za-z0-9_@]*)$")
    set(name ${CMAKE_MATCH_1})
    if(NOT name MATCHES "^Dll[A-Z]")
      list(APPEND names ${name})
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES names)
list(LENGTH names count)
if(count EQUAL 0)
  message(FATAL_ERROR "DelayImportLibrary.cmake: no functions found in ${IMPORT_LIBRARY}")
endif()
list(JOIN names "\n" exports)
file(WRITE ${DEF} "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
execute_process(COMMAND ${DLLTOOL} --input-def ${DEF} --dllname ${DLL} --output-delaylib ${OUTPUT}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "DelayImportLibrary.cmake: ${DLLTOOL} could not make ${OUTPUT}")
endif()
