# Installs the build into a temporary prefix, checks that every file lands where Linux desktops look
# for it, validates the desktop entry and the metainfo, and lets the installed command line fill a
# fresh data folder from the installed share directory.
# Arguments: BUILD (build tree), PREFIX (scratch folder), DESKTOP_VALIDATE, APPSTREAMCLI.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}/usr RESULT_VARIABLE rc
                OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(root ${PREFIX}/usr)
set(packaged stream-schemas.bin stream-miniatures.bin stream-ec86.bin schemas2026.txt introduction.txt examples.txt
    "Valvenix User Manual.pdf")
set(expected bin/valvenix-cli libexec/valvenix/valvenix-cli-draw share/applications/com.morvane.Valvenix.desktop
    share/metainfo/com.morvane.Valvenix.metainfo.xml share/icons/hicolor/scalable/apps/com.morvane.Valvenix.svg)
foreach(f ${packaged})
    list(APPEND expected "share/valvenix/${f}")
endforeach()
if(EXISTS ${BUILD}/src/valvenix)
    list(APPEND expected bin/valvenix)
endif()
foreach(f ${expected})
    if(NOT EXISTS "${root}/${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()

execute_process(COMMAND ${DESKTOP_VALIDATE} ${root}/share/applications/com.morvane.Valvenix.desktop
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "error|warning")
    message(FATAL_ERROR "desktop-file-validate:\n${out}")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${root}/share/metainfo/com.morvane.Valvenix.metainfo.xml
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate:\n${out}")
endif()

# The installed program finds its packaged files at ../share/valvenix and fills a fresh data folder.
set(data ${PREFIX}/home/Morvane/Valvenix)
execute_process(COMMAND ${root}/bin/valvenix-cli --data-dir ${data} install-data RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "installed valvenix-cli install-data failed:\n${out}")
endif()
foreach(f ${packaged})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${root}/share/valvenix/${f}" "${data}/${f}"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "the data folder's ${f} differs from the installed one")
    endif()
endforeach()

# The installed command line hands a drawing over to the program beside it in libexec.
execute_process(COMMAND ${root}/bin/valvenix-cli --data-dir ${data} schematic C1 --png ${PREFIX}/C1.png
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS ${PREFIX}/C1.png)
    message(FATAL_ERROR "installed valvenix-cli schematic failed:\n${out}")
endif()
file(REMOVE_RECURSE ${PREFIX})
