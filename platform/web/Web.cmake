# The game in a browser: lumenvale.js and lumenvale.wasm from the game and the web layer, the
# twelve pictures packed into lumenvale.data and put in the working directory before WinMain
# runs, and the page around them. scripts/build-web collects them into dist/web/.
target_include_directories(lumenvale_core PUBLIC ${CMAKE_SOURCE_DIR}/platform/include)

add_executable(lumenvale platform/web/Main.cpp platform/web/Win32Web.cpp
               platform/web/GlOnWebGl.cpp platform/common/WindowMessages.cpp
               ${LUMENVALE_ENTRY})
target_link_libraries(lumenvale PRIVATE lumenvale_core)
target_include_directories(lumenvale PRIVATE ${CMAKE_SOURCE_DIR})

set(lumenvale_preload)
foreach(picture ${LUMENVALE_PICTURES})
    list(APPEND lumenvale_preload "SHELL:--preload-file \"${CMAKE_SOURCE_DIR}/data/${picture}@/${picture}\"")
    set_property(TARGET lumenvale APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/data/${picture})
endforeach()

# The game's loop sleeps in every frame; ASYNCIFY turns that sleep into a return to the browser.
target_link_options(lumenvale PRIVATE
    -sASYNCIFY -sENVIRONMENT=web -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
    -sINITIAL_MEMORY=16777216 -sALLOW_MEMORY_GROWTH=0 -sEXIT_RUNTIME=0
    "SHELL:-sEXPORTED_RUNTIME_METHODS=[]" ${lumenvale_preload})

# The page: our own index.html, script and style beside the program.
foreach(page index.html page.js page.css)
    configure_file(${CMAKE_SOURCE_DIR}/platform/web/${page} ${CMAKE_BINARY_DIR}/${page} COPYONLY)
endforeach()
