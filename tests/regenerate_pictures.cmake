# Runs the picture generator into a scratch directory and checks that every picture the game
# ships in data/ comes out byte for byte the same.
#   cmake -DGENERATOR=<lumenvale_assets> -DOUTPUT_DIR=<scratch> -DDATA_DIR=<data> -P this
foreach(required GENERATOR OUTPUT_DIR DATA_DIR)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "${required} is not set")
    endif()
endforeach()

set(pictures Font.bmp On_Green.bmp Off_Green.bmp On_Red.bmp Off_Red.bmp On_Blue.bmp
             Off_Blue.bmp Off_TrueLamp.bmp On_TrueLamp.bmp Title.bmp Cursor.bmp Planet.bmp)

file(REMOVE_RECURSE ${OUTPUT_DIR})
file(MAKE_DIRECTORY ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the picture generator failed: ${result}")
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
