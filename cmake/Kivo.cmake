# Shared build settings and the helpers every folder uses.

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_library(kivo_options INTERFACE)
target_compile_options(kivo_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wno-unknown-pragmas -Wno-missing-field-initializers>
  $<$<BOOL:${KIVO_WERROR}>:-Werror>)
# Windows 7 and later APIs (0x0601) with the common controls and shell of Internet Explorer 8
# (0x0800), ANSI text (the program's strings are char), no min/max macros.
target_compile_definitions(kivo_options INTERFACE
  WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 NOMINMAX STRICT)
target_include_directories(kivo_options INTERFACE ${CMAKE_SOURCE_DIR})
# One self-contained binary: no libstdc++, libgcc or winpthread DLLs to ship.
target_link_options(kivo_options INTERFACE -static -static-libgcc -static-libstdc++)

# boost is header-only here; it is reached through a folder that holds nothing but "boost",
# so the host's /usr/include never appears on the cross compiler's search path.
set(KIVO_BOOST_HEADERS /usr/include/boost CACHE PATH "The boost header folder (the one holding version.hpp)")
set(KIVO_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
if(NOT EXISTS ${KIVO_BOOST_INCLUDE}/boost)
  if(NOT EXISTS ${KIVO_BOOST_HEADERS}/version.hpp)
    message(FATAL_ERROR "boost headers not found in ${KIVO_BOOST_HEADERS}: install libboost-dev")
  endif()
  file(MAKE_DIRECTORY ${KIVO_BOOST_INCLUDE})
  file(CREATE_LINK ${KIVO_BOOST_HEADERS} ${KIVO_BOOST_INCLUDE}/boost SYMBOLIC COPY_ON_ERROR)
endif()
add_library(kivo_boost INTERFACE)
target_include_directories(kivo_boost SYSTEM INTERFACE ${KIVO_BOOST_INCLUDE})

# GoogleTest from Debian's sources, compiled with the cross toolchain; on Windows, MSYS2's package.
macro(kivo_add_googletest)
  set(KIVO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source folder")
  if(EXISTS ${KIVO_GTEST_SOURCE}/CMakeLists.txt)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${KIVO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
    add_library(gtest ALIAS GTest::gtest)
    add_library(gmock ALIAS GTest::gmock)
  endif()
endmacro()

# kivo_library(NAME [DEPENDS lib...] [EXCLUDE file...])
# A static library of every .cpp file under the calling folder, except its tests/ and bench/ folders.
function(kivo_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE;LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER sources EXCLUDE REGEX "/(tests|bench)/")
  foreach(file IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC kivo_options kivo_boost ${ARG_DEPENDS} ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE kivo_options kivo_boost ${ARG_DEPENDS} ${ARG_LIBS})
  endif()
endfunction()

# Test executables that drive windows with the real mouse, keys and focus or by their place on the
# screen (drags, drops, the window under a point), or look for the browser's main window, run in a
# Wine world of their own (prefix, display and server under wine-NAME in the build folder): on a
# shared desktop another test program's window could lie over the point a drag aims at, take the
# foreground and the keys, move the one cursor, or be the main window a second start hands its URL
# to. So they need not run alone.
# Those that drive modal dialogs too: a dialog is looked for by its class, and another program's
# dialog of that class would be the one driven. And the rig's own tests, which compare the whole of
# the current user's registry before and after a test process: Wine keeps settings that other
# programs change there (its temporary system parameters).
set(KIVO_OWN_WORLD_TESTS core_tests controls_tests docking_tests widgets_tests frame_tests
    navigation_tests favorites_tests gesture_tests watcher_tests browser_tests options_tests
    dialogs_tests services_tests pagetools_tests adfilter_tests rig_tests
    scenario_tests)

# kivo_test(NAME SOURCES file... [LIBS lib...])
# One test executable, run as one CTest test under Wine (each Wine start costs a second or two).
function(kivo_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kivo_testmain ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  if(name IN_LIST KIVO_OWN_WORLD_TESTS)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "KIVO_WINE_HOME=${CMAKE_BINARY_DIR}/wine-${name}")
  endif()
endfunction()

# kivo_test_folder(NAME [LIBS lib...]): one test executable of every .cpp in the calling folder's tests/.
function(kivo_test_folder name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(sources)
    kivo_test(${name} SOURCES ${sources} LIBS ${ARG_LIBS})
  endif()
endfunction()

# The 32-bit installer plug-in: a second configure of this tree with the i686 toolchain.
function(kivo_add_x86_build)
  find_program(KIVO_I686_CXX i686-w64-mingw32-g++-posix)
  if(NOT KIVO_I686_CXX)
    message(STATUS "No i686 mingw-w64 compiler: the 32-bit installer plug-in is not built")
    return()
  endif()
  include(ExternalProject)
  ExternalProject_Add(x86
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/x86
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/toolchain-i686-mingw.cmake
               -DKIVO_PLUGIN_ONLY=ON -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DKIVO_WERROR=${KIVO_WERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
endfunction()

# windres reports no dependencies, so a resource script would not be rebuilt when a file it
# includes changes (a bitmap, a configuration, another script). Every resource script of every
# target therefore depends on all resource inputs of the tree.
function(kivo_resource_dependencies)
  file(GLOB_RECURSE inputs CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/*.rc ${CMAKE_SOURCE_DIR}/*.rc2 ${CMAKE_SOURCE_DIR}/*.qpp ${CMAKE_SOURCE_DIR}/*.bmp
    ${CMAKE_SOURCE_DIR}/*.ico ${CMAKE_SOURCE_DIR}/*.cur ${CMAKE_SOURCE_DIR}/*.manifest
    ${CMAKE_SOURCE_DIR}/*/resource.h ${CMAKE_SOURCE_DIR}/*Resource*.h)
  list(FILTER inputs EXCLUDE REGEX "^${CMAKE_BINARY_DIR}/|/build[^/]*/")
  set(folders ${CMAKE_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
        continue()
      endif()
      get_target_property(sources ${target} SOURCES)
      list(FILTER sources INCLUDE REGEX "\\.rc$")
      if(sources)
        set_source_files_properties(${sources} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${inputs}")
      endif()
    endforeach()
  endwhile()
endfunction()

# kivo_delay_imports(TARGET dll...): the target reaches these system DLLs through delay-load thunks,
# so each is loaded at the first call of one of its functions, not while the process starts (under
# Wine every DLL loaded at start costs the loader's round trips to the server and the DLL's own
# initialisation, ahead of the program's first line). The thunk libraries come first on the link
# line and whole, so the DLLs' ordinary import libraries, which the libraries name, find nothing left
# to resolve. A DLL that cannot be loaded at its first call ends the process with the loader's
# exception: only system DLLs that every supported Windows has belong here.
function(kivo_delay_imports target)
  set(folder ${CMAKE_BINARY_DIR}/delay-imports)
  set(libraries)
  foreach(dll IN LISTS ARGN)
    find_library(KIVO_IMPORT_LIBRARY_${dll} NAMES lib${dll}.a ${dll} REQUIRED)
    set(output ${folder}/lib${dll}-delay.a)
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL}
              -DIMPORT_LIBRARY=${KIVO_IMPORT_LIBRARY_${dll}} -DDLL=${dll}.dll -DDEF=${folder}/${dll}.def
              -DOUTPUT=${output} -P ${CMAKE_SOURCE_DIR}/cmake/DelayImportLibrary.cmake
      DEPENDS ${KIVO_IMPORT_LIBRARY_${dll}} ${CMAKE_SOURCE_DIR}/cmake/DelayImportLibrary.cmake
      COMMENT "Delay-load import library of ${dll}.dll"
      VERBATIM)
    list(APPEND libraries ${output})
  endforeach()
  add_custom_target(${target}_delay_imports DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delay_imports)
  list(JOIN libraries " " joined)
  target_link_options(${target} PRIVATE "SHELL:-Wl,--whole-archive ${joined} -Wl,--no-whole-archive")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
endfunction()

# kivo_separate_debug_info(TARGET): the target's debug information moves into TARGET.debug beside
# it, which the stripped image names in its debug link, so addr2line, gdb and winedbg still find
# it. The loader then maps an image of a few megabytes instead of one that carries its debug
# information.
function(kivo_separate_debug_info target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    COMMENT "Debug information of ${target} into its own file"
    VERBATIM)
endfunction()
