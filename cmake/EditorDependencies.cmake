# The X11 layer draws the plug-in's editor with Xlib, FreeType and fontconfig.
# Without their development files the build stops here, naming the Debian
# packages, rather than deep inside the layer or, worse, with a plug-in whose
# editor stays empty in the host.
if(NOT TQ_PLATFORM STREQUAL "x11")
    return()
endif()

find_package(X11 QUIET)
find_package(Freetype QUIET)
find_package(Fontconfig QUIET)
set(tq_missing_packages)
if(NOT X11_FOUND)
    list(APPEND tq_missing_packages libx11-dev)
endif()
if(NOT Freetype_FOUND)
    list(APPEND tq_missing_packages libfreetype-dev)
endif()
if(NOT Fontconfig_FOUND)
    list(APPEND tq_missing_packages libfontconfig-dev)
endif()
if(tq_missing_packages)
    list(JOIN tq_missing_packages " " tq_missing_packages)
    message(FATAL_ERROR
        "The plug-in's editor window (TQ_PLATFORM=x11) needs Xlib, FreeType and fontconfig, "
        "and their development files are missing. Install them with:\n"
        "  sudo apt-get install ${tq_missing_packages}\n"
        "then configure again.")
endif()
