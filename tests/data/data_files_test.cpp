// The data files that the calculator loads at run time, against what it
// expects of them: the keypad pictures against the hit-test's key cells,
// the click against the mixer's stream, the font against the two sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "SDL.h"
#include "SDL_ttf.h"
#include "click_file.h"
#include "display.h"
#include "shell.h"
#include "support/key_cells.h"
#include "support/surfaces.h"

namespace {

using namespace tarno_test;

constexpr int SCREEN_WIDTH = 320;
constexpr int SCREEN_HEIGHT = 240;
constexpr int KEYPAD_LEFT = CELL_COLUMNS[0].first;  // the keys lie from here rightwards
constexpr int TEXT_BOTTOM = 62;   // the display's texts lie left of this

// Every key the touch screen can yield (84 lies under the equals key).
const std::vector<tarno::KeyCode> ALL_KEYS = {11, 12, 13, 14, 15, 21, 22, 23, 24, 25, 31, 32, 33,
                                              34, 35, 41, 42, 43, 44, 45, 51, 52, 53, 54, 55, 61,
                                              62, 63, 64, 65, 71, 72, 73, 74, 75, 81, 82, 83, 85};
// The keys with a second meaning of their own while shift is on.
const std::set<tarno::KeyCode> SHIFTED_KEYS = {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33};
constexpr tarno::KeyCode SHIFT_KEY = 15;

// Loaded as every redraw loads it, which refuses a picture of the wrong size.
Surface load_picture(const char* path) { return Surface(tarno::load_keypad_picture(path)); }

// The colours of the pixels inside one key's face, away from its edges,
// where its legend lies: colour -> number of pixels.
std::map<std::uint32_t, int> inner_colours(const SDL_Surface* picture, tarno::KeyCode key) {
    std::map<std::uint32_t, int> counts;
    for (int y = 1; y < SCREEN_HEIGHT - 1; ++y) {
        for (int x = KEYPAD_LEFT; x < SCREEN_WIDTH - 1; ++x) {
            const bool inner = tarno::key_at(x, y) == key && tarno::key_at(x - 1, y) == key &&
                               tarno::key_at(x + 1, y) == key && tarno::key_at(x, y - 1) == key &&
                               tarno::key_at(x, y + 1) == key;
            if (inner) ++counts[colour_at(picture, x, y)];
        }
    }
    return counts;
}

class KeypadPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(KeypadPicture, CoversTheWholeScreen) {
    const Surface picture = load_picture(GetParam());
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    EXPECT_EQ(picture->w, SCREEN_WIDTH);
    EXPECT_EQ(picture->h, SCREEN_HEIGHT);
}

// Stored in the 16-bit screen's own 565 format, the picture is blitted at
// every redraw as a plain copy instead of being converted pixel by pixel.
TEST_P(KeypadPicture, IsStoredInTheScreensPixelFormat) {
    const Surface picture = load_picture(GetParam());
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    EXPECT_EQ(picture->format->BitsPerPixel, 16);
    EXPECT_EQ(picture->format->Rmask, 0xF800u);
    EXPECT_EQ(picture->format->Gmask, 0x07E0u);
    EXPECT_EQ(picture->format->Bmask, 0x001Fu);
}

// A tap lands on a key exactly where the picture shows one: the keypad's
// background shows wherever the hit-test finds no key, and nowhere else.
TEST_P(KeypadPicture, ShowsKeyFacesExactlyWhereTheHitTestFindsKeys) {
    const Surface picture = load_picture(GetParam());
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    // The bottom right corner of the screen lies below and right of every key.
    const std::uint32_t background = colour_at(picture.get(), SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);

    int mismatches = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = KEYPAD_LEFT; x < SCREEN_WIDTH; ++x) {
            const bool on_key = tarno::key_at(x, y) != 0;
            const bool shows_key = colour_at(picture.get(), x, y) != background;
            if (on_key != shows_key && ++mismatches <= 5)
                ADD_FAILURE() << "at (" << x << ", " << y << ") the hit-test finds key " << tarno::key_at(x, y);
        }
    }
    EXPECT_EQ(mismatches, 0);

    // The corners of every cell, and the equals key's one tall rectangle with
    // the gap between its two cells filled.
    std::vector<Point> on_keys = {{EQUALS_X.first, EQUALS_Y.first}, {EQUALS_X.last, EQUALS_Y.first},
                                  {EQUALS_X.last, EQUALS_Y.last}, {300, 50}};
    for (const Range& column : CELL_COLUMNS)
        for (const Range& row : CELL_ROWS)
            for (int x : {column.first, column.last})
                for (int y : {row.first, row.last}) on_keys.push_back({x, y});
    for (const auto& [x, y] : on_keys)
        EXPECT_NE(colour_at(picture.get(), x, y), background) << "(" << x << ", " << y << ")";
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{110, 30}, {100, 47}, {100, 235}, {286, 7},
                                                               {300, 6}, {315, 50}, {314, 94}, {312, 120}})
        EXPECT_EQ(colour_at(picture.get(), x, y), background) << "(" << x << ", " << y << ")";
}

