# Writes the page's folder OUT (cmake -P, from page.cmake's tarno-page):
# the page's files from SOURCE/web/page, the icons, the data files named in
# DATA below tarno/ (the font FONT in place of the whole one), with the first
# picture PICTURE inside the page, then the service worker with the list of them all and a
# cache name made of VERSION and the files' own hash, so that any change to
# any file is a new version; last, a .gz and a .br copy beside each file
# for servers that send them as they are.

function(copy from to)
  file(COPY_FILE "${from}" "${to}" ONLY_IF_DIFFERENT)
endfunction()

file(MAKE_DIRECTORY "${OUT}/tarno")
set(page "${SOURCE}/web/page")
# The first picture inside the page itself, so that it comes with the
# page's first answer.
execute_process(COMMAND base64 -w 0 "${PICTURE}" OUTPUT_VARIABLE TARNO_FIRST_PICTURE COMMAND_ERROR_IS_FATAL ANY)
configure_file("${page}/index.html" "${OUT}/index.html" @ONLY)
copy("${page}/manifest.webmanifest" "${OUT}/manifest.webmanifest")
foreach(icon 192 512 maskable-512)
  copy("${SOURCE}/packaging/icons/tarno-${icon}.png" "${OUT}/icon-${icon}.png")
endforeach()
foreach(name IN LISTS DATA)
  if(name STREQUAL "arial.ttf")
    copy("${FONT}" "${OUT}/tarno/${name}")
  else()
    copy("${SOURCE}/tarno/${name}" "${OUT}/tarno/${name}")
  endif()
endforeach()
copy("${SOURCE}/tarno/arial.ttf.LICENSE" "${OUT}/tarno/arial.ttf.LICENSE")

# The data files as the page's script names them.
list(TRANSFORM DATA PREPEND "'")
list(TRANSFORM DATA APPEND "'")
list(JOIN DATA ", " TARNO_DATA_FILES)
configure_file("${page}/page.js" "${OUT}/page.js" @ONLY)

# What the service worker keeps: every file the page loads.
set(kept index.html page.js tarno.js tarno.wasm manifest.webmanifest icon-192.png icon-512.png icon-maskable-512.png)
foreach(name IN LISTS DATA)
  string(REPLACE "'" "" name "${name}")
  list(APPEND kept "tarno/${name}")
endforeach()
set(hashes "")
foreach(name IN LISTS kept)
  file(SHA256 "${OUT}/${name}" hash)
  string(APPEND hashes "${hash} ${name}\n")
endforeach()
string(SHA256 build "${hashes}")
string(SUBSTRING "${build}" 0 12 build)
set(TARNO_VERSION "${VERSION}-${build}")
list(TRANSFORM kept PREPEND "'")
list(TRANSFORM kept APPEND "'")
list(JOIN kept ", " TARNO_KEPT_FILES)
configure_file("${page}/sw.js" "${OUT}/sw.js" @ONLY)

# The compressed copies, made again only where the file is newer (a
# copy written after its file is newer than it).
find_program(brotli brotli)
file(GLOB_RECURSE files LIST_DIRECTORIES false "${OUT}/*")
list(FILTER files EXCLUDE REGEX "\\.(gz|br)$")
foreach(file IN LISTS files)
  if("${file}" IS_NEWER_THAN "${file}.gz")
    execute_process(COMMAND gzip -9 -n -c "${file}" OUTPUT_FILE "${file}.gz" COMMAND_ERROR_IS_FATAL ANY)
  endif()
  if(brotli AND "${file}" IS_NEWER_THAN "${file}.br")
    execute_process(COMMAND "${brotli}" -c -q 11 "${file}" OUTPUT_FILE "${file}.br" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
