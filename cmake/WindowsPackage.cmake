# The Windows program, its zip and its installer: `cmake --build <dir> --target merovan_package` makes
# <dir>/Merovan-<version>-win64.zip, a program folder that runs where it is unpacked, and beside it
# <dir>/Merovan-<version>-win64-setup.exe, which installs the same folder for the user (NSIS).
set_target_properties(merovan PROPERTIES WIN32_EXECUTABLE ON)

# The icon, the version record Explorer shows and the application manifest. The icon is drawn apart
# from the program folder's pictures, which are laid out only once the program is built.
enable_language(RC)
set(MEROVAN_ICON "${CMAKE_BINARY_DIR}/icon/merovan.ico")
add_custom_command(
    OUTPUT "${MEROVAN_ICON}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/icon"
    COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:merovan-artwork> "${CMAKE_BINARY_DIR}/icon"
    DEPENDS merovan-artwork
    COMMENT "Drawing the program's icon"
    VERBATIM)
add_custom_target(merovan_icon DEPENDS "${MEROVAN_ICON}")
set(MEROVAN_MANIFEST "${CMAKE_BINARY_DIR}/merovan.manifest")
configure_file("${CMAKE_CURRENT_LIST_DIR}/merovan.manifest.in" "${MEROVAN_MANIFEST}" @ONLY)
configure_file("${CMAKE_CURRENT_LIST_DIR}/merovan.rc.in" "${CMAKE_BINARY_DIR}/merovan.rc" @ONLY)
target_sources(merovan PRIVATE "${CMAKE_BINARY_DIR}/merovan.rc")
set_source_files_properties("${CMAKE_BINARY_DIR}/merovan.rc" TARGET_DIRECTORY merovan
                            PROPERTIES OBJECT_DEPENDS "${MEROVAN_ICON};${MEROVAN_MANIFEST}")
add_dependencies(merovan merovan_icon)

string(REPLACE ";" "|" runtime_dirs "${MEROVAN_MINGW_RUNTIME_DIRS}")
set(merovan_version "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
add_custom_target(merovan_package
    COMMAND "${CMAKE_COMMAND}" -DPROGRAM=$<TARGET_FILE:merovan> -DPROGRAM_FOLDER=${MEROVAN_PROGRAM_FOLDER}
            -DDATA_DIR=${CMAKE_SOURCE_DIR}/data -DQT_PREFIX=${MEROVAN_QT_PREFIX} -DRUNTIME_DIRS=${runtime_dirs}
            -DOBJDUMP=${CMAKE_OBJDUMP} -DSTRIP=${CMAKE_STRIP}
            -DTRANSLATIONS_DIR=/usr/share/qt6/translations
            -DSTAGE_DIR=${CMAKE_BINARY_DIR}/package -DZIP=${MEROVAN_PACKAGE_ZIP}
            -DMEROVAN_VERSION=${merovan_version}
            -DMEROVAN_COMPANY=${MEROVAN_COMPANY}
            -P "${CMAKE_CURRENT_LIST_DIR}/package-windows.cmake"
    COMMAND "${CMAKE_COMMAND}" -DSTAGE_DIR=${CMAKE_BINARY_DIR}/package -DINSTALLER=${MEROVAN_INSTALLER}
            -DDATA_DIR=${CMAKE_SOURCE_DIR}/data -DNSI=${CMAKE_CURRENT_LIST_DIR}/merovan-installer.nsi
            -DICON=${MEROVAN_ICON} -DMEROVAN_VERSION=${merovan_version}
            -DMEROVAN_PRODUCT=${MEROVAN_PRODUCT_NAME} -DMEROVAN_COMPANY=${MEROVAN_COMPANY}
            -DMEROVAN_COPYRIGHT=${MEROVAN_COPYRIGHT} -DMEROVAN_WEB=${MEROVAN_WEB_ADDRESS}
            -DMEROVAN_DESCRIPTION=${MEROVAN_FILE_DESCRIPTION} -P "${CMAKE_CURRENT_LIST_DIR}/installer-windows.cmake"
    COMMENT "Packing ${MEROVAN_PACKAGE_ZIP} and ${MEROVAN_INSTALLER}"
    VERBATIM)
add_dependencies(merovan_package merovan merovan_program_folder)
