# Runs the icon generator into a scratch folder and checks that it writes exactly the icons in
# packaging/icons/, byte for byte.
#   cmake -DGENERATOR=<lumenvale_icons> -DOUTPUT_DIR=<scratch> -DICONS_DIR=<icons> -P this
foreach(required GENERATOR OUTPUT_DIR ICONS_DIR)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "${required} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE ${OUTPUT_DIR})
file(MAKE_DIRECTORY ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the icon generator failed: ${result}")
endif()

file(GLOB written RELATIVE ${OUTPUT_DIR} ${OUTPUT_DIR}/*)
file(GLOB shipped RELATIVE ${ICONS_DIR} ${ICONS_DIR}/*)
if(NOT written STREQUAL shipped)
    message(FATAL_ERROR "the generator writes ${written}; packaging/icons holds ${shipped}")
endif()
foreach(icon ${written})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT_DIR}/${icon}
                            ${ICONS_DIR}/${icon}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${icon} comes out differently: run `cmake --build <build> --target icons`")
    endif()
endforeach()
list(LENGTH written count)
message(STATUS "all ${count} icons regenerate identically")
