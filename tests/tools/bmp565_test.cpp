// The keypad pictures' 565 BMP writer: the file's header fields, and pixels
// that SDL's loader reads back exactly as the 16-bit screen showed the
// 24-bit pictures before, so that no screen changes by a single pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "SDL.h"
#include "bmp565.h"
#include "support/surfaces.h"

namespace {

using tarno_test::pixel16;
using tarno_test::Surface;

// Three pixels a row leave two bytes of padding; 256 rows take every
// channel through all its 256 values (the steps 1, 3 and 5 are odd).
constexpr int WIDTH = 3;
constexpr int HEIGHT = 256;

struct Colour {
    std::uint8_t r, g, b;
};

Colour colour_of(int x, int y) {
    const int i = y * WIDTH + x;
    return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(3 * i + 1),
            static_cast<std::uint8_t>(5 * i + 2)};
}

Surface screen_like() {
    return Surface(SDL_CreateRGBSurface(SDL_SWSURFACE, WIDTH, HEIGHT, 16, 0xF800, 0x07E0, 0x001F, 0));
}

// What the 16-bit screen showed of the colours as a 24-bit picture, laid
// out as the generator wrote them before (blue first in memory).
Surface blitted_from_24_bits() {
    Surface picture(SDL_CreateRGBSurface(SDL_SWSURFACE, WIDTH, HEIGHT, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0));
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            const Colour c = colour_of(x, y);
            Uint8* at = tarno_test::pixel_at(picture.get(), x, y);
            at[0] = c.b;
            at[1] = c.g;
            at[2] = c.r;
        }
    }
    Surface screen = screen_like();
    SDL_BlitSurface(picture.get(), nullptr, screen.get(), nullptr);
    return screen;
}

std::vector<std::uint8_t> written_file() {
    std::vector<std::uint16_t> pixels;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const Colour c = colour_of(x, y);
            pixels.push_back(tarno_gen::rgb565(c.r, c.g, c.b));
        }
    return tarno_gen::encode_bmp565(WIDTH, HEIGHT, pixels);
}

std::uint32_t field(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes.at(at + i);
    return value;
}

TEST(Bmp565Writer, WritesABitfieldsHeaderWithTheScreensMasks) {
    const std::vector<std::uint8_t> bytes = written_file();
    const std::uint32_t row = 8;  // 3 pixels of 2 bytes, padded to 4
    ASSERT_EQ(bytes.size(), 14u + 40 + 12 + row * HEIGHT);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    struct Field {
        const char* name;
        std::size_t at;
        int size;
        std::uint32_t value;
    };
    const Field fields[] = {
        {"file size", 2, 4, static_cast<std::uint32_t>(bytes.size())},
        {"pixel offset", 10, 4, 66},
        {"header size", 14, 4, 40},
        {"width", 18, 4, WIDTH},
        {"height (bottom-up)", 22, 4, HEIGHT},
        {"planes", 26, 2, 1},
        {"bits per pixel", 28, 2, 16},
        {"compression BI_BITFIELDS", 30, 4, 3},
        {"image size", 34, 4, row * HEIGHT},
        {"palette colours", 46, 4, 0},
        {"red mask", 54, 4, 0xF800},
        {"green mask", 58, 4, 0x07E0},
        {"blue mask", 62, 4, 0x001F},
    };
    for (const Field& f : fields) EXPECT_EQ(field(bytes, f.at, f.size), f.value) << f.name;
    // The bottom row comes first, padded with zeros.
    const Colour bottom_left = colour_of(0, HEIGHT - 1);
    EXPECT_EQ(field(bytes, 66, 2), tarno_gen::rgb565(bottom_left.r, bottom_left.g, bottom_left.b));
    EXPECT_EQ(field(bytes, 66 + 6, 2), 0u);
}

TEST(Bmp565Writer, LoadsAsTheSameScreenPixelsAsThe24BitPicture) {
    const std::vector<std::uint8_t> bytes = written_file();
    Surface loaded(SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    ASSERT_EQ(loaded->w, WIDTH);
    ASSERT_EQ(loaded->h, HEIGHT);
    EXPECT_EQ(loaded->format->BitsPerPixel, 16);
    EXPECT_EQ(loaded->format->Rmask, 0xF800u);
    EXPECT_EQ(loaded->format->Gmask, 0x07E0u);
    EXPECT_EQ(loaded->format->Bmask, 0x001Fu);

    Surface now = screen_like();
    SDL_BlitSurface(loaded.get(), nullptr, now.get(), nullptr);
    const Surface before = blitted_from_24_bits();
    int different = 0;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            if (pixel16(now.get(), x, y) != pixel16(before.get(), x, y) && ++different <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << "): " << pixel16(now.get(), x, y) << " against "
                              << pixel16(before.get(), x, y);
    EXPECT_EQ(different, 0);
}

}  // namespace
