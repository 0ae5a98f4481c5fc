# What `cmake --install` adds besides the programs (shell/ and host/ install
# those), and the Debian package CPack makes from the same install:
# `cpack -G DEB` in a build tree, or `bash tools/package.sh`.
if(WIN32)
    # Read by the Windows zip (cmake/WindowsZip.cmake), which takes the DLL
    # itself from the "plugin" component of each Windows build.
    install(FILES ${PROJECT_SOURCE_DIR}/docs/windows-install.txt
            DESTINATION . RENAME INSTALL.txt COMPONENT doc)
    install(FILES ${PROJECT_SOURCE_DIR}/COPYRIGHT DESTINATION . RENAME COPYRIGHT.txt COMPONENT doc)
    return()
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT doc)
# The changelog, compressed as Debian installs it. Its newest entry must be
# this version.
file(STRINGS ${PROJECT_SOURCE_DIR}/docs/changelog tq_changelog_top LIMIT_COUNT 1)
if(NOT tq_changelog_top MATCHES "^tq-spectrum \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "docs/changelog starts with '${tq_changelog_top}', "
                        "not with an entry for ${PROJECT_VERSION}")
endif()
set(tq_changelog ${PROJECT_BINARY_DIR}/changelog)
add_custom_command(
    OUTPUT ${tq_changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/changelog ${tq_changelog}
    COMMAND gzip -9nf ${tq_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/changelog
    COMMENT "Compressing the changelog"
    VERBATIM
)
add_custom_target(tq_changelog ALL DEPENDS ${tq_changelog}.gz)
install(FILES ${tq_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT doc)
install(FILES ${PROJECT_SOURCE_DIR}/COPYRIGHT DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME copyright COMPONENT doc)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tq-spectrum)
set(CPACK_PACKAGE_VENDOR corvale)
set(CPACK_PACKAGE_CONTACT corvale)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spectrum analyser plug-in (Linux VST 2.4) and command-line host")
# Debian shows the description as it stands: lines under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "tq-spectrum shows the spectrum of a stereo signal in 97 bands, on a linear
or a logarithmic frequency axis, and hands the audio back unchanged. The
plug-in is installed in /usr/lib/vst, a folder that Ardour and Audacity
search by default. The command-line host tq-spectrum runs audio files
through the plug-in and writes the band levels as text, CSV and pictures.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries come from dpkg-shlibdeps; the fonts are opened by file name.
# xdg-open only serves the Help menu's home page, and sensible-browser (of
# sensible-utils, which every Debian system has) opens it without xdg-utils.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, sensible-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# What Debian's tools would do besides: no ldconfig calls, no .comment.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebTidy.cmake)
include(CPack)
