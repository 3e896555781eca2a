// The keypad picture as the user sees it, upright: 240 wide and 320 high,
// u from the user's left, v from the user's top. The calculator's screen is
// this picture turned: portrait point (u, v) is screen point (v, 239 - u).
#pragma once

#include <cstdint>
#include <vector>

#include "calc.h"

namespace tarno_gen {

struct Rgb {
    std::uint8_t r, g, b;
};

bool operator==(Rgb a, Rgb b);

// The colour a of the way to b: t = 0 gives a, t = 1 gives b.
Rgb mix(Rgb a, Rgb b, double t);

constexpr int PORTRAIT_WIDTH = 240;
constexpr int PORTRAIT_HEIGHT = 320;

// The key that the hit-test finds under portrait point (u, v), or 0.
tarno::KeyCode key_under(int u, int v);

class Portrait {
public:
    explicit Portrait(Rgb background);

    Rgb at(int u, int v) const;
    void set(int u, int v, Rgb colour);
    // Lays colour over the pixel with coverage alpha (0 none, 255 opaque).
    void blend(int u, int v, Rgb colour, std::uint8_t alpha);
    // Fills the whole width from row top to row bottom, both included.
    void fill_rows(int top, int bottom, Rgb colour);

    // Writes the picture turned for the screen as a 320 x 240 BMP in the
    // screen's 565 format; false, with a line on standard error, on failure.
    bool save_turned_bmp(const char* path) const;

private:
    std::vector<Rgb> pixels_;
};

}  // namespace tarno_gen
