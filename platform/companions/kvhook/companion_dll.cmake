# kivo_stdcall_dll(target FILE name.dll DEF file.def SOURCES ... [LIBS ...] EXPECT Name Name@ordinal ...)
# A DLL of WINAPI functions exported by plain name (and ordinal) on both targets, with an import
# library that stdcall callers link against. The build fails when an expected export is missing.
set(KIVO_COMPANION_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

if(KIVO_WINDOWS AND NOT KIVO_WIN64 AND NOT KIVO_DLLTOOL)
  if(CMAKE_DLLTOOL)
    set(KIVO_DLLTOOL ${CMAKE_DLLTOOL} CACHE FILEPATH "dlltool of the toolchain")
  else()
    find_program(KIVO_DLLTOOL NAMES ${KIVO_TRIPLE}-dlltool i686-w64-mingw32-dlltool REQUIRED)
  endif()
endif()

function(kivo_stdcall_dll target)
  cmake_parse_arguments(D "" "FILE;DEF" "SOURCES;LIBS;EXPECT" ${ARGN})
  set(def ${CMAKE_CURRENT_SOURCE_DIR}/${D_DEF})
  add_library(${target} SHARED ${D_SOURCES} ${def})
  kivo_output_name(${target} ${D_FILE})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  if(D_LIBS)
    target_link_libraries(${target} PRIVATE ${D_LIBS})
  endif()
  # The .def names carry the stdcall decoration; the exported names do not.
  target_link_options(${target} PRIVATE -Wl,--kill-at)
  if(NOT KIVO_WIN64)
    # ld's own import library loses the decoration that i686 callers look for: make it from the .def.
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${KIVO_DLLTOOL} -k -d ${def} -D ${D_FILE} -l $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
  endif()
  string(REPLACE ";" "," expect "${D_EXPECT}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DFILE=$<TARGET_FILE:${target}>
            -DEXPECT=${expect} -P ${KIVO_COMPANION_CMAKE_DIR}/check_exports.cmake
    VERBATIM)
  kivo_install(${target})
endfunction()
