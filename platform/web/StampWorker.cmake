# Writes the service worker with the build's name, the game's version and a hash of the files
# it keeps, so that every build that changes a file reaches returning players, not only a new
# version; and web-files.txt, the files of the page, one a line, for scripts/build-web.
# Run as cmake -DVERSION=... -DDIR=<build folder> -DFILES=<a;b;...> -DTEMPLATE=<worker> -P this.
set(hashes "")
set(LUMENVALE_FILES "")
foreach(file ${FILES})
    # The file packager's random id of the pictures' package in lumenvale.js changes with every
    # link (scripts/build-web puts the package's own hash there): it must not change the name.
    if(file STREQUAL "lumenvale.js")
        file(READ "${DIR}/${file}" content)
        string(REGEX REPLACE "\"package_uuid\": *\"[0-9a-f-]*\"" "" content "${content}")
        string(SHA256 hash "${content}")
    else()
        file(SHA256 "${DIR}/${file}" hash)
    endif()
    string(APPEND hashes "${file} ${hash}\n")
    list(APPEND LUMENVALE_FILES "'${file}'")
endforeach()
string(SHA256 all "${hashes}")
string(SUBSTRING "${all}" 0 12 short)
set(LUMENVALE_BUILD "${VERSION}-${short}")
list(JOIN LUMENVALE_FILES ", " LUMENVALE_FILES)
configure_file("${TEMPLATE}" "${DIR}/service-worker.js" @ONLY)
list(APPEND FILES service-worker.js)
list(JOIN FILES "\n" listing)
file(WRITE "${DIR}/web-files.txt" "${listing}\n")
