# Every handle has a holder: the calls that give a kernel handle, a registry key, a GDI object or a
# device context back to the system appear only inside the holders that own them. Run as
#   cmake -DKIVO_SOURCE_DIR=<tree> -P LintHolders.cmake
# and fails, listing each file and line, when a release call stands anywhere else in the libraries'
# sources (their tests/ folders aside: tests check the holders with the raw calls).
#
# The edit control, which uses nothing else of the program, keeps its own few holders in
# editctl/win/GdiHolders.h.
cmake_minimum_required(VERSION 3.25)
if(NOT KIVO_SOURCE_DIR)
  message(FATAL_ERROR "LintHolders.cmake: KIVO_SOURCE_DIR is not set")
endif()

set(folders platform core controls frame browser navigation editctl setup-plugin)
# The one place each call belongs to, relative to the tree.
set(allowed_CloseHandle platform/AtlBase.h editctl/win/GdiHolders.h)
set(allowed_RegCloseKey core/library/RegistryKey.cpp editctl/win/GdiHolders.h)
set(allowed_DeleteObject platform/AtlGdi.h editctl/win/GdiHolders.h)
set(allowed_DeleteDC platform/AtlGdi.h editctl/win/GdiHolders.h)
set(calls CloseHandle RegCloseKey DeleteObject DeleteDC)

set(violations 0)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE ${KIVO_SOURCE_DIR}
       ${KIVO_SOURCE_DIR}/${folder}/*.cpp ${KIVO_SOURCE_DIR}/${folder}/*.h)
  foreach(source IN LISTS sources)
    if(source MATCHES "(^|/)tests/")
      continue()
    endif()
    file(STRINGS ${KIVO_SOURCE_DIR}/${source} lines REGEX "CloseHandle|RegCloseKey|DeleteObject|DeleteDC")
    foreach(line IN LISTS lines)
      # Comments may name the calls; only code counts.
      string(REGEX REPLACE "//.*$" "" code "${line}")
      foreach(call IN LISTS calls)
        # A call of the system function (plain or with ::), not a holder's member of the same name
        # (brush.DeleteObject()), nor a longer name that contains it.
        if(code MATCHES "(^|[^A-Za-z0-9_.>])${call}([^A-Za-z0-9_]|$)" AND NOT source IN_LIST allowed_${call})
          string(STRIP "${line}" shown)
          message(STATUS "${source}: ${call} outside its holder: ${shown}")
          math(EXPR violations "${violations} + 1")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(STATUS "lint_holders: ${violations} release call(s) outside the holders")
  message(FATAL_ERROR "Use CHandle, CFindHandle, CRegistryKey or the GDI holders of platform/AtlGdi.h")
endif()
message(STATUS "lint_holders: every release call is inside its holder")
