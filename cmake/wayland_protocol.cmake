# Client code for Wayland protocols, generated at build time from their XML descriptions with
# wayland-scanner: each protocol's header and glue code, added to the target, which includes them
# by the protocol's name, as "viewporter-client-protocol.h".
enable_language(C)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
# Debian's wayland-protocols: the XML of the standard ones.
pkg_get_variable(WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)

function(wayland_protocol_code target)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/wayland_protocols)
  foreach(protocol IN LISTS ARGN)
    cmake_path(GET protocol STEM name)
    set(code ${generated}/${name})
    add_custom_command(OUTPUT ${code}-client-protocol.h ${code}-protocol.c
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
                       COMMAND ${WAYLAND_SCANNER} client-header ${protocol} ${code}-client-protocol.h
                       COMMAND ${WAYLAND_SCANNER} private-code ${protocol} ${code}-protocol.c DEPENDS ${protocol})
    target_sources(${target} PRIVATE ${code}-client-protocol.h ${code}-protocol.c)
  endforeach()
  target_include_directories(${target} PRIVATE ${generated})
  target_link_libraries(${target} PRIVATE PkgConfig::WAYLAND_CLIENT)
endfunction()
