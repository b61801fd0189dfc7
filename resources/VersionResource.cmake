# zelk_version_resource(<out.rc> <package-address>): the installer's version
# resource and manifest, and the windows' resources beside them. PrivateBuild
# holds the package address padded with spaces to its fixed 129-character
# slot, so a shipped exe can be re-pointed by patching the string in place.
set(ZELK_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})

function(zelk_version_resource out url)
  string(LENGTH "${url}" _len)
  if(_len GREATER 129)
    message(FATAL_ERROR "Package address longer than the 129-character slot: ${url}")
  endif()
  math(EXPR _pad "129 - ${_len}")
  string(REPEAT " " ${_pad} _spaces)
  set(ZELK_PRIVATE_BUILD "${url}${_spaces}")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ZELK_MANIFEST_ARCH amd64)
  else()
    set(ZELK_MANIFEST_ARCH x86)
  endif()
  get_filename_component(_dir "${out}" DIRECTORY)
  configure_file(${ZELK_RESOURCES_DIR}/installer.manifest.in ${_dir}/installer.manifest @ONLY)
  set(ZELK_MANIFEST_FILE ${_dir}/installer.manifest)
  configure_file(${ZELK_RESOURCES_DIR}/installer.rc.in ${out} @ONLY)
  zelk_window_resources(${_dir}/installer_ui.rc ${out})
endfunction()

# zelk_window_resources(<out.rc> <including.rc>): the windows' XML documents,
# pictures, icon, box template and menu, included by <including.rc>. The
# compiler does not see the files the script names, so the including script
# is made to depend on them.
function(zelk_window_resources out including)
  configure_file(${ZELK_RESOURCES_DIR}/installer_ui.rc.in ${out} @ONLY)
  file(GLOB _files CONFIGURE_DEPENDS
    ${ZELK_RESOURCES_DIR}/xml/*.xml ${ZELK_RESOURCES_DIR}/pictures/*.png ${ZELK_RESOURCES_DIR}/icon/*.ico)
  set_property(SOURCE ${including} APPEND PROPERTY OBJECT_DEPENDS ${out} ${_files})
endfunction()
