# Compile settings shared by every target, and the folder-library helper.

add_library(zelk_options INTERFACE)
target_compile_definitions(zelk_options INTERFACE
  UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Release code is built for size: the installer waits on the network, and the
# one hot loop, hashing the package, runs in libcrypto, which keeps its own
# flags. Placed after CMAKE_<LANG>_FLAGS_RELEASE, so -Os wins over its -O3.
target_compile_options(zelk_options INTERFACE
  -Wall -Wextra $<$<BOOL:${ZELK_WERROR}>:-Werror> $<$<CONFIG:Release>:-Os>)
target_include_directories(zelk_options INTERFACE ${PROJECT_SOURCE_DIR})
# One self-contained exe: no libgcc, libstdc++ or winpthread DLLs beside it.
# --gc-sections drops the functions of the dependencies (built a section per
# function) that nothing calls. Objects with DWARF unwind tables (our code and
# libstdc++ on i686) are kept whole: the linker keeps every .eh_frame, and
# each one refers to all functions of its object.
target_link_options(zelk_options INTERFACE -static -static-libgcc -static-libstdc++
  $<$<CONFIG:Release>:-s> $<$<CONFIG:Release>:-Wl,--gc-sections>)

# zelk_folder_library(<name> [DEPS ...] [EXCLUDE file.cpp ...]): a static library of every .cpp in
# the calling folder. A folder with no sources yet is an interface target so
# the dependency direction is fixed before the code arrives.
function(zelk_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(_x IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM _sources ${CMAKE_CURRENT_SOURCE_DIR}/${_x})
  endforeach()
  if(_sources)
    add_library(${name} STATIC ${_sources})
    target_link_libraries(${name} PUBLIC zelk_options ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE zelk_options ${ARG_DEPS})
  endif()
endfunction()
