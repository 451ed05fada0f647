# The same sources give the same programs wherever they are built: the source and build
# folders are written as relative paths wherever the compiler would record them (__FILE__,
# debug information and the build ID computed over it), and the Windows program carries no
# link time and no symbol table (whose file entries name the sources).
if(MSVC)
    return()
endif()
# GCC and Clang take the last matching map: the build folder may lie inside the sources.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
if(MINGW)
    add_link_options(-Wl,--no-insert-timestamp $<$<CONFIG:Release>:-s>)
endif()
