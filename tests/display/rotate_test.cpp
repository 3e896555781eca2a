// The quarter turn and the scaling of rotate_quarter_turn, checked pixel by
// pixel against hand-worked pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "display.h"

namespace {

using tarno::rotate_quarter_turn;

struct FreeSurface {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, FreeSurface>;

constexpr Uint32 RMASK = 0x000000ff, GMASK = 0x0000ff00, BMASK = 0x00ff0000,
                 AMASK = 0xff000000;

Surface make_rgba(int width, int height) {
    return Surface(SDL_CreateRGBSurface(0, width, height, 32, RMASK, GMASK, BMASK, AMASK));
}

Uint32 get32(const SDL_Surface* s, int x, int y) {
    Uint32 value;
    std::memcpy(&value, static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4, 4);
    return value;
}

void put32(SDL_Surface* s, int x, int y, Uint32 value) {
    std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4, &value, 4);
}

// A source whose every pixel is told apart by its value (never zero).
Surface labelled_rgba(int width, int height) {
    Surface s = make_rgba(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) put32(s.get(), x, y, 0x01000000u + 1 + x + y * width);
    return s;
}

Uint32 label(int width, int x, int y) { return 0x01000000u + 1 + x + y * width; }

// Rows of a 32-bit surface as label letters: 'a' for label 0 and so on,
// '.' for an unmapped (zero) pixel.
std::vector<std::string> letters(const SDL_Surface* s, int source_width) {
    std::vector<std::string> rows;
    for (int y = 0; y < s->h; ++y) {
        std::string row;
        for (int x = 0; x < s->w; ++x) {
            const Uint32 v = get32(s, x, y);
            row += v == 0 ? '.' : static_cast<char>('a' + (v - label(source_width, 0, 0)));
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(QuarterTurn, WorkedExamples) {
    Surface square = labelled_rgba(3, 3);
    Surface turned(rotate_quarter_turn(square.get(), 90.0, 1.0, 0));
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(letters(turned.get(), 3), (std::vector<std::string>{"cfi", "beh", "adg"}));

    Surface wide = labelled_rgba(4, 2);
    turned.reset(rotate_quarter_turn(wide.get(), 90.0, 1.0, 0));
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->w, 2);
    EXPECT_EQ(turned->h, 4);
    EXPECT_EQ(letters(turned.get(), 4), (std::vector<std::string>{"..", "dh", "cg", "bf"}));
}

}  // namespace
