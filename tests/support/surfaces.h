// SDL surfaces and fonts for the tests: owners that free them, pixels read
// back, the box of a picture's ink, and texts rendered as the screen
// renders them.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <ostream>

#include "SDL.h"
#include "SDL_ttf.h"

namespace tarno_test {

struct FreeSurface {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, FreeSurface>;  // a surface freed when it goes

struct CloseFont {
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
};
using Font = std::unique_ptr<TTF_Font, CloseFont>;  // a font closed when it goes

// The first byte of the pixel at (x, y), whatever the surface's depth.
Uint8* pixel_at(const SDL_Surface* surface, int x, int y);

// The raw value of the pixel at (x, y) of a 16-bit surface.
Uint16 pixel16(const SDL_Surface* surface, int x, int y);

// The colour of the pixel at (x, y) as 0xRRGGBB, whatever the surface's depth.
std::uint32_t colour_at(const SDL_Surface* surface, int x, int y);

// An inclusive box of pixels: columns left..right, rows top..bottom.
struct Box {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;

    bool empty() const { return right < left || bottom < top; }               // holds no pixel
    bool holds(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    void add(int x, int y);                                                   // grows to hold (x, y)
    Box clipped(int w, int h) const;                                          // the part within a w x h surface
    bool operator==(const Box& o) const;                                      // equal, or both empty
};
std::ostream& operator<<(std::ostream& out, const Box& b);

// A text rendered upright by SDL_ttf and blended over white by SDL, as the
// screen would blend it: its size and the box of its visible ink (columns
// and rows of the upright text).
struct UprightText {
    int w = 0, h = 0;
    Box ink;
};
UprightText upright_text(TTF_Font* font, const char* text, const SDL_PixelFormat* screen_format);

// Writes a 24-bit BMP of the screen's size (320 x 240) in one colour; whether it could.
bool write_plain_picture(const char* path, Uint8 r, Uint8 g, Uint8 b);

}  // namespace tarno_test
