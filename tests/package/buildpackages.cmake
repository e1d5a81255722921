# Builds the Debian packages from the already built tree into OUT with cpack:
#   cmake -DCPACK=<cpack> -DCONFIG=<CPackConfig.cmake> -DOUT=<dir> -P buildpackages.cmake
# cpack's own work files go to OUT too, so the build tree stays as it was.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${OUT}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed (${result})")
endif()
file(GLOB debs ${OUT}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 2)
    message(FATAL_ERROR "cpack made ${count} packages, not 2: ${debs}")
endif()
