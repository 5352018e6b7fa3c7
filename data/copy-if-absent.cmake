# cmake -DSOURCE=... -DTARGET=... [-DWHEN_NEWER=ON] -P copy-if-absent.cmake
# Copies SOURCE to TARGET only when TARGET does not exist (or, with WHEN_NEWER, when SOURCE is
# newer), so that what the program itself wrote into its folder survives a rebuild.
if(NOT EXISTS "${TARGET}" OR (WHEN_NEWER AND "${SOURCE}" IS_NEWER_THAN "${TARGET}"))
    get_filename_component(folder "${TARGET}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
