// The calculator's screen as the user sees it, checked from outside: where
// the ink of every text lands over a plain keypad picture, which picture is
// shown, the messages of failed loads, blits and flips, texts left out for a
// missing font, and that redraws free what they make.
//
// Sections:
//   Helpers      where a text's ink lands, the layout, the heap in use
//   Fixture      SDL with the dummy driver, a tarno/ folder in a temp dir
//   Layout       each text where the layout puts it, both turn parities
//   Number line sizes   a line too wide for the display in a smaller size
//   Marks        the status texts by state
//   Keypad       picture choice, unreadable pictures, failed blit, palettes
//   Flip, fonts and resources
//   Opening the font    every size, failed sizes, files that give no digits,
//                       glyphs SDL_ttf would draw outside a text's picture
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#if !defined(__SANITIZE_ADDRESS__)
#include <malloc.h>
#endif

#include "calc.h"
#include "display.h"
#include "support/capture.h"
#include "support/files.h"
#include "support/surfaces.h"

// The flip cannot fail on SDL's dummy driver, so the test program is linked
// with SDL_Flip wrapped: it fails while flip_fails is set and otherwise
// hands the call to SDL. Likewise TTF_OpenFontRW refuses the sizes listed in
// refused_points (closing the stream as the real call would).
namespace {
bool flip_fails = false;
std::vector<int> refused_points;
}

extern "C" int __real_SDL_Flip(SDL_Surface* screen);
extern "C" int __wrap_SDL_Flip(SDL_Surface* screen) {
    if (flip_fails) {
        SDL_SetError("flip refused for the test");
        return -1;
    }
    return __real_SDL_Flip(screen);
}

extern "C" TTF_Font* __real_TTF_OpenFontRW(SDL_RWops* stream, int free_stream, int points);
extern "C" TTF_Font* __wrap_TTF_OpenFontRW(SDL_RWops* stream, int free_stream, int points) {
    if (std::find(refused_points.begin(), refused_points.end(), points) == refused_points.end())
        return __real_TTF_OpenFontRW(stream, free_stream, points);
    if (free_stream != 0) SDL_RWclose(stream);
    SDL_SetError("size %d refused for the test", points);
    return nullptr;
}

namespace {

using namespace tarno_test;

// --- Helpers ---

// Where a text drawn at (x, y) shows its ink on the screen. The turned text
// covers columns x..x+h-1 and rows y..y+w-1: its top x below the user's top
// edge, its end y from the user's right edge, its rows becoming columns.
// An even-by-even text loses its first column and ends one pixel further
// left; an odd-by-even one loses its bottom row and lies one pixel lower.
Box expected_ink(const UprightText& t, int x, int y) {
    Box ink = t.ink;
    const bool even_by_even = t.w % 2 == 0 && t.h % 2 == 0;
    const bool odd_by_even = t.w % 2 == 1 && t.h % 2 == 0;
    if (even_by_even) ink.left = std::max(ink.left, 1);
    if (odd_by_even) ink.bottom = std::min(ink.bottom, t.h - 2);
    if (ink.empty()) return Box{};
    const int further_left = even_by_even ? 1 : 0;
    const int lower = odd_by_even ? 1 : 0;
    Box b;
    b.add(x + lower + ink.top, y + further_left + (t.w - 1 - ink.right));
    b.add(x + lower + ink.bottom, y + further_left + (t.w - 1 - ink.left));
    return b;
}

// A text the screen should show: the literal text, the font, the place;
// font, when set, stands in for the one of the two that small_font names.
struct Placed {
    const char* text;
    bool small_font;
    int x, y;
    TTF_Font* font = nullptr;
};

// The status row and the number line as the layout places them; a null
// parenthesis mark is not shown.
std::vector<Placed> screen_layout(const char* paren, const char* memory, const char* format, const char* angle,
                                  const char* number_line) {
    std::vector<Placed> texts;
    if (paren != nullptr) texts.push_back({paren, true, 10, 10});
    texts.push_back({memory, true, 10, 50});
    texts.push_back({format, true, 10, 80});
    texts.push_back({angle, true, 10, 130});
    texts.push_back({number_line, false, 25, 10});
    return texts;
}

// The colours that black ink of every coverage gives over white on a
// screen of this format, as SDL blends a rendered text's pixels: white
// itself, every shade between, and black for full coverage.
std::vector<Uint16> black_over_white(const SDL_PixelFormat* screen_format) {
    Surface ink(SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 1, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000));
    for (Uint32 alpha = 0; alpha < 256; ++alpha) static_cast<Uint32*>(ink->pixels)[alpha] = alpha << 24;
    Surface canvas(SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 1, 16, screen_format->Rmask, screen_format->Gmask,
                                        screen_format->Bmask, 0));
    SDL_FillRect(canvas.get(), nullptr, SDL_MapRGB(canvas->format, 255, 255, 255));
    SDL_BlitSurface(ink.get(), nullptr, canvas.get(), nullptr);
    std::vector<Uint16> shades;
    for (int alpha = 0; alpha < 256; ++alpha) shades.push_back(pixel16(canvas.get(), alpha, 0));
    return shades;
}

