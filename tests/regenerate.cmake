# Runs a generator into a scratch folder and checks that it writes exactly the files the game
# ships, each byte for byte as the repository holds it: the pictures in data/ (those that
# data/pictures.cmake names) or the icons in packaging/icons/ (every file there).
#   cmake -DGENERATOR=<program> -DOUTPUT_DIR=<scratch> -DEXPECTED_DIR=<folder>
#         [-DLIST=<file setting LUMENVALE_PICTURES>] -DREMEDY=<what to run> -P this
foreach(required GENERATOR OUTPUT_DIR EXPECTED_DIR REMEDY)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "${required} is not set")
    endif()
endforeach()

if(DEFINED LIST)
    include(${LIST})
    set(shipped ${LUMENVALE_PICTURES})
else()
    file(GLOB shipped RELATIVE ${EXPECTED_DIR} ${EXPECTED_DIR}/*)
endif()

file(REMOVE_RECURSE ${OUTPUT_DIR})
file(MAKE_DIRECTORY ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${GENERATOR} failed: ${result}")
endif()

file(GLOB written RELATIVE ${OUTPUT_DIR} ${OUTPUT_DIR}/*)
list(SORT written)
list(SORT shipped)
if(NOT written STREQUAL shipped)
    message(FATAL_ERROR "the generator writes ${written}; ${EXPECTED_DIR} should hold ${shipped}")
endif()

set(differing "")
foreach(file ${shipped})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT_DIR}/${file}
                            ${EXPECTED_DIR}/${file}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        list(APPEND differing ${file})
    endif()
endforeach()
if(differing)
    message(FATAL_ERROR "${differing} come out differently from ${EXPECTED_DIR}: ${REMEDY}")
endif()
list(LENGTH shipped count)
message(STATUS "all ${count} files regenerate identically")
