# Run by CPack after it made the packages (CPACK_POST_BUILD_SCRIPTS): does to
# each .deb what Debian's own packaging tools would have done, and makes it
# again with dpkg-deb, files owned by root as before:
# - takes out the postinst and postrm that only call ldconfig, which CPack
#   writes for any library under /usr/lib, the plug-in's folder included,
#   although that folder is not in the linker's path;
# - takes the compiler's .comment section out of the programs, as dh_strip
#   does, and lists their new checksums.
find_program(TQ_OBJCOPY objcopy REQUIRED)
foreach(deb ${CPACK_PACKAGE_FILES})
    if(NOT deb MATCHES "\\.deb$")
        continue()
    endif()
    set(tree ${deb}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb -R ${deb} ${tree} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "dpkg-deb -R ${deb} failed")
    endif()
    foreach(script postinst postrm)
        set(path ${tree}/DEBIAN/${script})
        if(NOT EXISTS ${path})
            continue()
        endif()
        # Only CPack's own script: the shell line, set -e, a test for the
        # configure or remove step, and ldconfig.
        file(STRINGS ${path} lines)
        list(FILTER lines EXCLUDE REGEX "^(#!/bin/sh|set -e|if .*|then|fi|[ \t]*ldconfig|[ \t]*)$")
        if(lines)
            message(FATAL_ERROR "${script} of ${deb} does more than call ldconfig: ${lines}")
        endif()
        file(REMOVE ${path})
    endforeach()
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/*)
    list(FILTER files EXCLUDE REGEX "^DEBIAN/")
    list(SORT files)
    set(sums "")
    foreach(name ${files})
        set(path ${tree}/${name})
        if(NOT IS_SYMLINK ${path})
            file(READ ${path} magic LIMIT 4 HEX)
            if(magic STREQUAL "7f454c46")
                execute_process(COMMAND ${TQ_OBJCOPY} --remove-section=.comment ${path}
                                RESULT_VARIABLE result)
                if(NOT result EQUAL 0)
                    message(FATAL_ERROR "objcopy ${name} failed")
                endif()
            endif()
            file(MD5 ${path} sum)
            string(APPEND sums "${sum}  ${name}\n")
        endif()
    endforeach()
    file(WRITE ${tree}/DEBIAN/md5sums "${sums}")
    execute_process(COMMAND dpkg-deb --root-owner-group -b ${tree} ${deb}
                    RESULT_VARIABLE result OUTPUT_QUIET)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "dpkg-deb -b ${deb} failed")
    endif()
    file(REMOVE_RECURSE ${tree})
endforeach()
