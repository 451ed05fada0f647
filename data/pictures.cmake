# The pictures the game loads by name from its working directory. The browser build packs
# these, the Linux install and the Windows zip ship them, and the generator's test checks that
# it draws exactly these; adding a picture means adding it here and to the game's loader.
set(LUMENVALE_PICTURES Font.bmp On_Green.bmp Off_Green.bmp On_Red.bmp Off_Red.bmp On_Blue.bmp
    Off_Blue.bmp On_TrueLamp.bmp Off_TrueLamp.bmp Title.bmp Cursor.bmp Planet.bmp)
list(TRANSFORM LUMENVALE_PICTURES PREPEND ${CMAKE_CURRENT_LIST_DIR}/
     OUTPUT_VARIABLE LUMENVALE_PICTURE_FILES)
