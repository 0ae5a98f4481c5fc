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
# tq-spectrum-live's package is a package of its own and needs its own copy.
if(TARGET tq-spectrum-live)
    install(FILES ${tq_changelog}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tq-spectrum-live
            COMPONENT live)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/COPYRIGHT DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME copyright COMPONENT doc)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tq-spectrum)
set(CPACK_PACKAGE_VENDOR corvale)
set(CPACK_PACKAGE_CONTACT corvale)
# Debian shows the description as it stands: lines under 80 columns; the
# first is the summary. Each package has its own (below), so CPack is given
# no summary of its own to put above them.
set(tq_description
    "spectrum analyser plug-in (LV2, Linux VST 2.4) and command-line host
tq-spectrum shows the spectrum of a stereo signal in 97 bands, on a linear
or a logarithmic frequency axis, and hands the audio back unchanged. The
LV2 plug-in is installed in /usr/lib/lv2, where every LV2 host looks, and
the VST plug-in in /usr/lib/vst, a folder that Ardour and Audacity search
by default. The command-line host tq-spectrum runs audio files through the
plug-in and writes the band levels as text, CSV and pictures.")
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

# The JACK program goes into a package of its own, tq-spectrum-live, so that
# only it depends on JACK's library: dpkg-shlibdeps looks at each binary,
# but one package's Depends would be the union of all. Every other
# component makes the package tq-spectrum, as before; the per-user
# components are left out of both.
get_cmake_property(tq_components COMPONENTS)
list(REMOVE_ITEM tq_components user-plugin user-lv2)
set(CPACK_COMPONENTS_ALL ${tq_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
foreach(component ${tq_components})
    if(component STREQUAL live)
        set(CPACK_COMPONENT_LIVE_GROUP live)
    else()
        string(TOUPPER ${component} upper)
        set(CPACK_COMPONENT_${upper}_GROUP main)
    endif()
endforeach()
set(CPACK_DEBIAN_MAIN_PACKAGE_NAME tq-spectrum)
set(CPACK_DEBIAN_LIVE_PACKAGE_NAME tq-spectrum-live)
set(CPACK_DEBIAN_MAIN_DESCRIPTION "${tq_description}")
set(CPACK_DEBIAN_LIVE_DESCRIPTION
    "spectrum analyser for JACK and PipeWire, in the tq-spectrum window
tq-spectrum-live shows the spectrum of what reaches its two JACK input ports
in the window of the tq-spectrum plug-in, on the desktop: 97 bands on a
linear or a logarithmic frequency axis. It runs on a JACK server or, through
pipewire-jack, on PipeWire, whose monitor ports show what the machine plays.")
set(CPACK_DEBIAN_LIVE_PACKAGE_RECOMMENDS "jackd | pipewire-jack")
# What Debian's tools would do besides: no ldconfig calls, no .comment.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebTidy.cmake)
include(CPack)
