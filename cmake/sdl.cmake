# SDL and its two libraries, one target each, so that every part states what
# it uses: the display draws with SDL and SDL_ttf, and only the shell plays
# the click with SDL_mixer.
#
#   PkgConfig::SDL        sdl
#   PkgConfig::SDL_TTF    SDL_ttf (with SDL)
#   PkgConfig::SDL_MIXER  SDL_mixer (with SDL)
#
# With TARNO_STATIC they link what pkg-config names for a static link: each
# library's own dependencies with it.

find_package(PkgConfig REQUIRED)

set(tarno_sdl_libraries SDL sdl SDL_TTF SDL_ttf SDL_MIXER SDL_mixer)
while(tarno_sdl_libraries)
  list(POP_FRONT tarno_sdl_libraries prefix module)
  pkg_check_modules(${prefix} REQUIRED IMPORTED_TARGET ${module})
  if(TARNO_STATIC)
    set_property(TARGET PkgConfig::${prefix} PROPERTY INTERFACE_LINK_LIBRARIES ${${prefix}_STATIC_LDFLAGS})
    set_property(TARGET PkgConfig::${prefix} PROPERTY INTERFACE_LINK_OPTIONS)
  endif()
endwhile()

# The handheld's SDL_syswm.h declares no X11 window information, since its
# SDL_config.h names no X11 driver. A copy of SDL's header folder whose
# SDL_config.h lacks those lines, searched before the folder itself (the
# copy's headers include their neighbours from the copy), lets a tree with
# another SDL compile as the handheld's programs do.
if(TARNO_SDL_WITHOUT_X11)
  set(tarno_sdl_copy "${PROJECT_BINARY_DIR}/sdl-without-x11")
  list(GET SDL_INCLUDE_DIRS 0 tarno_sdl_headers)
  file(GLOB tarno_headers "${tarno_sdl_headers}/*.h")
  list(FILTER tarno_headers EXCLUDE REGEX "/SDL_config\\.h$")
  # Written only where changed, so that configuring again rebuilds nothing.
  file(COPY ${tarno_headers} DESTINATION "${tarno_sdl_copy}")
  file(READ "${tarno_sdl_headers}/SDL_config.h" tarno_config)
  string(REGEX REPLACE "#define SDL_VIDEO_DRIVER_X11[^\n]*\n" "" tarno_config "${tarno_config}")
  file(WRITE "${tarno_sdl_copy}.config" "${tarno_config}")
  file(COPY_FILE "${tarno_sdl_copy}.config" "${tarno_sdl_copy}/SDL_config.h" ONLY_IF_DIFFERENT)
  include_directories(BEFORE "${tarno_sdl_copy}")
endif()