// Checks that the screen's ink is exactly that of the listed texts, each in
// its place, over a white keypad picture, and that nothing else is drawn. A
// text longer than the display runs off the user's left edge. Every text is
// black: its pixels are shades of black over white, and its most solid ones
// are black itself.
void expect_screen_shows(const SDL_Surface* screen, const tarno::Fonts& fonts, const std::vector<Placed>& texts) {
    const Uint32 white = SDL_MapRGB(screen->format, 255, 255, 255);
    const Uint16 black = static_cast<Uint16>(SDL_MapRGB(screen->format, 0, 0, 0));
    const std::vector<Uint16> shades = black_over_white(screen->format);
    auto is_shade = [&](Uint16 pixel) { return std::find(shades.begin(), shades.end(), pixel) != shades.end(); };
    std::vector<Box> windows, expected;
    for (const Placed& p : texts) {
        TTF_Font* font = p.font != nullptr ? p.font : p.small_font ? fonts.font_small : fonts.font_large;
        const UprightText t = upright_text(font, p.text, screen->format);
        Box window;
        if (t.w > 0) {
            window.add(p.x, p.y);
            window.add(p.x + t.h - 1, p.y + t.w - 1);
        }
        windows.push_back(window);
        expected.push_back(expected_ink(t, p.x, p.y).clipped(screen->w, screen->h));
    }
    auto inside_another = [&](std::size_t self, int x, int y) {
        for (std::size_t k = 0; k < expected.size(); ++k)
            if (k != self && expected[k].holds(x, y)) return true;
        return false;
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        Box seen;
        int not_shades = 0;
        bool solid = false;
        for (int y = 0; y < screen->h; ++y)
            for (int x = 0; x < screen->w; ++x)
                if (windows[i].holds(x, y) && !inside_another(i, x, y) && pixel16(screen, x, y) != white) {
                    seen.add(x, y);
                    not_shades += !is_shade(pixel16(screen, x, y));
                    solid = solid || pixel16(screen, x, y) == black;
                }
        EXPECT_EQ(seen, expected[i]) << "text \"" << texts[i].text << "\" drawn at (" << texts[i].x << ", "
                                     << texts[i].y << ")";
        EXPECT_EQ(not_shades, 0) << "pixels of \"" << texts[i].text << "\" in a colour other than black's";
        EXPECT_EQ(solid, !seen.empty()) << "\"" << texts[i].text << "\" has no black pixel";
    }
    int stray = 0;
    for (int y = 0; y < screen->h; ++y)
        for (int x = 0; x < screen->w; ++x)
            if (pixel16(screen, x, y) != white && !inside_another(texts.size(), x, y)) ++stray;
    EXPECT_EQ(stray, 0) << "pixels drawn outside the listed texts";
}

// Bytes the program has allocated and not yet freed. Under AddressSanitizer
// malloc is the sanitizer's, which counts them itself.
#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif
std::size_t heap_in_use() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The power-on state with a number line set by hand: the mantissa field
// right-aligned over 16 characters, the exponent field as given.
tarno::CalcState state_showing(char sign, const char* mantissa, const char* exponent_field) {
    tarno::power_on();
    tarno::CalcState s = tarno::read_only_calc_state();
    std::snprintf(s.display_text, tarno::EXPONENT_FIELD, "%16s", mantissa);
    std::snprintf(s.display_text + tarno::EXPONENT_FIELD, tarno::DISPLAY_TEXT_SIZE - tarno::EXPONENT_FIELD, "%s",
                  exponent_field);
    s.sign_char = sign;
    return s;
}

tarno::CalcState power_on_state() {
    tarno::power_on();
    return tarno::read_only_calc_state();
}

// --- Fixture ---

// SDL's dummy video driver with the calculator's 320 x 240 16-bit screen and
// its font at 30 and 15 points; each test runs in a temporary directory
// whose tarno/ folder holds a white keypad picture and a light blue shifted
// one.
class Screen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(TTF_Init(), 0);
        char here[PATH_MAX];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        home_ = here;
        font_path_ = home_ + "/" + tarno::FONT_FILE;
        char dir[] = "/tmp/tarno-screen-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        ASSERT_EQ(mkdir((dir_ + "/tarno").c_str(), 0755), 0);
    }

    static void TearDownTestSuite() {
        EXPECT_GT(std::filesystem::remove_all(dir_), 0u);
        TTF_Quit();
        SDL_Quit();
    }

    void SetUp() override {
        screen_ = SDL_SetVideoMode(320, 240, 16, 0);
        ASSERT_NE(screen_, nullptr) << SDL_GetError();
        refused_points.clear();
        fonts_ = tarno::open_fonts(font_path_.c_str(), stderr);
        ASSERT_TRUE(fonts_.font_large && fonts_.font_small) << TTF_GetError();
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        ASSERT_TRUE(write_plain_picture("tarno/tarno.bmp", 255, 255, 255));
        ASSERT_TRUE(write_plain_picture("tarno/tarno9.bmp", 200, 230, 255));
        flip_fails = false;
    }

    void TearDown() override {
        tarno::close_fonts(fonts_);
        refused_points.clear();
        flip_fails = false;
        EXPECT_EQ(chdir(home_.c_str()), 0);
    }

    // The calculator's font at points, opened by the test itself.
    static Font font_at(int points) { return Font(TTF_OpenFont(font_path_.c_str(), points)); }

    Uint32 colour(Uint8 r, Uint8 g, Uint8 b) const { return SDL_MapRGB(screen_->format, r, g, b); }

    // A pixel in the keypad, far from every text.
    Uint16 keypad_pixel() const { return pixel16(screen_, 300, 200); }

    static std::string home_, font_path_, dir_;
    SDL_Surface* screen_ = nullptr;
    tarno::Fonts fonts_{};
};