// A plain face would leave the user guessing: inside every key, some pixels
// differ from the face's own colour.
TEST_P(KeypadPicture, ShowsALegendOnEveryKey) {
    const Surface picture = load_picture(GetParam());
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    for (tarno::KeyCode key : ALL_KEYS) {
        const std::map<std::uint32_t, int> colours = inner_colours(picture.get(), key);
        int face = 0;
        int total = 0;
        for (const auto& [colour, count] : colours) {
            face = std::max(face, count);
            total += count;
        }
        EXPECT_GT(colours.size(), 1u) << "key " << key;
        EXPECT_GE(total - face, 10) << "key " << key << " holds too little ink for a legend";
    }
}

INSTANTIATE_TEST_SUITE_P(BothStates, KeypadPicture, ::testing::Values("tarno/tarno.bmp", "tarno/tarno9.bmp"));

bool cells_agree(const SDL_Surface* a, const SDL_Surface* b, tarno::KeyCode key) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = KEYPAD_LEFT; x < SCREEN_WIDTH; ++x)
            if (tarno::key_at(x, y) == key && colour_at(a, x, y) != colour_at(b, x, y)) return false;
    return true;
}

// The shifted picture changes the legends of the keys that mean something
// else while shift is on (and lights the Shift key); every other key looks
// the same in both.
TEST(ShiftedKeypadPicture, DiffersFromTheNormalOneOnlyOnShiftedKeys) {
    const Surface normal = load_picture("tarno/tarno.bmp");
    const Surface shifted = load_picture("tarno/tarno9.bmp");
    ASSERT_NE(normal, nullptr) << SDL_GetError();
    ASSERT_NE(shifted, nullptr) << SDL_GetError();
    for (tarno::KeyCode key : ALL_KEYS) {
        if (key == SHIFT_KEY) continue;
        const bool agree = cells_agree(normal.get(), shifted.get(), key);
        if (SHIFTED_KEYS.count(key))
            EXPECT_FALSE(agree) << "key " << key << " shows the same legend with shift on";
        else
            EXPECT_TRUE(agree) << "key " << key << " changes with shift although it means the same";
    }
    EXPECT_TRUE(cells_agree(normal.get(), shifted.get(), 0)) << "the gaps between the keys differ";
}

