# The Windows program and its zip: `cmake --build <dir> --target merovan_package` makes
# <dir>/Merovan-<version>-win64.zip, a program folder that runs where it is unpacked.
set_target_properties(merovan PROPERTIES WIN32_EXECUTABLE ON)

string(REPLACE ";" "|" runtime_dirs "${MEROVAN_MINGW_RUNTIME_DIRS}")
add_custom_target(merovan_package
    COMMAND "${CMAKE_COMMAND}" -DPROGRAM=$<TARGET_FILE:merovan> -DPROGRAM_FOLDER=${MEROVAN_PROGRAM_FOLDER}
            -DDATA_DIR=${CMAKE_SOURCE_DIR}/data -DQT_PREFIX=${MEROVAN_QT_PREFIX} -DRUNTIME_DIRS=${runtime_dirs}
            -DOBJDUMP=${CMAKE_OBJDUMP} -DSTRIP=${CMAKE_STRIP}
            -DTRANSLATIONS_DIR=/usr/share/qt6/translations
            -DSTAGE_DIR=${CMAKE_BINARY_DIR}/package -DZIP=${MEROVAN_PACKAGE_ZIP}
            -P "${CMAKE_CURRENT_LIST_DIR}/package-windows.cmake"
    COMMENT "Packing ${MEROVAN_PACKAGE_ZIP}"
    VERBATIM)
add_dependencies(merovan_package merovan merovan_program_folder)
