# Build rules shared by every component.

set(KIVO_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
cmake_path(NORMAL_PATH KIVO_SOURCE_DIR)

# Flags for every target: warnings, and Shift-JIS literals from UTF-8 sources. clang (the fuzz
# preset) knows no CP932 execution character set; its literals stay UTF-8.
add_compile_options(-Wall -Wextra -finput-charset=UTF-8)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-fexec-charset=CP932)
endif()

if(KIVO_WINDOWS)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
  if(KIVO_WIN64)
    add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501)
  else()
    # The product runs on Windows 95/98: the headers offer only what 4.0 has. Where 98 adds
    # something, the code asks for it by name at run time.
    add_compile_definitions(_WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_WINDOWS=0x0400)
    # Plain code for the Pentium (no CMOV, no SSE); the codec's SIMD rows carry their own flags
    # and run only after the CPU check.
    add_compile_options(-march=pentium -mtune=generic)
  endif()
  # No toolchain DLL is shipped: the runtime is linked in.
  add_link_options(-static-libgcc -static-libstdc++ -static)
  if(NOT KIVO_WIN64)
    # Every binary takes the runtime's semaphore creation that works on 9x (see the source).
    add_library(kivo_win9x_runtime STATIC ${KIVO_SOURCE_DIR}/platform/win9x/create_semaphore.c)
    add_link_options(-Wl,-u,__imp__CreateSemaphoreW@16)
    link_libraries(kivo_win9x_runtime)
  endif()
  # Texts in resource scripts stay UTF-8 (the scripts say #pragma code_page(65001)).
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()

# The Wine a test program runs under.
if(KIVO_WIN64)
  set(KIVO_WINE_ARCH win64)
else()
  set(KIVO_WINE_ARCH win32)
endif()