// The calculator prints its black texts over the display strip: one light
// colour there, the same in both states, so that they read the same.
TEST(DisplayStrip, IsOnePlainLightColourInBothPictures) {
    const Surface normal = load_picture("tarno/tarno.bmp");
    const Surface shifted = load_picture("tarno/tarno9.bmp");
    ASSERT_NE(normal, nullptr) << SDL_GetError();
    ASSERT_NE(shifted, nullptr) << SDL_GetError();
    const std::uint32_t plain = colour_at(normal.get(), 0, 0);
    int stray = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < TEXT_BOTTOM; ++x) {
            if (colour_at(normal.get(), x, y) != plain) ++stray;
            if (colour_at(shifted.get(), x, y) != plain) ++stray;
        }
    }
    EXPECT_EQ(stray, 0);
    // Light: every channel in the upper third, far from the texts' black.
    EXPECT_GE(plain >> 16, 0xAAu);
    EXPECT_GE((plain >> 8) & 0xFF, 0xAAu);
    EXPECT_GE(plain & 0xFF, 0xAAu);
}

// The mixer plays at 22050 Hz, signed 8-bit, mono; an unsigned 8-bit file at
// that rate reaches it sample for sample, silence (128) as exact zero.
TEST(ClickSound, IsOneShortBurstEndingInExactSilence) {
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    ASSERT_NE(SDL_LoadWAV("tarno/tarno.wav", &format, &buffer, &length), nullptr) << SDL_GetError();
    const std::vector<Uint8> samples(buffer, buffer + length);
    SDL_FreeWAV(buffer);

    EXPECT_EQ(format.freq, 22050);
    EXPECT_EQ(format.channels, 1);
    ASSERT_EQ(format.format, AUDIO_U8);
    const double milliseconds = 1000.0 * samples.size() / format.freq;
    EXPECT_GE(milliseconds, 20.0);
    EXPECT_LE(milliseconds, 60.0);

    // A sharp start: the very first sample is a quarter of full scale away
    // from silence.
    ASSERT_FALSE(samples.empty());
    EXPECT_GE(std::abs(samples.front() - 128), 32);

    // One burst, then silence to the end: no silent stretch of 1 ms or more
    // inside the sound, and at least the last 5 ms exactly silent.
    std::size_t last_sound = 0;
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (samples[i] != 128) last_sound = i;
    std::size_t longest_gap = 0;
    for (std::size_t i = 0, gap = 0; i <= last_sound; ++i) {
        gap = samples[i] == 128 ? gap + 1 : 0;
        longest_gap = std::max(longest_gap, gap);
    }
    EXPECT_LT(longest_gap, 22u);
    EXPECT_GE(samples.size() - 1 - last_sound, 110u);
}

// The calculator's own click passes the check that the shell makes of a
// click file's header before the mixer sees it.
TEST(ClickSound, PassesTheHeaderCheck) {
    SDL_RWops* stream = SDL_RWFromFile(tarno::CLICK_FILE, "rb");
    ASSERT_NE(stream, nullptr) << SDL_GetError();
    EXPECT_EQ(tarno::wav_header_fault(stream), "");
    SDL_RWclose(stream);
}

// The number line and the status texts are drawn at NUMBER_LINE_POINTS and
// STATUS_TEXT_POINTS, which the display's layout expects some 35 and 17
// pixels tall; every character those texts use must be in the font.
TEST(CalculatorFont, OpensAtBothSizesWithEveryCharacterTheDisplayShows) {
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    tarno::Fonts fonts = tarno::open_fonts(tarno::FONT_FILE, stderr);
    const std::vector<std::pair<TTF_Font*, int>> sizes{{fonts.font_large, 35}, {fonts.font_small, 17}};
    for (const auto& [font, height] : sizes) {
        ASSERT_NE(font, nullptr) << TTF_GetError();
        for (const char* c = "0123456789.-E( MNormScifixDegRad"; *c; ++c)
            EXPECT_TRUE(TTF_GlyphIsProvided(font, static_cast<Uint16>(*c))) << "'" << *c << "' at " << height << " px";
        EXPECT_NEAR(TTF_FontHeight(font), height, 2);
    }
    tarno::close_fonts(fonts);
    TTF_Quit();
}

}  // namespace
