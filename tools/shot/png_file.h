// Pictures of the screen as PNG files, which code hosts and browsers show.
#pragma once

#include <string>

#include "SDL.h"

namespace tarno_shot {

// Writes surface as an 8-bit RGB PNG at path, each pixel the colour that
// SDL_SaveBMP would store for it; false with the reason in error.
bool save_png(SDL_Surface* surface, const char* path, std::string& error);

}  // namespace tarno_shot