std::string Screen::home_, Screen::font_path_, Screen::dir_;

using ScreenLayout = Screen;
using ScreenMarks = Screen;
using ScreenKeypad = Screen;
using ScreenFailures = Screen;
using ScreenNumberLine = Screen;
using FontOpening = Screen;

// --- Layout ---

TEST_F(ScreenLayout, StatusRowAndNumberLineLandWhereTheLayoutPutsThem) {
    tarno::CalcState s = state_showing('-', "1.5", "-03");
    s.paren_depth = 8;
    s.memory_value = 2.5;
    s.display_format = tarno::FORMAT_SCI;
    s.degree_mode = 1;
    tarno::redraw_screen(screen_, fonts_, s);
    expect_screen_shows(screen_, fonts_, screen_layout("(8", "M", "Sci", "Deg", "-1.5E-03"));

    tarno::redraw_screen(screen_, fonts_, power_on_state());
    expect_screen_shows(screen_, fonts_, screen_layout(nullptr, " ", "Norm", "Rad", " 0"));
}

// The calculator's font gives only odd-width status texts in an even-height
// line and an odd-height number line; other sizes show the other parities.
TEST_F(ScreenLayout, EvenSizedTextsFollowTheTurnsParity) {
    Font large(TTF_OpenFont(font_path_.c_str(), 31));  // 36 high: " 0" is 26 wide, " 12" 43
    Font small(TTF_OpenFont(font_path_.c_str(), 14));  // 16 high: "M" 12, "Deg" 26, "fix0" 22, "(8" 13
    ASSERT_TRUE(large && small);
    const tarno::Fonts fonts{large.get(), small.get()};

    tarno::CalcState s = state_showing(' ', "0", "   ");
    s.paren_depth = 8;
    s.memory_value = 1.0;
    s.display_format = 0;
    s.degree_mode = 1;
    tarno::redraw_screen(screen_, fonts, s);
    expect_screen_shows(screen_, fonts, screen_layout("(8", "M", "fix0", "Deg", " 0"));

    s = state_showing(' ', "12", "   ");
    s.display_format = tarno::FORMAT_NORM;
    tarno::redraw_screen(screen_, fonts, s);
    expect_screen_shows(screen_, fonts, screen_layout(nullptr, " ", "Norm", "Rad", " 12"));
}

