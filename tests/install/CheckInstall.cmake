# Installs the build into a staging folder, as a package build does, and checks
# that the installed copy is complete and works from where it lies:
#   cmake -DBUILD_DIR=... -DSTAGE=... -P CheckInstall.cmake
# Nothing is written outside STAGE.
cmake_minimum_required(VERSION 3.22)

if(NOT BUILD_DIR OR NOT STAGE)
    message(FATAL_ERROR "usage: cmake -DBUILD_DIR=DIR -DSTAGE=DIR -P CheckInstall.cmake")
endif()
set(failures 0)
macro(fail text)
    message(SEND_ERROR "${text}")
    math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE ${STAGE})
set(root ${STAGE}/root)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}")
endif()
set(usr ${root}/usr)

# Every file where the desktop and the program look for it.
foreach(file bin/tallyvault bin/tallyvault-cli
             share/tallyvault/FAQ_en.htm share/tallyvault/FAQ_fr.htm
             share/applications/tallyvault.desktop
             share/icons/hicolor/scalable/apps/tallyvault.svg
             share/icons/hicolor/48x48/apps/tallyvault.png
             share/icons/hicolor/256x256/apps/tallyvault.png
             share/man/man1/tallyvault.1 share/man/man1/tallyvault-cli.1
             share/metainfo/tallyvault.metainfo.xml
             share/bash-completion/completions/tallyvault-cli)
    if(NOT EXISTS ${usr}/${file} OR IS_DIRECTORY ${usr}/${file})
        fail("not installed: /usr/${file}")
    endif()
endforeach()
# The data folder is made at run time; the help pages are not also put in bin/.
foreach(file bin/FAQ_en.htm bin/FAQ_fr.htm)
    if(EXISTS ${usr}/${file})
        fail("installed where it does not belong: /usr/${file}")
    endif()
endforeach()

# The bitmap icons are PNG pictures of the size their folder names.
foreach(size 48 256)
    set(png ${usr}/share/icons/hicolor/${size}x${size}/apps/tallyvault.png)
    if(EXISTS ${png})
        file(READ ${png} head LIMIT 24 HEX)
        string(SUBSTRING "${head}" 0 16 signature)
        string(SUBSTRING "${head}" 32 16 dimensions)
        math(EXPR hex_size "${size}" OUTPUT_FORMAT HEXADECIMAL)
        string(REGEX REPLACE "^0x" "" hex_size "${hex_size}")
        string(LENGTH "${hex_size}" length)
        while(length LESS 8)
            string(PREPEND hex_size "0")
            string(LENGTH "${hex_size}" length)
        endwhile()
        string(TOLOWER "${hex_size}${hex_size}" expected)
        if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT dimensions STREQUAL expected)
            fail("${size}x${size}/apps/tallyvault.png is not a ${size}x${size} PNG (${head})")
        endif()
    endif()
endforeach()

# The desktop entry starts the installed wizard with the installed icon.
set(desktop ${usr}/share/applications/tallyvault.desktop)
if(EXISTS ${desktop})
    file(STRINGS ${desktop} exec REGEX "^Exec=")
    file(STRINGS ${desktop} icon REGEX "^Icon=")
    if(NOT exec STREQUAL "Exec=tallyvault" OR NOT icon STREQUAL "Icon=tallyvault")
        fail("the desktop entry does not start the installed wizard: '${exec}', '${icon}'")
    endif()
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(DESKTOP_FILE_VALIDATE)
        execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop} RESULT_VARIABLE rc
                        OUTPUT_VARIABLE out ERROR_VARIABLE out)
        if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
            fail("desktop-file-validate: ${out}")
        endif()
    else()
        message(STATUS "desktop-file-validate not found: the desktop entry's syntax is not checked")
    endif()
endif()

# The manual pages are troff pages of their program; the metainfo launches the
# installed desktop entry; the completion is the one of tallyvault-cli.
foreach(page tallyvault tallyvault-cli)
    set(man ${usr}/share/man/man1/${page}.1)
    if(EXISTS ${man})
        string(TOUPPER "${page}" title)
        file(STRINGS ${man} th REGEX "^\\.TH ")
        if(NOT th MATCHES "^\\.TH ${title} 1 ")
            fail("${page}.1 is not the manual page of ${page}: '${th}'")
        endif()
    endif()
endforeach()
set(metainfo ${usr}/share/metainfo/tallyvault.metainfo.xml)
if(EXISTS ${metainfo})
    file(READ ${metainfo} text)
    if(NOT text MATCHES "<id>tallyvault</id>" OR NOT text MATCHES "<launchable type=\"desktop-id\">tallyvault.desktop</launchable>")
        fail("the metainfo does not name the installed desktop entry")
    endif()
endif()
set(completion ${usr}/share/bash-completion/completions/tallyvault-cli)
if(EXISTS ${completion})
    file(STRINGS ${completion} line REGEX "^complete -F ")
    if(NOT line MATCHES "tallyvault-cli$")
        fail("the bash completion does not complete tallyvault-cli: '${line}'")
    endif()
endif()

# The installed wizard finds its help pages in its shared data folder.
set(run_env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0)
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${run_env} ${usr}/bin/tallyvault --help
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
foreach(page FAQ_en.htm FAQ_fr.htm)
    string(FIND "${out}" "  ${usr}/share/tallyvault/${page}\n" at)
    if(NOT rc EQUAL 0 OR at EQUAL -1)
        fail("the installed wizard does not find /usr/share/tallyvault/${page} (${rc}):\n${out}${err}")
    endif()
endforeach()

# The installed command line runs on a data folder of its own.
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${run_env} ${usr}/bin/tallyvault-cli --data-dir ${STAGE}/data settings
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "language = ")
    fail("the installed tallyvault-cli settings failed (${rc}):\n${out}${err}")
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} installation check(s) failed; the staged copy is in ${STAGE}")
endif()
file(REMOVE_RECURSE ${STAGE})
message(STATUS "installation complete and working")
