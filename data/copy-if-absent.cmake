# cmake -DSOURCE=... -DTARGET=... -P copy-if-absent.cmake
# Copies SOURCE to TARGET only when TARGET does not exist, so that what the program itself wrote
# into its folder survives a rebuild.
if(NOT EXISTS "${TARGET}")
    get_filename_component(folder "${TARGET}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
