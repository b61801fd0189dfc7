# Compile settings shared by every target, and the folder-library helper.

add_library(zelk_options INTERFACE)
target_compile_definitions(zelk_options INTERFACE
  UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_options(zelk_options INTERFACE
  -Wall -Wextra $<$<BOOL:${ZELK_WERROR}>:-Werror>)
target_include_directories(zelk_options INTERFACE ${PROJECT_SOURCE_DIR})
# One self-contained exe: no libgcc, libstdc++ or winpthread DLLs beside it.
target_link_options(zelk_options INTERFACE -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

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
