# Installs BUILD_DIR into STAGE as a package build would (DESTDIR, prefix
# /usr) and compares the files with the list of installed paths in README,
# less the LV2 bundle when LV2 is false (the build had no LV2 headers) and
# those of tq-spectrum-live when LIVE is false (it was not built); then the
# per-user commands, which must put down the plug-in alone.
file(STRINGS ${README} rows REGEX "^\\| `/usr/[^`]+` \\|")
set(expected)
foreach(row IN LISTS rows)
    string(REGEX REPLACE "^\\| `(/usr/[^`]+)`.*" "\\1" path "${row}")
    if(LV2 OR NOT path MATCHES "^/usr/lib/lv2/")
        list(APPEND expected ${path})
    endif()
endforeach()
if(NOT expected)
    message(FATAL_ERROR "README lists no installed file")
endif()
if(NOT LIVE)
    list(FILTER expected EXCLUDE REGEX "tq-spectrum-live")
endif()

function(installed_files out root)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
    list(TRANSFORM files PREPEND /)
    list(SORT files)
    set(${out} ${files} PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE}/root)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE result)
unset(ENV{DESTDIR})
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
installed_files(files ${STAGE}/root)
list(SORT expected)
if(NOT files STREQUAL expected)
    message(FATAL_ERROR "installed: ${files}\nREADME lists: ${expected}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component user-plugin
                        --prefix ${STAGE}/home/.vst
    RESULT_VARIABLE result)
installed_files(files ${STAGE}/home)
if(NOT result EQUAL 0 OR NOT files STREQUAL "/.vst/tq-spectrum.so")
    message(FATAL_ERROR "the per-user install put down: ${files}")
endif()
if(LV2)
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component user-lv2
                            --prefix ${STAGE}/lv2home/.lv2
        RESULT_VARIABLE result)
    installed_files(files ${STAGE}/lv2home)
    set(bundle /.lv2/tq-spectrum.lv2)
    set(wanted ${bundle}/manifest.ttl ${bundle}/tq-spectrum.ttl ${bundle}/tq-spectrum_dsp.so
               ${bundle}/tq-spectrum_ui.so)
    if(NOT result EQUAL 0 OR NOT files STREQUAL wanted)
        message(FATAL_ERROR "the per-user LV2 install put down: ${files}")
    endif()
endif()
file(REMOVE_RECURSE ${STAGE})