TEST_F(ScreenLayout, NumberLineIsSignDigitsAndShownExponentRightAligned) {
    struct Case {
        char sign;
        const char* mantissa;
        const char* exponent_field;
        const char* line;
    };
    const Case cases[] = {
        {' ', "               0", "   ", " 0"},
        {'-', "1.5", "-03", "-1.5E-03"},
        {' ', "1", "-  ", " 1E-  "},  // not blank: E, the minus and two blanks
        {' ', "               ", "   ", " "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        tarno::redraw_screen(screen_, fonts_, state_showing(c.sign, c.mantissa, c.exponent_field));
        expect_screen_shows(screen_, fonts_, screen_layout(nullptr, " ", "Norm", "Rad", c.line));
    }
}

// The screen's fonts are the calculator's font at 30 and 15 points: the
// texts look exactly as the font opened here at those sizes draws them, and
// a point more or less would look otherwise.
TEST_F(ScreenLayout, NumberLineIsThirtyPointsAndStatusTextsFifteen) {
    const Font at30 = font_at(30), at15 = font_at(15);
    ASSERT_TRUE(at30 && at15);
    tarno::redraw_screen(screen_, fonts_, state_showing(' ', "8", "   "));
    expect_screen_shows(screen_, fonts_,
                        {{"Norm", true, 10, 80, at15.get()}, {"Rad", true, 10, 130, at15.get()},
                         {" 8", false, 25, 10, at30.get()}});

    auto ink_at = [&](int points, const char* text, int x, int y) {
        const Font font = font_at(points);
        return expected_ink(upright_text(font.get(), text, screen_->format), x, y);
    };
    for (int points : {29, 31}) EXPECT_FALSE(ink_at(points, " 8", 25, 10) == ink_at(30, " 8", 25, 10)) << points;
    for (int points : {14, 16}) EXPECT_FALSE(ink_at(points, "Norm", 10, 80) == ink_at(15, "Norm", 10, 80)) << points;
}

// --- Number line sizes ---

// The number line's ink below the status row: the box of every pixel that
// is not the white keypad in screen columns 28..86.
Box number_line_ink(const SDL_Surface* screen) {
    const Uint32 white = SDL_MapRGB(screen->format, 255, 255, 255);
    Box ink;
    for (int y = 0; y < screen->h; ++y)
        for (int x = 28; x < 87; ++x)
            if (pixel16(screen, x, y) != white) ink.add(x, y);
    return ink;
}

// Widths measured with the calculator's font: at 30 points " 1234567890123"
// is 229 px, "-1234567890123" 231 (218 at 29),
// " 12345678901234" 246 (232 at 29 and 28, 218 at 27), " 1234567890123456"
// 280 (231 at 26 and 25, 215 at 24), " 3.074185296307E-12" 301 (233 at 24,
// 230 at 23), "-9.99999999999E+100" 311 (240 at 24, 237
// at 23, 221 at 22) and the 21-character lines 344 and 346 (243 and 244 at 21,
// 224 and 225 at 20). Ascents: 28 at 30 points, 27 at 29, 25 at 27, 22 at 24,
// 21 at 23, 20 at 22, 19 at 20; a line's top lies lower by the difference.
TEST_F(ScreenNumberLine, WideLineTakesTheLargestSizeAtWhichItFits) {
    struct Case {
        char sign;
        const char* mantissa;
        const char* exponent_field;
        const char* line;
        int points, top;
    };
    const Case cases[] = {
        {' ', "1234567890123", "   ", " 1234567890123", 30, 25},
        {'-', "1234567890123", "   ", "-1234567890123", 29, 26},
        {' ', "12345678901234", "   ", " 12345678901234", 27, 28},
        {' ', "1234567890123456", "   ", " 1234567890123456", 24, 31},
        {' ', "3.074185296307", "-12", " 3.074185296307E-12", 23, 32},  // exactly 230 px at 23
        {'-', "9.99999999999", "+100", "-9.99999999999E+100", 22, 33},
        {' ', "1234567890123456", "-62", " 1234567890123456E-62", 20, 34},
        {'-', "9876543209876543", "-98", "-9876543209876543E-98", 20, 34},  // the widest a line gets
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Font font = font_at(c.points);
        ASSERT_TRUE(font);
        EXPECT_LE(upright_text(font.get(), c.line, screen_->format).w, 230) << "not whole inside the display";
        tarno::redraw_screen(screen_, fonts_, state_showing(c.sign, c.mantissa, c.exponent_field));
        std::vector<Placed> texts = screen_layout(nullptr, " ", "Norm", "Rad", c.line);
        texts.back() = {c.line, false, c.top, 10, font.get()};
        expect_screen_shows(screen_, fonts_, texts);
    }
}

// Digits 1 and 4 and the letter E stand on the baseline without overshoot:
// the bottom of their ink is the baseline at any size. An odd-wide text of
// even height lies a pixel lower: that is the turn's doing.
TEST_F(ScreenNumberLine, NarrowLineSitsOnTheBaselineOfTheLargeOne) {
    tarno::redraw_screen(screen_, fonts_, state_showing(' ', "1", "   "));
    const int baseline = number_line_ink(screen_).right;
    struct Case {
        char sign;
        const char* mantissa;
        const char* exponent_field;
        const char* line;
        int points;
    };
    const Case cases[] = {
        {'-', "1414141414141", "   ", "-1414141414141", 29},
        {' ', "14141414141414", "   ", " 14141414141414", 27},
        {' ', "1414141414141414", "   ", " 1414141414141414", 24},
        {'-', "1414141414141414", "-44", "-1414141414141414E-44", 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Font font = font_at(c.points);
        const UprightText t = upright_text(font.get(), c.line, screen_->format);
        const int lower = t.w % 2 == 1 && t.h % 2 == 0 ? 1 : 0;
        tarno::redraw_screen(screen_, fonts_, state_showing(c.sign, c.mantissa, c.exponent_field));
        EXPECT_EQ(number_line_ink(screen_).right, baseline + lower);
    }
}

TEST_F(ScreenNumberLine, LineThatFitsIsDrawnAsTheLargeFontAloneDraws) {
    const Font large = font_at(30);
    ASSERT_TRUE(large);
    struct Case {
        char sign;
        const char* mantissa;
        const char* exponent_field;
        const char* line;
    };
    const Case cases[] = {
        {' ', "1234567890123", "   ", " 1234567890123"},  // 229 px wide
        {'-', "1.5", "-03", "-1.5E-03"},
        {' ', "0", "   ", " 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const tarno::CalcState s = state_showing(c.sign, c.mantissa, c.exponent_field);
        tarno::redraw_screen(screen_, fonts_, s);
        const std::string drawn(static_cast<const char*>(screen_->pixels), screen_->pitch * screen_->h);

        // The status row alone, then the line at 30 points rendered, turned
        // and blended at (25, 10) here.
        tarno::redraw_screen(screen_, tarno::Fonts{nullptr, fonts_.font_small}, s);
        Surface rendered(TTF_RenderText_Blended(large.get(), c.line, SDL_Color{0, 0, 0, 0}));
        Surface turned(tarno::rotate_quarter_turn(rendered.get(), 90.0, 1.0, 0));
        SDL_Rect place{25, 10, 0, 0};
        ASSERT_EQ(SDL_BlitSurface(turned.get(), nullptr, screen_, &place), 0);
        const std::string expected(static_cast<const char*>(screen_->pixels), screen_->pitch * screen_->h);
        EXPECT_TRUE(drawn == expected);
    }
}

int narrow_index(int points) {
    const int* end = tarno::NARROW_NUMBER_LINE_POINTS + tarno::NARROW_SIZE_COUNT;
    return static_cast<int>(std::find(tarno::NARROW_NUMBER_LINE_POINTS, end, points) - tarno::NARROW_NUMBER_LINE_POINTS);
}

TEST_F(ScreenNumberLine, MissingSizeIsStoodInForByTheNearestOpenOne) {
    const Font at23 = font_at(23), at29 = font_at(29), at30 = font_at(30);
    ASSERT_TRUE(at23 && at29 && at30);
    const tarno::CalcState sixteen_digits = state_showing(' ', "1234567890123456", "   ");
    const tarno::CalcState with_exponent = state_showing(' ', "1234567890123456", "-62");
    // The status row as at power-on, then the number line as given.
    auto screen_with = [](Placed line) {
        std::vector<Placed> texts = screen_layout(nullptr, " ", "Norm", "Rad", line.text);
        texts.back() = line;
        return texts;
    };

    tarno::Fonts fonts = fonts_;
    fonts.narrow[narrow_index(24)] = nullptr;  // the size the sixteen digits take
    tarno::redraw_screen(screen_, fonts, sixteen_digits);
    expect_screen_shows(screen_, fonts_, screen_with({" 1234567890123456", false, 32, 10, at23.get()}));

    for (int i = 1; i < tarno::NARROW_SIZE_COUNT; ++i) fonts.narrow[i] = nullptr;  // only 29 is left
    ASSERT_EQ(narrow_index(29), 0);
    tarno::redraw_screen(screen_, fonts, with_exponent);
    expect_screen_shows(screen_, fonts_, screen_with({" 1234567890123456E-62", false, 26, 10, at29.get()}));

    fonts.narrow[0] = nullptr;  // no narrow size at all: the large font, as far as it goes
    tarno::redraw_screen(screen_, fonts, with_exponent);
    expect_screen_shows(screen_, fonts_, screen_with({" 1234567890123456E-62", false, 25, 10, at30.get()}));

    fonts = fonts_;
    fonts.font_large = nullptr;  // no large font, no number line
    fonts.font_small = nullptr;
    tarno::redraw_screen(screen_, fonts, with_exponent);
    expect_screen_shows(screen_, fonts_, {});
}

// --- Marks ---

TEST_F(ScreenMarks, ParenthesisMarkShowsOnlyWhileOneIsOpen) {
    const char* marks[] = {nullptr, "(1", "(2", "(3", "(4", "(5", "(6", "(7", "(8"};
    for (unsigned depth = 0; depth <= 8; ++depth) {
        SCOPED_TRACE(depth);
        tarno::CalcState s = power_on_state();
        s.paren_depth = depth;
        tarno::redraw_screen(screen_, fonts_, s);
        expect_screen_shows(screen_, fonts_, screen_layout(marks[depth], " ", "Norm", "Rad", " 0"));
    }
}

TEST_F(ScreenMarks, MemoryMarkShowsForEveryValueButZero) {
    struct Case {
        double memory;
        const char* mark;
    };
    const Case cases[] = {
        {0.0, " "}, {-0.0, " "}, {std::nan(""), "M"}, {1e-300, "M"}, {-2.0, "M"}, {HUGE_VAL, "M"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.memory);
        tarno::CalcState s = power_on_state();
        s.memory_value = c.memory;
        tarno::redraw_screen(screen_, fonts_, s);
        expect_screen_shows(screen_, fonts_, screen_layout(nullptr, c.mark, "Norm", "Rad", " 0"));
    }
}

TEST_F(ScreenMarks, FormatNamesAndAngleUnitsShareTheirPlaces) {
    const char* names[] = {"Norm", "Sci",  "fix0", "fix1", "fix2", "fix3",
                           "fix4", "fix5", "fix6", "fix7", "fix8", "fix9"};
    for (int format = -2; format <= 9; ++format) {
        SCOPED_TRACE(format);
        tarno::CalcState s = power_on_state();
        s.display_format = format;
        s.degree_mode = format % 2 == 0 ? 1 : 0;
        tarno::redraw_screen(screen_, fonts_, s);
        expect_screen_shows(screen_, fonts_,
                            screen_layout(nullptr, " ", names[format + 2], s.degree_mode ? "Deg" : "Rad", " 0"));
    }
}

// --- Keypad ---

TEST_F(ScreenKeypad, ShiftedPictureIsShownWhileShiftIsActive) {
    tarno::CalcState s = power_on_state();
    s.shift_active = 1;
    tarno::redraw_screen(screen_, fonts_, s);
    EXPECT_EQ(keypad_pixel(), colour(200, 230, 255));

    s.shift_active = 0;
    tarno::redraw_screen(screen_, fonts_, s);
    EXPECT_EQ(keypad_pixel(), colour(255, 255, 255));

    // Read again at every redraw: a changed file shows at the next one.
    ASSERT_TRUE(write_plain_picture("tarno/tarno.bmp", 255, 0, 0));
    tarno::redraw_screen(screen_, fonts_, s);
    EXPECT_EQ(keypad_pixel(), colour(255, 0, 0));
}

TEST_F(ScreenKeypad, MissingPictureIsReportedAndTextsGoOverThePreviousFrame) {
    SDL_RWops* none = SDL_RWFromFile("tarno/no-such.bmp", "rb");
    ASSERT_EQ(none, nullptr);
    std::string missing_error = SDL_GetError();  // SDL's words for a file that is not there
    const std::string prefix = "Couldn't open tarno/no-such.bmp";
    ASSERT_EQ(missing_error.compare(0, prefix.size(), prefix), 0) << missing_error;
    missing_error.replace(0, prefix.size(), "Couldn't open tarno/tarno9.bmp");

    tarno::redraw_screen(screen_, fonts_, power_on_state());  // the previous frame: white keypad
    ASSERT_EQ(std::remove("tarno/tarno9.bmp"), 0);
    tarno::CalcState s = state_showing(' ', "7", "   ");
    s.shift_active = 1;
    const std::string err = stderr_of([&] { tarno::redraw_screen(screen_, fonts_, s); });

    EXPECT_EQ(err, "Couldn't load tarno/tarno9.bmp: " + missing_error + "\n");
    EXPECT_EQ(keypad_pixel(), colour(255, 255, 255));
    // The new number line is drawn over the old one: the ink of " 0" and " 7".
    const UprightText zero = upright_text(fonts_.font_large, " 0", screen_->format);
    const UprightText seven = upright_text(fonts_.font_large, " 7", screen_->format);
    Box both = expected_ink(zero, 25, 10);
    const Box seven_box = expected_ink(seven, 25, 10);
    both.add(seven_box.left, seven_box.top);
    both.add(seven_box.right, seven_box.bottom);
    Box seen;
    for (int y = 0; y < 50; ++y)
        for (int x = 25; x < 87; ++x)
            if (pixel16(screen_, x, y) != colour(255, 255, 255)) seen.add(x, y);
    EXPECT_EQ(seen, both);
}

// A file that is no BMP, a picture of another size than the screen's and a
// header claiming a height of -2^31 (which SDL's loader takes, giving a
// surface with an empty pixel buffer) are each reported with the reason, and
// the screen keeps what it showed.
TEST_F(ScreenKeypad, PictureThatCannotBeTheKeypadIsReportedWithItsPathAndWhy) {
    {
        std::ofstream junk("tarno/tarno.bmp", std::ios::binary | std::ios::trunc);
        junk << "not a picture";
    }
    SDL_Surface* refused = SDL_LoadBMP("tarno/tarno.bmp");
    ASSERT_EQ(refused, nullptr);
    const std::string decode_error = SDL_GetError();  // SDL's words for a file that is no BMP

    Surface small(SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 32, 24, 0x0000ff, 0x00ff00, 0xff0000, 0));
    ASSERT_EQ(SDL_SaveBMP(small.get(), "scratch.bmp"), 0);
    ASSERT_TRUE(write_plain_picture("tarno/tarno.bmp", 255, 255, 255));
    std::string lowest_height = file_text("tarno/tarno.bmp");
    lowest_height.replace(22, 4, "\x00\x00\x00\x80", 4);  // the header's height, little-endian
    struct Case {
        std::string bytes;
        std::string why;
    };
    const Case cases[] = {
        {"not a picture", decode_error},
        {file_text("scratch.bmp"), "32 x 32 pixels, not 320 x 240"},
        {lowest_height, "320 x -2147483648 pixels, not 320 x 240"},
    };
    std::remove("scratch.bmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        {
            std::ofstream picture("tarno/tarno.bmp", std::ios::binary | std::ios::trunc);
            picture << c.bytes;
        }
        SDL_FillRect(screen_, nullptr, colour(0, 128, 0));
        const std::string err = stderr_of([&] { tarno::redraw_screen(screen_, fonts_, power_on_state()); });
        EXPECT_EQ(err, "Couldn't load tarno/tarno.bmp: " + c.why + "\n");
        EXPECT_EQ(keypad_pixel(), colour(0, 128, 0));
    }
}

TEST_F(ScreenKeypad, PictureThatIsAFifoIsReportedLikeAMissingOne) {
    ASSERT_EQ(std::remove("tarno/tarno.bmp"), 0);
    ASSERT_EQ(mkfifo("tarno/tarno.bmp", 0600), 0);
    // Should the redraw wait for a writer, the watchdog becomes one after a
    // while and hangs up, so that the test fails instead of hanging.
    std::atomic<bool> done{false};
    std::thread watchdog([&done] {
        for (int tries = 0; tries < 60 && !done; ++tries) {
            const int writer = open("tarno/tarno.bmp", O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                close(writer);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    SDL_FillRect(screen_, nullptr, colour(0, 128, 0));
    const std::string err = stderr_of([&] { tarno::redraw_screen(screen_, fonts_, power_on_state()); });
    done = true;
    watchdog.join();
    std::remove("tarno/tarno.bmp");

    EXPECT_EQ(err, "Couldn't load tarno/tarno.bmp: Couldn't open tarno/tarno.bmp\n");
    EXPECT_EQ(keypad_pixel(), colour(0, 128, 0));
}

TEST_F(ScreenKeypad, FailedPictureBlitIsReportedAndTheRedrawGoesOn) {
    // A locked screen refuses every blit; SDL's words for that come first.
    Surface probe(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 16, 0, 0, 0, 0));
    ASSERT_EQ(SDL_LockSurface(screen_), 0);
    ASSERT_LT(SDL_BlitSurface(probe.get(), nullptr, screen_, nullptr), 0);
    const std::string blit_error = SDL_GetError();

    SDL_FillRect(screen_, nullptr, colour(0, 0, 255));  // fills ignore the lock
    const std::string err = stderr_of([&] { tarno::redraw_screen(screen_, fonts_, power_on_state()); });
    SDL_UnlockSurface(screen_);

    EXPECT_EQ(err, "BlitSurface error: " + blit_error + "\n");  // the texts' blits are not looked at
    EXPECT_EQ(keypad_pixel(), colour(0, 0, 255));

    tarno::redraw_screen(screen_, fonts_, power_on_state());  // unlocked, all is drawn again
    expect_screen_shows(screen_, fonts_, screen_layout(nullptr, " ", "Norm", "Rad", " 0"));
}

TEST_F(ScreenKeypad, PalettedPictureLendsItsColoursToAPalettedScreen) {
    Surface picture(SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 8, 0, 0, 0, 0));
    SDL_Color colours[2] = {{10, 20, 30, 0}, {250, 240, 230, 0}};
    SDL_SetColors(picture.get(), colours, 0, 2);
    SDL_Color last{5, 6, 7, 0};  // every entry is lent, the last one too
    SDL_SetColors(picture.get(), &last, 255, 1);
    SDL_FillRect(picture.get(), nullptr, 1);
    ASSERT_EQ(SDL_SaveBMP(picture.get(), "tarno/tarno.bmp"), 0);

    Surface paletted(SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 8, 0, 0, 0, 0));
    SDL_Color grey{128, 128, 128, 0};
    for (int i = 0; i < 256; ++i) SDL_SetColors(paletted.get(), &grey, i, 1);

    tarno::redraw_screen(paletted.get(), fonts_, power_on_state());
    const SDL_Color* got = paletted->format->palette->colors;
    EXPECT_EQ((std::vector<int>{got[0].r, got[0].g, got[0].b, got[1].r, got[1].g, got[1].b}),
              (std::vector<int>{10, 20, 30, 250, 240, 230}));
    EXPECT_EQ((std::vector<int>{got[255].r, got[255].g, got[255].b}), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(static_cast<const Uint8*>(paletted->pixels)[200 * paletted->pitch + 300], 1);
}

// --- Flip, fonts and resources ---

TEST_F(ScreenFailures, FailedFlipWritesFifteenCharactersWithoutLineEnd) {
    flip_fails = true;
    const std::string err = stderr_of([&] { tarno::redraw_screen(screen_, fonts_, power_on_state()); });
    flip_fails = false;
    EXPECT_EQ(err, "SDL_Flip failed");
    EXPECT_EQ(err.size(), 15u);
    expect_screen_shows(screen_, fonts_, screen_layout(nullptr, " ", "Norm", "Rad", " 0"));
}

TEST_F(ScreenFailures, MissingFontLeavesOnlyItsOwnTextsOut) {
    tarno::CalcState s = power_on_state();
    s.paren_depth = 3;
    s.memory_value = 4.0;

    std::string err = stderr_of([&] { tarno::redraw_screen(screen_, tarno::Fonts{nullptr, nullptr}, s); });
    EXPECT_EQ(err, "");
    expect_screen_shows(screen_, fonts_, {});

    tarno::redraw_screen(screen_, tarno::Fonts{fonts_.font_large, nullptr}, s);
    expect_screen_shows(screen_, fonts_, {{" 0", false, 25, 10}});

    tarno::redraw_screen(screen_, tarno::Fonts{nullptr, fonts_.font_small}, s);
    std::vector<Placed> status = screen_layout("(3", "M", "Norm", "Rad", " 0");
    status.pop_back();
    expect_screen_shows(screen_, fonts_, status);
}

TEST_F(ScreenFailures, RedrawsFreeEverySurfaceTheyMake) {
    tarno::CalcState s = state_showing('-', "1.5", "-03");
    s.paren_depth = 2;
    s.memory_value = 1.0;
    for (int i = 0; i < 3; ++i) tarno::redraw_screen(screen_, fonts_, s);  // glyph caches filled
    const std::size_t before = heap_in_use();
    for (int i = 0; i < 300; ++i) tarno::redraw_screen(screen_, fonts_, s);
    const std::size_t after = heap_in_use();
    // One forgotten surface per redraw, even the turned blank, would be over
    // 100 KB by now; the keypad picture alone 69 MB.
    EXPECT_LT(after, before + 64 * 1024) << "grew by " << (after - before) << " bytes";
}

// --- Opening the font ---

TEST_F(FontOpening, EverySizeOpensQuietly) {
    tarno::Fonts fonts;
    const std::string err = stderr_of([&] { fonts = tarno::open_fonts(font_path_.c_str(), stderr); });
    EXPECT_EQ(err, "");
    const Font at30 = font_at(30), at15 = font_at(15);
    ASSERT_TRUE(fonts.font_large && fonts.font_small);
    EXPECT_EQ(TTF_FontHeight(fonts.font_large), TTF_FontHeight(at30.get()));
    EXPECT_EQ(TTF_FontHeight(fonts.font_small), TTF_FontHeight(at15.get()));
    for (int points = 29; points >= 20; --points) {
        SCOPED_TRACE(points);
        const int i = narrow_index(points);
        ASSERT_LT(i, tarno::NARROW_SIZE_COUNT);
        ASSERT_NE(fonts.narrow[i], nullptr);
        EXPECT_EQ(TTF_FontHeight(fonts.narrow[i]), TTF_FontHeight(font_at(points).get()));
    }
    tarno::close_fonts(fonts);
}

TEST_F(FontOpening, SizesThatFailAreReportedInOneLineAndTheRestOpen) {
    refused_points = {15, 24};
    tarno::Fonts fonts;
    const std::string err = stderr_of([&] { fonts = tarno::open_fonts(font_path_.c_str(), stderr); });
    EXPECT_EQ(err, "Couldn't open font " + font_path_ + ": size 15 refused for the test\n");
    EXPECT_EQ(fonts.font_small, nullptr);
    EXPECT_NE(fonts.font_large, nullptr);
    for (int i = 0; i < tarno::NARROW_SIZE_COUNT; ++i)
        EXPECT_EQ(fonts.narrow[i] == nullptr, tarno::NARROW_NUMBER_LINE_POINTS[i] == 24) << i;
    tarno::close_fonts(fonts);
}

// Big-endian fields of a TrueType file, as its tables hold them.
unsigned be16(const std::string& f, std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(f[at]) << 8 | static_cast<unsigned char>(f[at + 1]));
}
std::size_t be32(const std::string& f, std::size_t at) { return std::size_t{be16(f, at)} << 16 | be16(f, at + 2); }
void put_be16(std::string& f, std::size_t at, int v) {
    f[at] = static_cast<char>((v >> 8) & 0xff);
    f[at + 1] = static_cast<char>(v & 0xff);
}

// Where the table tagged tag starts in the font file f: its directory of
// 16-byte entries (tag, checksum, offset, length) follows a 12-byte header
// that counts them.
std::size_t table_at(const std::string& f, const char* tag) {
    for (std::size_t entry = 12; entry < 12 + 16 * be16(f, 4); entry += 16)
        if (f.compare(entry, 4, tag) == 0) return be32(f, entry + 8);
    ADD_FAILURE() << "no " << tag << " table";
    return 0;
}

// The font with every glyph's left side bearing set to -3000 units: digits
// drawn some 44 pixels left of where they stand at 30 points.
std::string shifted_left(std::string f) {
    const std::size_t hhea = table_at(f, "hhea"), hmtx = table_at(f, "hmtx");
    for (unsigned glyph = 0; glyph < be16(f, hhea + 34); ++glyph) put_be16(f, hmtx + 4 * glyph + 2, -3000);
    return f;
}

// The font with its ascender 100 units above the baseline: every digit
// reaches above it.
std::string low_ascender(std::string f) {
    put_be16(f, table_at(f, "hhea") + 4, 100);
    return f;
}

// A missing file, a FIFO (which must not stop the opening), the font cut off
// halfway (which opens but draws nothing) or without digits, and fonts whose
// glyphs SDL_ttf would draw beyond the text's picture (one byte flipped in
// the outline of "6", which then reaches far above the line and left of its
// place; a low ascender; every glyph moved left) leave every size closed.
TEST_F(FontOpening, FileThatGivesNoDigitsIsReportedAndNothingStaysOpen) {
    ASSERT_EQ(mkdir("scratch", 0755), 0);
    ASSERT_EQ(mkfifo("scratch/fifo.ttf", 0644), 0);
    const std::string whole = file_text(font_path_);
    std::string flipped_six = whole, no_digits = whole;
    ASSERT_EQ(whole.at(30206), '\x3e') << "the calculator's font has changed: find another byte of '6'";
    flipped_six[30206] = '\x97';
    // The Unicode map's Basic Latin range starts at ':' instead of the blank:
    // the blank, the signs, the point and the digits are no longer in it.
    ASSERT_EQ(be16(whole, 11312), unsigned{' '}) << "the calculator's font has changed: find its map's first range";
    put_be16(no_digits, 11312, ':');
    const std::pair<const char*, std::string> files[] = {
        {"scratch/cut.ttf", whole.substr(0, whole.size() / 2)},
        {"scratch/no-digits.ttf", no_digits},
        {"scratch/flipped-six.ttf", flipped_six},
        {"scratch/low-ascent.ttf", low_ascender(whole)},
        {"scratch/left.ttf", shifted_left(whole)},
    };
    for (const auto& [path, bytes] : files) {
        std::ofstream file(path, std::ios::binary);
        file << bytes;
    }
    struct Case {
        const char* path;
        std::string why;
    };
    const Case cases[] = {
        {"scratch/none.ttf", "Couldn't open scratch/none.ttf"},
        {"scratch/fifo.ttf", "Couldn't open scratch/fifo.ttf"},
        {"scratch/cut.ttf", "it renders no ink"},
        {"scratch/no-digits.ttf", "it has no '0'"},
        {"scratch/flipped-six.ttf", "its '6' reaches above the font's ascent at 30 points"},
        {"scratch/low-ascent.ttf", "its '0' reaches above the font's ascent at 30 points"},
        {"scratch/left.ttf", "its '0' starts left of its pen position at 30 points"},
    };
    // An open that waits for the FIFO's writer ends the test here, whatever
    // the runner had done with the alarm signal.
    std::signal(SIGALRM, SIG_DFL);
    alarm(20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        tarno::Fonts fonts;
        const std::string err = stderr_of([&] { fonts = tarno::open_fonts(c.path, stderr); });
        EXPECT_EQ(err, std::string("Couldn't open font ") + c.path + ": " + c.why + "\n");
        EXPECT_EQ(SDL_GetError(), c.why);
        EXPECT_EQ(fonts.font_large, nullptr);
        EXPECT_EQ(fonts.font_small, nullptr);
        for (TTF_Font* narrow : fonts.narrow) EXPECT_EQ(narrow, nullptr);
        tarno::close_fonts(fonts);
    }
    alarm(0);
    EXPECT_GT(std::filesystem::remove_all("scratch"), 0u);
}

}  // namespace
