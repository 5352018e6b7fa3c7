# Lays out the Windows program folder and zips it (run by the merovan_package target):
# the program, the DLLs it loads (found by following the import tables through the Qt and
# compiler runtime folders), the Qt plugins for the platform, styles and icons, the pictures,
# the language databases, an empty Models folder (the aircraft's own model variants go there; the
# demo stand-ins of the Linux program folder never ship), the initial settings files, Qt's
# translations, the read-me files and the notices and licences of the software of others.
cmake_minimum_required(VERSION 3.25)

set(folder "${STAGE_DIR}/Merovan")
file(REMOVE_RECURSE "${STAGE_DIR}")
file(MAKE_DIRECTORY "${folder}/Data/languages" "${folder}/Models")

# The DLLs that may be shipped, by lower-case name; anything else is the system's own.
string(REPLACE "|" ";" runtime_dirs "${RUNTIME_DIRS}")
foreach(dir "${QT_PREFIX}/bin" ${runtime_dirs})
    file(GLOB dlls "${dir}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" key)
        if(NOT DEFINED available_${key})
            set(available_${key} "${dll}")
        endif()
    endforeach()
endforeach()

set(pending "${PROGRAM}")
file(COPY "${PROGRAM}" DESTINATION "${folder}")
# Qt 6 prints on Windows through Qt6PrintSupport.dll itself, which the import tables bring: no plugin.
foreach(plugin platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll)
    if(NOT EXISTS "${QT_PREFIX}/plugins/${plugin}")
        message(FATAL_ERROR "Qt plugin missing: ${QT_PREFIX}/plugins/${plugin}")
    endif()
    get_filename_component(subdir "${plugin}" DIRECTORY)
    file(COPY "${QT_PREFIX}/plugins/${plugin}" DESTINATION "${folder}/${subdir}")
    list(APPEND pending "${QT_PREFIX}/plugins/${plugin}")
endforeach()
while(pending)
    list(POP_FRONT pending binary)
    execute_process(COMMAND "${OBJDUMP}" -p "${binary}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} could not read ${binary}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
    foreach(import IN LISTS imports)
        string(REPLACE "DLL Name: " "" name "${import}")
        string(TOLOWER "${name}" key)
        if(DEFINED available_${key} AND NOT shipped_${key})
            set(shipped_${key} TRUE)
            file(COPY "${available_${key}}" DESTINATION "${folder}")
            list(APPEND pending "${available_${key}}")
        endif()
    endforeach()
endwhile()

# Debian's compiler runtime DLLs carry their debugging symbols: shed them and any others.
if(STRIP)
    file(GLOB_RECURSE binaries "${folder}/*.dll" "${folder}/*.exe")
    foreach(binary IN LISTS binaries)
        execute_process(COMMAND "${STRIP}" --strip-unneeded "${binary}" RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "${STRIP} could not strip ${binary}")
        endif()
    endforeach()
endif()

file(GLOB pictures "${PROGRAM_FOLDER}/*.bmp" "${PROGRAM_FOLDER}/*.ico")
file(GLOB databases "${PROGRAM_FOLDER}/Data/languages/*.crf")
if(NOT pictures OR NOT databases)
    message(FATAL_ERROR "the program folder ${PROGRAM_FOLDER} is not complete")
endif()
file(COPY ${pictures} DESTINATION "${folder}")
file(COPY ${databases} DESTINATION "${folder}/Data/languages")
# As on a first start: German in force, the options not yet confirmed, no FS2000 folder.
file(COPY_FILE "${PROGRAM_FOLDER}/Data/languages/german.crf" "${folder}/Data/language.crf")
file(COPY "${DATA_DIR}/strt.cfg" "${DATA_DIR}/options.cfg" DESTINATION "${folder}")

foreach(language de en)
    if(EXISTS "${TRANSLATIONS_DIR}/qtbase_${language}.qm")
        file(COPY "${TRANSLATIONS_DIR}/qtbase_${language}.qm" DESTINATION "${folder}/translations")
    endif()
endforeach()

# The versions of what ships, as Debian's packages on this machine give them.
function(debian_version package field out)
    execute_process(COMMAND dpkg-query -W -f=${field} ${package} OUTPUT_VARIABLE version RESULT_VARIABLE failed
                    ERROR_QUIET)
    if(failed OR version STREQUAL "")
        message(FATAL_ERROR "dpkg-query knows no installed ${package}: the notices need its version")
    endif()
    set(${out} "${version}" PARENT_SCOPE)
endfunction()
# "6.4.2+dfsg-10" gives "6.4.2".
function(upstream_version debian out)
    string(REGEX REPLACE "^([0-9.]+).*" "\\1" version "${debian}")
    set(${out} "${version}" PARENT_SCOPE)
endfunction()
debian_version(libqt6core6 "\${source:Version}" QT_DEBIAN_VERSION)
debian_version(gcc-mingw-w64-x86-64-posix-runtime "\${Version}" GCC_DEBIAN_VERSION)
debian_version(mingw-w64-x86-64-dev "\${source:Version}" MINGW_DEBIAN_VERSION)
debian_version(libsqlite3-0 "\${source:Version}" SQLITE_DEBIAN_VERSION)
upstream_version("${QT_DEBIAN_VERSION}" QT_VERSION)
upstream_version("${GCC_DEBIAN_VERSION}" GCC_VERSION)
upstream_version("${MINGW_DEBIAN_VERSION}" MINGW_VERSION)
upstream_version("${SQLITE_DEBIAN_VERSION}" SQLITE_VERSION)

# The read-me files and the notices, as Notepad reads them everywhere: UTF-8 with a byte-order
# mark, CR LF.
foreach(text LIESMICH.txt README.txt THIRD-PARTY-NOTICES.txt)
    file(READ "${DATA_DIR}/windows/${text}" content)
    string(CONFIGURE "${content}" content @ONLY)
    string(REPLACE "\n" "\r\n" content "${content}")
    string(ASCII 239 187 191 bom)
    file(WRITE "${folder}/${text}" "${bom}${content}")
endforeach()
# The licence texts and Debian's copyright records they come with.
set(licenses "${folder}/licenses")
file(MAKE_DIRECTORY "${licenses}")
foreach(pair "/usr/share/common-licenses/LGPL-3|LGPL-3.txt" "/usr/share/common-licenses/GPL-3|GPL-3.txt"
             "/usr/share/doc/libqt6core6/copyright|qt6-base-copyright.txt"
             "/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright|gcc-mingw-w64-copyright.txt"
             "/usr/share/doc/mingw-w64-x86-64-dev/copyright|mingw-w64-copyright.txt")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 name)
    if(NOT EXISTS "${source}")
        message(FATAL_ERROR "${source} is missing: the zip needs it in licenses/${name}")
    endif()
    file(READ "${source}" content)
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE "${licenses}/${name}" "${content}")
endforeach()

file(REMOVE "${ZIP}.partial")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}.partial" --format=zip Merovan
                WORKING_DIRECTORY "${STAGE_DIR}" RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "could not write ${ZIP}")
endif()
file(RENAME "${ZIP}.partial" "${ZIP}")
