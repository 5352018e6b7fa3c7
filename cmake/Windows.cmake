# The Windows build (cross-compiled with MinGW-w64 on Linux). Included before the targets are made.

# The zip and the per-user installer that cmake/WindowsPackage.cmake makes.
set(MEROVAN_PACKAGE_ZIP
    "${CMAKE_BINARY_DIR}/Merovan-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}-win64.zip")
set(MEROVAN_INSTALLER
    "${CMAKE_BINARY_DIR}/Merovan-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}-win64-setup.exe")

# Folders holding the compiler's runtime DLLs (libstdc++, libgcc, winpthread).
set(MEROVAN_MINGW_RUNTIME_DIRS "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${dll} OUTPUT_VARIABLE found
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${found}" AND EXISTS "${found}")
        get_filename_component(dir "${found}" DIRECTORY)
        get_filename_component(dir "${dir}" REALPATH)
        list(APPEND MEROVAN_MINGW_RUNTIME_DIRS "${dir}")
    endif()
endforeach()
list(REMOVE_DUPLICATES MEROVAN_MINGW_RUNTIME_DIRS)
get_filename_component(MEROVAN_QT_PREFIX "${Qt6_DIR}/../../.." ABSOLUTE)

# Test executables (and anything else CTest starts) run under Wine on a Linux build machine,
# through a wrapper that sets up the prefix, the DLL search path and Qt's variables.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    find_program(MEROVAN_WINE wine)
    if(MEROVAN_WINE)
        set(MEROVAN_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
        set(path "Z:${MEROVAN_QT_PREFIX}/bin")
        foreach(dir IN LISTS MEROVAN_MINGW_RUNTIME_DIRS)
            string(APPEND path ";Z:${dir}")
        endforeach()
        set(MEROVAN_WINE_PATH "${path}")
        configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
                       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                        WORLD_EXECUTE)
        set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")
    endif()
endif()
