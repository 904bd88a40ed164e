# Linux install rules and the Debian package (CPack).
#
#   cpack --config build/linux/CPackConfig.cmake -G DEB   ->  needlecast_<version>_amd64.deb
#   (build/linux-arm64: needlecast_<version>_arm64.deb)
#
# Everything installs under the prefix /usr: the hack beside the other XScreenSaver hacks,
# its settings description, its desktop entry, the headless runner, and the documents
# Debian asks every package for.

set(packaging_dir ${CMAKE_SOURCE_DIR}/packaging/linux)
set(packaging_build_dir ${CMAKE_BINARY_DIR}/packaging)

# Directories the install creates, in the staging tree too, are rwxr-xr-x whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The changelog and the manual pages (which name the version) ship compressed with gzip -9n:
# no name, no time stamp, so the same text always gives the same bytes.
find_program(NEEDLECAST_GZIP gzip REQUIRED)
set(packaging_gzipped "")
foreach(document changelog needlecast.6 needlecast-sim.1 needlecast-xscreensaver.1)
  set(output ${packaging_build_dir}/${document}.gz)
  configure_file(${packaging_dir}/${document} ${packaging_build_dir}/configured/${document} @ONLY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${packaging_build_dir}/configured/${document} ${packaging_build_dir}/${document}
    COMMAND ${NEEDLECAST_GZIP} -9nf ${packaging_build_dir}/${document}
    DEPENDS ${packaging_build_dir}/configured/${document}
    COMMENT "Compressing ${document}"
    VERBATIM)
  list(APPEND packaging_gzipped ${output})
endforeach()
add_custom_target(needlecast_package_documents ALL DEPENDS ${packaging_gzipped})

# Programs rwxr-xr-x (the install(TARGETS) default), data rw-r--r-- (the install(FILES) default).
if(TARGET needlecast)
  install(TARGETS needlecast RUNTIME DESTINATION libexec/xscreensaver)
endif()
install(TARGETS needlecast-sim RUNTIME DESTINATION bin)
if(TARGET needlecast-xscreensaver)
  install(TARGETS needlecast-xscreensaver RUNTIME DESTINATION bin)
endif()
install(FILES ${packaging_dir}/needlecast.xml DESTINATION share/xscreensaver/config)
install(FILES ${packaging_dir}/needlecast.desktop DESTINATION share/applications/screensavers)
install(FILES ${packaging_dir}/copyright ${packaging_build_dir}/changelog.gz
        DESTINATION share/doc/needlecast)
install(FILES ${packaging_build_dir}/needlecast.6.gz DESTINATION share/man/man6)
install(FILES ${packaging_build_dir}/needlecast-sim.1.gz ${packaging_build_dir}/needlecast-xscreensaver.1.gz
        DESTINATION share/man/man1)

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME needlecast)
set(CPACK_PACKAGE_VENDOR "The Needlecast developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Needlecast developers <needlecast@needlecast.invalid>")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Programs stripped as dh_strip strips them, in the staging tree (cmake/deb-strip.cmake).
set(CPACK_STRIP_FILES OFF)
set(CPACK_NEEDLECAST_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb-strip.cmake)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Buffon's needle experiment as a 3-D OpenGL screen saver")
set(CPACK_PACKAGE_DESCRIPTION [=[
Needlecast plays Buffon's needle experiment as a live 3-D animation and keeps
a running estimate of pi on screen. Needles fly in from far away and fall on
a pane ruled with lines one needle-length apart; n counts the needles that
reach the pane, c those that cross a line, and the bottom of the screen shows
pi = 2 * n / c.

This package contains the hack for XScreenSaver and MATE's screen saver,
needlecast-xscreensaver, which lists it among a user's XScreenSaver hacks,
and needlecast-sim, which runs the experiment without a window and reports
how the estimate converges, in a table and a chart.
]=])

# Debian's name for the machine the toolchain builds for (amd64 natively, arm64 with the
# aarch64 toolchain), from its multiarch triple. Left empty when dpkg-architecture cannot
# tell: scripts/package-deb.sh then refuses to pack.
execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                OUTPUT_VARIABLE deb_architecture OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE deb_architecture_result ERROR_QUIET)
if(NOT deb_architecture_result EQUAL 0 OR CMAKE_LIBRARY_ARCHITECTURE STREQUAL "")
  message(WARNING "No Debian architecture for '${CMAKE_LIBRARY_ARCHITECTURE}': no package can be made")
  set(deb_architecture "")
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})
set(CPACK_DEBIAN_FILE_NAME "${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_${deb_architecture}.deb")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Depends: what dpkg-shlibdeps reads off the programs' linked libraries (GL, GLU, X11,
# EGL, FreeType, fontconfig, libpng, the C and C++ runtimes), with their minimum versions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The text asks fontconfig for Times, which Liberation Serif stands in for; any other
# face fontconfig offers still works. The hack is meant to be run by XScreenSaver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xscreensaver")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
