# Validates the installed desktop entry and AppStream metainfo under ROOT (a DESTDIR with
# prefix /usr) with desktop-file-validate and appstreamcli, each where installed.
# Prints "SKIPPED" when neither tool is there. Run as: cmake -DROOT=<dir> -P <this file>
set(app jp.bralden.Kelvo)
set(desktop ${ROOT}/usr/share/applications/${app}.desktop)
set(metainfo ${ROOT}/usr/share/metainfo/${app}.metainfo.xml)
foreach(file ${desktop} ${metainfo}
        ${ROOT}/usr/share/icons/hicolor/scalable/apps/${app}.svg
        ${ROOT}/usr/share/icons/hicolor/48x48/apps/${app}.png
        ${ROOT}/usr/share/icons/hicolor/128x128/apps/${app}.png)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)

function(check)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    list(JOIN ARGN " " command)
    message("$ ${command}\n${out}")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed with status ${rc}")
    endif()
    # desktop-file-validate returns 0 with hints and warnings; we accept none.
    if(out MATCHES "(error|warning|hint):")
        message(FATAL_ERROR "the validator has remarks")
    endif()
endfunction()

if(DESKTOP_FILE_VALIDATE)
    check(${DESKTOP_FILE_VALIDATE} ${desktop})
endif()
if(APPSTREAMCLI)
    # --no-net: the check must not depend on the network. validate-tree also checks that the
    # metainfo, the desktop entry it launches and the icon fit together.
    check(${APPSTREAMCLI} validate --no-net --explain ${metainfo})
    check(${APPSTREAMCLI} validate-tree --no-net --explain ${ROOT})
endif()
if(NOT DESKTOP_FILE_VALIDATE AND NOT APPSTREAMCLI)
    message("SKIPPED: neither desktop-file-validate nor appstreamcli is installed")
endif()