if(KIVO_NATIVE AND KIVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# The fuzz targets are guided by coverage of the code they reach, not only of their own file.
if(KIVO_NATIVE AND KIVO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# For code that is not ours and includes <chrono>: C++20's <chrono> holds a micro sign that
# CP932 cannot encode, so such a target keeps the default execution character set.
# Our own sources avoid <chrono> (use the system tick count) and keep CP932.
function(kivo_no_exec_charset target)
  get_target_property(opts ${target} COMPILE_OPTIONS)
  if(opts)
    list(REMOVE_ITEM opts -fexec-charset=CP932)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "${opts}")
  endif()
endfunction()

# KIVO_ONLY (a list of folders, for a developer's partial build while others work in the tree):
# when set, only these component folders and test folders are built.
set(KIVO_ONLY "" CACHE STRING "Build only these folders (empty: everything)")

function(kivo_wanted dir result)
  set(${result} TRUE PARENT_SCOPE)
  if(KIVO_ONLY)
    set(${result} FALSE PARENT_SCOPE)
    foreach(only IN LISTS KIVO_ONLY)
      if(dir STREQUAL only OR dir MATCHES "^${only}/")
        set(${result} TRUE PARENT_SCOPE)
      endif()
    endforeach()
  endif()
endfunction()

function(kivo_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    kivo_wanted(${dir} wanted)
    if(wanted AND EXISTS ${KIVO_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${KIVO_SOURCE_DIR}/${dir} ${CMAKE_BINARY_DIR}/${dir})
    endif()
  endforeach()
endfunction()

# Each child folder with a CMakeLists.txt joins the build, in name order.
function(kivo_add_child_directories parent)
  if(EXISTS ${KIVO_SOURCE_DIR}/${parent}/CMakeLists.txt)
    add_subdirectory(${KIVO_SOURCE_DIR}/${parent} ${CMAKE_BINARY_DIR}/${parent})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${KIVO_SOURCE_DIR}/${parent}
       ${KIVO_SOURCE_DIR}/${parent}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    kivo_wanted(${parent}/${child} wanted)
    if(wanted AND EXISTS ${KIVO_SOURCE_DIR}/${parent}/${child}/CMakeLists.txt)
      add_subdirectory(${KIVO_SOURCE_DIR}/${parent}/${child} ${CMAKE_BINARY_DIR}/${parent}/${child})
    endif()
  endforeach()
endfunction()

# A portable library: no windows.h; built for every preset so that it is tested natively
# and linked into the Win32 binaries.
function(kivo_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# Give a Windows binary the exact file name the system expects ("ZTUNER.VXD", "kvtun32.dll").
function(kivo_output_name target filename)
  get_filename_component(stem ${filename} NAME_WLE)
  get_filename_component(ext ${filename} LAST_EXT)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${stem} SUFFIX ${ext})
endfunction()

# GoogleTest: the system package natively, built from its sources for Windows.
if(KIVO_NATIVE)
  find_package(GTest QUIET)
  if(NOT GTest_FOUND AND EXISTS /usr/src/googletest/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
elseif(KIVO_WINDOWS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
  # The win32 thread model has no std::mutex (GCC 12): googletest's one use of it is replaced.
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC -include ${KIVO_SOURCE_DIR}/cmake/gtest_notification_win32.h)
  # The sources are not ours: their warnings are not ours to fix.
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
      kivo_no_exec_charset(${t})
    endif()
  endforeach()
endif()

# kivo_unit_test(name SOURCES ... LIBS ...): a native GoogleTest program, label "unit".
function(kivo_unit_test name)
  if(NOT KIVO_NATIVE)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 600)
endfunction()

# kivo_wine_test(name SOURCES ... LIBS ... [DEPENDS targets] [DESKTOP WxH] [SCREEN WxHxD] [TIMEOUT s]):
# a GoogleTest program run under Wine in the build tree's prefix, label "wine": 64-bit Wine for
# the win64 build, the unpacked 32-bit Wine for the win32 build (the product's own).
# DESKTOP runs it inside a virtual desktop, so that it sees the windows of what it starts;
# SCREEN gives it an X screen of its own (an 8-bit one for the 256-colour paths).
function(kivo_wine_test name)
  if(NOT KIVO_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(T "" "DESKTOP;SCREEN;TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} kivo_winetest gtest)
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 900)
  endif()
  set(desktop_args)
  if(T_DESKTOP)
    set(desktop_args --desktop ${T_DESKTOP})
  endif()
  if(T_SCREEN)
    list(APPEND desktop_args --screen ${T_SCREEN})
  endif()
  add_test(NAME ${name}
           COMMAND ${KIVO_SOURCE_DIR}/scripts/wine-test --build ${CMAKE_BINARY_DIR} --arch ${KIVO_WINE_ARCH} ${desktop_args}
                   $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT ${T_TIMEOUT} RESOURCE_LOCK wineprefix)
endfunction()

# kivo_install(targets...): the file belongs in the program folder (C:\KIVO under Wine).
function(kivo_install)
  if(KIVO_WINDOWS)
    foreach(t IN LISTS ARGN)
      install(FILES $<TARGET_FILE:${t}> DESTINATION .)
    endforeach()
  endif()
endfunction()

# kivo_import_library(target DLL file.dll DEF_TEXT text SOURCE_DEF path DLL_TARGET t):
# an import library made by dlltool from the given .def text (entries by ordinal, NONAME where
# clients must bind by ordinal only), offered as the INTERFACE target `target` with the header
# folder of the calling directory.
function(kivo_import_library target)
  cmake_parse_arguments(I "" "DLL;DEF_TEXT;SOURCE_DEF;DLL_TARGET" "" ${ARGN})
  set(def_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_import.def)
  file(WRITE ${def_file} "${I_DEF_TEXT}")
  find_program(KIVO_DLLTOOL NAMES ${KIVO_TRIPLE}-dlltool REQUIRED)
  set(import_lib ${CMAKE_BINARY_DIR}/lib/lib${target}_ordinal.a)
  set(kill_at)
  if(NOT KIVO_WIN64)
    set(kill_at -k)  # the stdcall names of the .def text, exported without decoration
  endif()
  add_custom_command(OUTPUT ${import_lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND ${KIVO_DLLTOOL} -d ${def_file} -D ${I_DLL} -l ${import_lib} ${kill_at}
    DEPENDS ${def_file} ${I_SOURCE_DEF}
    COMMENT "Import library of ${I_DLL} by ordinal")
  add_custom_target(${target}_import DEPENDS ${import_lib})
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} INTERFACE ${import_lib})
  add_dependencies(${target} ${target}_import ${I_DLL_TARGET})
endfunction()
