#include "picture.h"

#include <cmath>
#include <cstdio>

#include "SDL.h"
#include "shell.h"

namespace tarno_gen {

bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

Rgb mix(Rgb a, Rgb b, double t) {
    auto channel = [t](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

tarno::KeyCode key_under(int u, int v) { return tarno::key_at(v, PORTRAIT_WIDTH - 1 - u); }

Portrait::Portrait(Rgb background) : pixels_(PORTRAIT_WIDTH * PORTRAIT_HEIGHT, background) {}

Rgb Portrait::at(int u, int v) const { return pixels_[v * PORTRAIT_WIDTH + u]; }

void Portrait::set(int u, int v, Rgb colour) { pixels_[v * PORTRAIT_WIDTH + u] = colour; }

void Portrait::blend(int u, int v, Rgb colour, std::uint8_t alpha) {
    set(u, v, mix(at(u, v), colour, alpha / 255.0));
}

void Portrait::fill_rows(int top, int bottom, Rgb colour) {
    for (int v = top; v <= bottom; ++v)
        for (int u = 0; u < PORTRAIT_WIDTH; ++u) set(u, v, colour);
}

bool Portrait::save_turned_bmp(const char* path) const {
    // Blue in the low byte: the order in which a 24-bit BMP stores its pixels.
    SDL_Surface* screen =
        SDL_CreateRGBSurface(SDL_SWSURFACE, PORTRAIT_HEIGHT, PORTRAIT_WIDTH, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (!screen) {
        std::fprintf(stderr, "tarno-gen-keypad: no surface: %s\n", SDL_GetError());
        return false;
    }
    for (int y = 0; y < screen->h; ++y) {
        auto* row = static_cast<std::uint8_t*>(screen->pixels) + y * screen->pitch;
        for (int x = 0; x < screen->w; ++x) {
            const Rgb c = at(PORTRAIT_WIDTH - 1 - y, x);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    const bool saved = SDL_SaveBMP(screen, path) == 0;
    if (!saved) std::fprintf(stderr, "tarno-gen-keypad: cannot write %s: %s\n", path, SDL_GetError());
    SDL_FreeSurface(screen);
    return saved;
}

}  // namespace tarno_gen
