#include "picture.h"

#include <cmath>

#include "bmp565.h"
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
    constexpr int SCREEN_WIDTH = PORTRAIT_HEIGHT, SCREEN_HEIGHT = PORTRAIT_WIDTH;
    std::vector<std::uint16_t> screen(SCREEN_WIDTH * SCREEN_HEIGHT);
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const Rgb c = at(PORTRAIT_WIDTH - 1 - y, x);
            screen[y * SCREEN_WIDTH + x] = rgb565(c.r, c.g, c.b);
        }
    }
    return write_bmp565(path, SCREEN_WIDTH, SCREEN_HEIGHT, screen);
}

}  // namespace tarno_gen
