# CPack configuration of the Windows zip, read by tools/windows-zip.sh once
# tools/windows.sh has built the win64 and win32 presets. Each tree's
# "plugin" component goes into a folder of its own; the install note and the
# copyright notice ("doc") come from the 64-bit tree.
set(tq_root ${CMAKE_CURRENT_LIST_DIR}/..)
file(STRINGS ${tq_root}/build/win64/CMakeCache.txt tq_version
     REGEX "^CMAKE_PROJECT_VERSION:STATIC=")
string(REGEX REPLACE ".*=" "" tq_version "${tq_version}")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tq-spectrum)
set(CPACK_PACKAGE_VERSION ${tq_version})
set(CPACK_PACKAGE_DESCRIPTION
    "tq-spectrum, a VST 2.4 spectrum-analyser plug-in, for 64-bit and 32-bit Windows hosts")
set(CPACK_PACKAGE_FILE_NAME tq-spectrum-${tq_version}-windows)
set(CPACK_PACKAGE_DIRECTORY ${tq_root}/build/package)
set(CPACK_CMAKE_GENERATOR Ninja)
set(CPACK_INSTALL_CMAKE_PROJECTS
    ${tq_root}/build/win64 tq-spectrum plugin /64-bit
    ${tq_root}/build/win32 tq-spectrum plugin /32-bit
    ${tq_root}/build/win64 tq-spectrum doc /)
# The builds keep their debug information; the zip is for users.
set(CPACK_STRIP_FILES ON)
