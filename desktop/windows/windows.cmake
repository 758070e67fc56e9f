# The Windows executable's resources: the icon (16 to 256 px, from the same PNGs as the Linux
# icons), the version information and the manifest; included by desktop/CMakeLists.txt.
enable_language(RC)
find_program(ICOTOOL icotool REQUIRED)
set(VELLORA_WINDOWS_ICO ${CMAKE_CURRENT_BINARY_DIR}/vellora.ico)
add_custom_command(
  OUTPUT ${VELLORA_WINDOWS_ICO}
  COMMAND ${ICOTOOL} --create --output=${VELLORA_WINDOWS_ICO} ${icon_pngs}
  DEPENDS ${icon_pngs}
  COMMENT "Making the Windows icon"
  VERBATIM)
# The program lives in another folder, whose build would not know how to make the icon.
add_custom_target(vellora_windows_icon DEPENDS ${VELLORA_WINDOWS_ICO})
add_dependencies(vellora vellora_windows_icon)
set(VELLORA_WINDOWS_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/vellora.manifest)
configure_file(windows/vellora.manifest.in ${VELLORA_WINDOWS_MANIFEST} @ONLY)
configure_file(windows/vellora.rc.in ${CMAKE_CURRENT_BINARY_DIR}/vellora.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/vellora.rc PROPERTIES
  OBJECT_DEPENDS "${VELLORA_WINDOWS_ICO};${VELLORA_WINDOWS_MANIFEST}")
target_sources(vellora PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/vellora.rc)
# A window program: no console beside it.
set_target_properties(vellora PROPERTIES WIN32_EXECUTABLE ON)
