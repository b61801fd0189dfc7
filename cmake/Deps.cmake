# Imported targets for the cross-built dependencies in ZELK_DEPS_PREFIX
# (made by scripts/build-deps.sh).
if(NOT ZELK_DEPS_PREFIX OR NOT EXISTS "${ZELK_DEPS_PREFIX}/versions.txt")
  message(FATAL_ERROR "ZELK_DEPS_PREFIX must name a prefix made by scripts/build-deps.sh")
endif()

set(_inc "${ZELK_DEPS_PREFIX}/include")
set(_lib "${ZELK_DEPS_PREFIX}/lib")

add_library(zelk_dep_headers INTERFACE)
target_include_directories(zelk_dep_headers SYSTEM INTERFACE "${_inc}")

add_library(zelk::rapidxml ALIAS zelk_dep_headers)

# -lz would pick libz.dll.a; name the static archive itself.
add_library(zelk::zlib STATIC IMPORTED GLOBAL)
set_target_properties(zelk::zlib PROPERTIES IMPORTED_LOCATION "${_lib}/libz.a"
  INTERFACE_LINK_LIBRARIES zelk_dep_headers)

add_library(zelk::png STATIC IMPORTED GLOBAL)
set_target_properties(zelk::png PROPERTIES IMPORTED_LOCATION "${_lib}/libpng16.a"
  INTERFACE_LINK_LIBRARIES "zelk::zlib;zelk_dep_headers")

add_library(zelk::crypto STATIC IMPORTED GLOBAL)
set_target_properties(zelk::crypto PROPERTIES IMPORTED_LOCATION "${_lib}/libcrypto.a"
  INTERFACE_COMPILE_DEFINITIONS "OPENSSL_API_COMPAT=0x10100000L"
  INTERFACE_LINK_LIBRARIES "zelk_dep_headers;ws2_32;gdi32;crypt32")

# libcurl is never linked: the program loads the DLL at run time.
add_library(zelk::curl_headers ALIAS zelk_dep_headers)
set(ZELK_CURL_DLL "${ZELK_DEPS_PREFIX}/bin/libcurl_x86.dll")

foreach(_g gtest gtest_main gmock)
  add_library(zelk::${_g} STATIC IMPORTED GLOBAL)
  set_target_properties(zelk::${_g} PROPERTIES IMPORTED_LOCATION "${_lib}/lib${_g}.a"
    INTERFACE_LINK_LIBRARIES zelk_dep_headers)
endforeach()
set_property(TARGET zelk::gtest_main APPEND PROPERTY INTERFACE_LINK_LIBRARIES zelk::gtest)
set_property(TARGET zelk::gmock APPEND PROPERTY INTERFACE_LINK_LIBRARIES zelk::gtest)
