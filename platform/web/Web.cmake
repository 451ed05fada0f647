# The game in a browser: lumenvale.js and lumenvale.wasm from the game and the web layer, the
# twelve pictures packed into lumenvale.data and put in the working directory before WinMain
# runs, and the page around them. scripts/build-web collects them into dist/web/.
target_include_directories(lumenvale_core PUBLIC ${CMAKE_SOURCE_DIR}/platform/include)

add_executable(lumenvale platform/web/Main.cpp platform/web/Win32Web.cpp
               platform/web/GlOnWebGl.cpp platform/common/WindowMessages.cpp
               platform/common/DeviceContext.cpp platform/common/Libraries.cpp
               ${LUMENVALE_ENTRY})
target_link_libraries(lumenvale PRIVATE lumenvale_core)
# The heap counters of the long-session bench, never in what players download.
option(LUMENVALE_WEB_HEAP_PROBE "Export the game's heap counters (bench/web_session.py)" OFF)
if(LUMENVALE_WEB_HEAP_PROBE)
    target_sources(lumenvale PRIVATE platform/web/HeapProbe.cpp)
endif()
target_include_directories(lumenvale PRIVATE ${CMAKE_SOURCE_DIR})

set(lumenvale_preload)
foreach(picture ${LUMENVALE_PICTURES})
    list(APPEND lumenvale_preload "SHELL:--preload-file \"${CMAKE_SOURCE_DIR}/data/${picture}@/${picture}\"")
    set_property(TARGET lumenvale APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/data/${picture})
endforeach()

# The stack, set here rather than left to the compiler's default (5 MiB of the 16 MiB in older
# ones, far beyond what the game's few frames deep need); the option's name changed in 3.1.25.
if(EMSCRIPTEN_VERSION VERSION_LESS 3.1.25)
    set(lumenvale_stack -sTOTAL_STACK=1048576)
else()
    set(lumenvale_stack -sSTACK_SIZE=1048576)
endif()

# The game's loop sleeps in every frame; ASYNCIFY turns that sleep into a return to the browser.
target_link_options(lumenvale PRIVATE
    -sASYNCIFY -sENVIRONMENT=web -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
    -sINITIAL_MEMORY=16777216 -sALLOW_MEMORY_GROWTH=0 -sEXIT_RUNTIME=0 ${lumenvale_stack}
    "SHELL:-sEXPORTED_RUNTIME_METHODS=[]" ${lumenvale_preload})

# The page: our own index.html, scripts and style beside the program, the web app manifest
# and the icons tools/ draws.
set(lumenvale_page index.html page.css page.js page-messages.js page-layout.js page-input.js
    page-lifecycle.js offline.js manifest.webmanifest)
set(lumenvale_icons lumenvale-128.png lumenvale-256.png)
foreach(page ${lumenvale_page})
    configure_file(${CMAKE_SOURCE_DIR}/platform/web/${page} ${CMAKE_BINARY_DIR}/${page} COPYONLY)
endforeach()
foreach(icon ${lumenvale_icons})
    configure_file(${CMAKE_SOURCE_DIR}/packaging/icons/${icon} ${CMAKE_BINARY_DIR}/${icon} COPYONLY)
endforeach()

# The service worker that keeps all of them for offline play, named after a hash of them all:
# made again whenever any of them changes (the program's link writes its three files at once),
# so that returning players get every change.
set(lumenvale_kept ${lumenvale_page} ${lumenvale_icons} lumenvale.js lumenvale.wasm lumenvale.data)
set(lumenvale_copied ${lumenvale_page} ${lumenvale_icons})
list(TRANSFORM lumenvale_copied PREPEND ${CMAKE_BINARY_DIR}/)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/service-worker.js ${CMAKE_BINARY_DIR}/web-files.txt
    COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DDIR=${CMAKE_BINARY_DIR}
            "-DFILES=${lumenvale_kept}"
            -DTEMPLATE=${CMAKE_SOURCE_DIR}/platform/web/service-worker.js
            -P ${CMAKE_SOURCE_DIR}/platform/web/StampWorker.cmake
    DEPENDS lumenvale ${lumenvale_copied} ${CMAKE_SOURCE_DIR}/platform/web/service-worker.js
            ${CMAKE_SOURCE_DIR}/platform/web/StampWorker.cmake
    VERBATIM)
add_custom_target(lumenvale_page ALL
                  DEPENDS ${CMAKE_BINARY_DIR}/service-worker.js ${CMAKE_BINARY_DIR}/web-files.txt)
