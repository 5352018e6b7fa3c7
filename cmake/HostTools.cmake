# When cross-compiling, the tools that run during the build (drawing the pictures, building the
# language databases) and the real-window tests' screen grabber come from a build of this project
# for the build machine: MEROVAN_HOST_BUILD is its build folder.
set(MEROVAN_HOST_BUILD "" CACHE PATH "Build folder of this project for the build machine (its tools run here)")
if(NOT MEROVAN_HOST_BUILD)
    message(FATAL_ERROR "Cross-compiling needs MEROVAN_HOST_BUILD: a build of merovan-crfbuild, merovan-artwork "
                        "and merovan-grab for the build machine (make windows does that)")
endif()
foreach(tool crfbuild artwork grab)
    add_executable(merovan-${tool} IMPORTED GLOBAL)
    set_target_properties(merovan-${tool} PROPERTIES IMPORTED_LOCATION "${MEROVAN_HOST_BUILD}/tools/${tool}/merovan-${tool}")
endforeach()
