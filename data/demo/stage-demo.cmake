# cmake -DSOURCE_DIR=... -DTARGET_DIR=... -P stage-demo.cmake
# Copies the demo FS2000 folder and the model stand-ins from SOURCE_DIR into the program folder
# TARGET_DIR, each file only when it is not there yet.
file(GLOB_RECURSE demo_files LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/DemoFS2000/*" "${SOURCE_DIR}/Models/*")
foreach(relative IN LISTS demo_files)
    set(target "${TARGET_DIR}/${relative}")
    if(NOT EXISTS "${target}")
        get_filename_component(folder "${target}" DIRECTORY)
        file(MAKE_DIRECTORY "${folder}")
        file(COPY_FILE "${SOURCE_DIR}/${relative}" "${target}")
    endif()
endforeach()
