# Makes the per-user installer from the program folder package-windows.cmake laid out (run by the
# merovan_package target after the zip): the lists of the program's files for cmake/merovan-installer.nsi,
# its texts from data/windows/installer.tsv, then makensis (Debian: nsis).
#   -DSTAGE_DIR= (holding Merovan/) -DINSTALLER= -DDATA_DIR= -DNSI= -DICON=
#   -DMEROVAN_VERSION= -DMEROVAN_PRODUCT= -DMEROVAN_COMPANY= -DMEROVAN_COPYRIGHT= -DMEROVAN_WEB= -DMEROVAN_DESCRIPTION=
cmake_minimum_required(VERSION 3.25)

find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
    message(FATAL_ERROR "makensis is missing: the installer needs Debian's nsis (scripts/install-deps --windows)")
endif()
set(folder "${STAGE_DIR}/Merovan")
set(work "${STAGE_DIR}/installer")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")

# A path in the program folder on Windows, as NSIS reads it in a string: "$" doubled, backslashes.
function(nsis_path path out)
    string(REPLACE "$" "$$" path "${path}")
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()
# makensis takes the paths of this machine in File as they are, and would read "$" as a variable.
if(STAGE_DIR MATCHES "[$]")
    message(FATAL_ERROR "makensis cannot take a build folder whose path holds a $: ${STAGE_DIR}")
endif()

# What the program writes itself is laid out only where it is absent, so that an install over an
# earlier one keeps the user's settings; the uninstaller removes each one only while it is as laid
# out (cmake/merovan-installer.nsi).
set(settings strt.cfg options.cfg Data/language.crf)

file(GLOB_RECURSE files RELATIVE "${folder}" "${folder}/*")
list(SORT files)
set(install_lines "")
set(remove_lines "")
set(folders "")
set(current_dir "-")
foreach(file IN LISTS files)
    get_filename_component(dir "${file}" DIRECTORY)
    if(NOT dir STREQUAL current_dir)
        nsis_path("${dir}" out_dir)
        if(dir STREQUAL "")
            string(APPEND install_lines "SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND install_lines "SetOutPath \"$INSTDIR\\${out_dir}\"\n")
        endif()
        set(current_dir "${dir}")
    endif()
    # Every folder up to the program folder, for the removal.
    set(up "${dir}")
    while(up)
        list(APPEND folders "${up}")
        get_filename_component(up "${up}" DIRECTORY)
    endwhile()
    set(source "${folder}/${file}")
    nsis_path("${file}" relative)
    if(file IN_LIST settings)
        string(APPEND install_lines "SetOverwrite off\nFile \"${source}\"\nSetOverwrite on\n")
    else()
        string(APPEND install_lines "File \"${source}\"\n")
        string(APPEND remove_lines "Delete \"$INSTDIR\\${relative}\"\n")
    endif()
endforeach()
foreach(setting IN LISTS settings)
    if(NOT setting IN_LIST files)
        message(FATAL_ERROR "${folder}/${setting} is missing: the program folder is not complete")
    endif()
endforeach()
# The folders deepest first, each only when it is empty.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(dir IN LISTS folders)
    nsis_path("${dir}" relative)
    string(APPEND remove_lines "RMDir \"$INSTDIR\\${relative}\"\n")
endforeach()
file(WRITE "${work}/files.nsh" "${install_lines}")
file(WRITE "${work}/unfiles.nsh" "${remove_lines}")

# The texts: key, German, English. A ";" in a text would split CMake's lists: it is carried as
# "\x01" until the text is written.
file(READ "${DATA_DIR}/windows/installer.tsv" content)
string(ASCII 1 semicolon)
string(REPLACE ";" "${semicolon}" content "${content}")
string(REPLACE "\r" "" content "${content}")
string(REPLACE "\n" ";" rows "${content}")
set(texts "")
foreach(row IN LISTS rows)
    if(row MATCHES "^#" OR row STREQUAL "")
        continue()
    endif()
    if(NOT row MATCHES "^([A-Za-z0-9_]+)\t([^\t]+)\t([^\t]+)$")
        message(FATAL_ERROR "installer.tsv: not key, German, English: ${row}")
    endif()
    set(key "${CMAKE_MATCH_1}")
    set(german "${CMAKE_MATCH_2}")
    set(english "${CMAKE_MATCH_3}")
    foreach(text german english)
        string(REPLACE "\"" "$\\\"" ${text} "${${text}}")
        string(REPLACE "${semicolon}" ";" ${text} "${${text}}")
    endforeach()
    string(APPEND texts "LangString ${key} \${LANG_GERMAN} \"${german}\"\n"
                        "LangString ${key} \${LANG_ENGLISH} \"${english}\"\n")
endforeach()
file(WRITE "${work}/texts.nsh" "${texts}")

# The settings as laid out, for the uninstaller's comparison.
file(COPY "${folder}/strt.cfg" "${folder}/options.cfg" DESTINATION "${work}/settings")

file(REMOVE "${INSTALLER}.partial")
execute_process(
    COMMAND "${MAKENSIS}" -V2 -INPUTCHARSET UTF8 "-DPRODUCT=${MEROVAN_PRODUCT}" "-DVERSION=${MEROVAN_VERSION}"
            "-DCOMPANY=${MEROVAN_COMPANY}" "-DCOPYRIGHT=${MEROVAN_COPYRIGHT}" "-DWEB=${MEROVAN_WEB}"
            "-DDESCRIPTION=${MEROVAN_DESCRIPTION}" "-DICON=${ICON}" "-DOUTFILE=${INSTALLER}.partial"
            "-DFILES_NSH=${work}/files.nsh" "-DUNFILES_NSH=${work}/unfiles.nsh" "-DTEXTS_NSH=${work}/texts.nsh"
            "-DSETTINGS=${work}/settings" "${NSI}"
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "makensis could not make ${INSTALLER}")
endif()
file(RENAME "${INSTALLER}.partial" "${INSTALLER}")
