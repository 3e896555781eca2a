# The page: the calculator as tarno.js and tarno.wasm in TARNO_WEB_DIR
# beside the page (web/page), the data files, the icons and the first
# picture, with .gz and .br copies of each: a folder that any web server
# can serve (page_folder.cmake writes it). Included by web/CMakeLists.txt.

set(TARNO_WEB_DIR "${PROJECT_BINARY_DIR}/page" CACHE PATH "Where the browser's page is written")
# The data files the calculator reads below tarno/, as the page fetches
# them: the one list from which the page's script and the service worker
# take theirs.
set(TARNO_PAGE_DATA tarno.bmp tarno9.bmp arial.ttf tarno.wav)
set(TARNO_SHOT "" CACHE FILEPATH "The native tarno-shot, which draws the page's first picture")
if(NOT EXISTS "${TARNO_SHOT}")
  message(FATAL_ERROR "TARNO_SHOT (${TARNO_SHOT}) is no tarno-shot: ./setup web builds it")
endif()

add_executable(tarno "${PROJECT_SOURCE_DIR}/shell/browser.cpp" "${PROJECT_SOURCE_DIR}/shell/browser_page.cpp")
target_link_libraries(tarno PRIVATE tarno_shell_core tarno_build_flags)
set_target_properties(tarno PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${TARNO_WEB_DIR}")
target_link_options(tarno PRIVATE
  -sENVIRONMENT=web -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
  "-sEXPORTED_FUNCTIONS=['_main','_tarno_pointer','_tarno_key','_tarno_paste','_tarno_press','_tarno_wake','_tarno_key_at','_tarno_shift_active','_tarno_display_text']"
  "-sEXPORTED_RUNTIME_METHODS=['ccall','FS','addRunDependency','removeRunDependency','UTF8ToString','stringToUTF8','lengthBytesUTF8']")

# The font cut down to what the screen shows (font_subset.cmake).
include(font_subset.cmake)
set(page_font "${CMAKE_CURRENT_BINARY_DIR}/arial.ttf")
tarno_font_subset("${PROJECT_SOURCE_DIR}/tarno/arial.ttf" "${page_font}")

# The power-on screen as tarno-shot --upright draws it, which the page
# shows in the canvas's place until the calculator runs.
set(first_picture "${CMAKE_CURRENT_BINARY_DIR}/power-on.png")
add_custom_command(OUTPUT "${first_picture}"
  COMMAND sh -c "SDL_VIDEODRIVER=dummy \"$0\" --upright \"$1\" </dev/null" "${TARNO_SHOT}" "${first_picture}"
  WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
  DEPENDS "${TARNO_SHOT}" "${PROJECT_SOURCE_DIR}/tarno/tarno.bmp" "${PROJECT_SOURCE_DIR}/tarno/arial.ttf"
  COMMENT "The page's first picture"
  VERBATIM)

file(GLOB page_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/page/*")
add_custom_target(tarno-page ALL
  ${CMAKE_COMMAND} "-DSOURCE=${PROJECT_SOURCE_DIR}" "-DOUT=${TARNO_WEB_DIR}" "-DDATA=${TARNO_PAGE_DATA}"
    "-DFONT=${page_font}" "-DPICTURE=${first_picture}" "-DVERSION=${PROJECT_VERSION}"
    -P "${CMAKE_CURRENT_SOURCE_DIR}/page_folder.cmake"
  DEPENDS "${page_font}" "${first_picture}" ${page_sources} page_folder.cmake
  COMMENT "The page in ${TARNO_WEB_DIR}"
  VERBATIM)
add_dependencies(tarno-page tarno)
