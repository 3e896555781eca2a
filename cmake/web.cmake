# The calculator in a browser: the tree that emscripten builds (./setup web
# configures build/web-obj with Debian's Emscripten toolchain file), included
# by the top-level CMakeLists.txt in place of everything after the build
# flags. The subsystems' own CMakeLists are used unchanged: the targets they
# take from pkg-config are made here, from SDL 1.2 and FreeType built from
# Debian's sources into TARNO_WEB_PREFIX by ./setup web, and from this
# project's SDL_ttf over FreeType (web/ttf). The engine computes with glibc's
# own functions where emscripten's C library rounds otherwise (cmake/web-libm).
#
# Built: the engine, the display, the shell with the browser's backend and
# the page in build/web, and tarno-keys as a node program (for the
# differential with the native one, bench/web_differential.sh).

set(TARNO_WEB_PREFIX "${PROJECT_SOURCE_DIR}/build/web-deps/prefix" CACHE PATH
  "Where ./setup web installed SDL and FreeType built for the browser")
foreach(library SDL freetype tarno_libm)
  if(NOT EXISTS "${TARNO_WEB_PREFIX}/lib/lib${library}.a")
    message(FATAL_ERROR "No lib${library}.a for the browser in ${TARNO_WEB_PREFIX}: ./setup web builds it")
  endif()
endforeach()

# emscripten's own SDL, an emulation that draws text with the browser's
# fonts, stays out: its headers and its JavaScript library.
add_compile_options(-sUSE_SDL=0)
add_link_options(-sUSE_SDL=0)

# Debian's emcc runs its JavaScript optimiser under node, which finds the
# acorn parser only in Debian's node module folder. Its sanity check (the
# tools' versions, at every call) is left to the package's dependencies.
set(emcc_environment ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs EMCC_SKIP_SANITY_CHECK=1)
set(CMAKE_CXX_COMPILER_LAUNCHER ${emcc_environment})
set(CMAKE_CXX_LINKER_LAUNCHER ${emcc_environment})

# ---- The libraries, as the native tree finds them

add_library(tarno_web_sdl INTERFACE IMPORTED)
set_target_properties(tarno_web_sdl PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${TARNO_WEB_PREFIX}/include/SDL"
  INTERFACE_LINK_LIBRARIES "${TARNO_WEB_PREFIX}/lib/libSDL.a")
add_library(PkgConfig::FREETYPE INTERFACE IMPORTED)
set_target_properties(PkgConfig::FREETYPE PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${TARNO_WEB_PREFIX}/include/freetype2"
  INTERFACE_LINK_LIBRARIES "${TARNO_WEB_PREFIX}/lib/libfreetype.a")
add_library(tarno_web_libm INTERFACE IMPORTED)
set_target_properties(tarno_web_libm PROPERTIES INTERFACE_LINK_LIBRARIES "${TARNO_WEB_PREFIX}/lib/libtarno_libm.a")

set(TARNO_TTF_SDL tarno_web_sdl)
add_subdirectory(web/ttf)
add_library(tarno_sdl_ttf STATIC web/ttf/sdl_ttf.cpp)
target_include_directories(tarno_sdl_ttf PUBLIC web/ttf/include)
target_link_libraries(tarno_sdl_ttf PRIVATE tarno_ttf_layer tarno_build_flags)

# What the native tree gets from pkg-config (cmake/sdl.cmake): SDL, and the
# SDL_ttf above. There is no SDL_mixer: the page plays the click.
add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SDL INTERFACE tarno_web_sdl)
add_library(PkgConfig::SDL_TTF INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SDL_TTF INTERFACE tarno_sdl_ttf)

# ---- The subsystems

add_subdirectory(engine)
# Linked after the engine and before the C library, whose functions of the
# same names they replace.
target_link_libraries(tarno_engine PUBLIC tarno_web_libm)
add_subdirectory(display)
# The shell: the calculator's main loop with the browser's backend, which
# writes the page into build/web (shell/CMakeLists.txt), and the SDL-free
# helpers that tarno-keys shares with it.
add_subdirectory(shell)
add_subdirectory(tools/keys)
# Under node: the wasm inside the script (this node would fetch a separate
# one as a browser does, and cannot), and exit statuses that reach the shell.
target_link_options(tarno-keys PRIVATE -sSINGLE_FILE=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=node)
