// Pictures of the screen as the bytes of a file: a BMP, as SDL saves one, or
// a PNG, which code hosts and browsers show. Made whole in memory, so that a
// file is written only with a complete picture in hand.
#pragma once

#include <string>
#include <vector>

#include "SDL.h"

namespace tarno_shot {

// The BMP file that SDL_SaveBMP would write for surface, in bytes; false
// with the reason in error.
bool encode_bmp(SDL_Surface* surface, std::vector<Uint8>& bytes, std::string& error);

// An 8-bit RGB PNG of surface in bytes, each pixel the colour that
// SDL_SaveBMP would store for it; false with the reason in error.
bool encode_png(SDL_Surface* surface, std::vector<Uint8>& bytes, std::string& error);

}  // namespace tarno_shot
