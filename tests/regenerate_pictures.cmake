# Runs the picture generator into a scratch directory and checks that it writes exactly the
# pictures the game ships (data/pictures.cmake), each byte for byte as data/ holds it.
#   cmake -DGENERATOR=<lumenvale_assets> -DOUTPUT_DIR=<scratch> -DDATA_DIR=<data> -P this
foreach(required GENERATOR OUTPUT_DIR DATA_DIR)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "${required} is not set")
    endif()
endforeach()

include(${DATA_DIR}/pictures.cmake)
set(pictures ${LUMENVALE_PICTURES})

file(REMOVE_RECURSE ${OUTPUT_DIR})
file(MAKE_DIRECTORY ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the picture generator failed: ${result}")
endif()

file(GLOB written RELATIVE ${OUTPUT_DIR} ${OUTPUT_DIR}/*)
set(shipped ${pictures})
list(SORT written)
list(SORT shipped)
if(NOT written STREQUAL shipped)
    message(FATAL_ERROR "the generator writes ${written}; data/pictures.cmake names ${shipped}")
endif()

set(differing "")
foreach(picture ${pictures})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT_DIR}/${picture}
                            ${DATA_DIR}/${picture}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        list(APPEND differing ${picture})
    endif()
endforeach()
if(differing)
    message(FATAL_ERROR "regenerated pictures differ from data/ (or are missing): ${differing}")
endif()
list(LENGTH pictures count)
message(STATUS "all ${count} pictures regenerate identically")
