// The browser build's text layer (web/ttf) against Debian's SDL_ttf 2.0.11,
// both run here natively over the same FreeType: every text the calculator
// can show, at every size the display opens, must come out of both with the
// same size, metrics and pixels, and broken font files must fail alike. The
// page's cut-down font, drawn by the layer, must give what the whole font
// gives SDL_ttf.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "SDL.h"
#include "SDL_ttf.h"
#include "display.h"
#include "support/files.h"
#include "ttf_layer.h"

namespace {

namespace layer = tarno::ttf_layer;

// The characters of a number line: its sign, the digits, point and E of the
// number formats, and the letters printed for NaNs and infinities.
const std::string NUMBER_CHARACTERS = " -0123456789.Enaif";
constexpr int LONGEST_NUMBER_LINE = 22;

std::vector<int> every_size() {
    std::vector<int> sizes = {tarno::NUMBER_LINE_POINTS, tarno::STATUS_TEXT_POINTS};
    for (int points : tarno::NARROW_NUMBER_LINE_POINTS) sizes.push_back(points);
    return sizes;
}

std::vector<std::string> status_texts() {
    std::vector<std::string> texts = {"M", " ", "Norm", "Sci", "Deg", "Rad"};
    for (char depth = '1'; depth <= '8'; ++depth) texts.push_back(std::string("(") + depth);
    for (char places = '0'; places <= '9'; ++places) texts.push_back(std::string("fix") + places);
    return texts;
}

// A cyclic sequence of the number line's characters holding every ordered
// pair of them exactly once (a de Bruijn sequence of order 2).
std::string every_pair_once() {
    const int k = static_cast<int>(NUMBER_CHARACTERS.size());
    std::string sequence;
    for (int first = 0; first < k; ++first) {
        sequence += NUMBER_CHARACTERS[first];
        for (int second = first + 1; second < k; ++second) {
            sequence += NUMBER_CHARACTERS[first];
            sequence += NUMBER_CHARACTERS[second];
        }
    }
    return sequence;
}

// Number lines of every length: every window of that length of the cyclic
// sequence above, so that each character and each adjacent pair (kerned) is
// seen at every length and in many places along the line.
std::vector<std::string> number_lines() {
    const std::string cycle = every_pair_once();
    const std::string twice = cycle + cycle;
    std::vector<std::string> lines;
    for (int length = 1; length <= LONGEST_NUMBER_LINE; ++length) {
        for (size_t start = 0; start < cycle.size(); ++start) lines.push_back(twice.substr(start, length));
    }
    return lines;
}

// Debian's SDL_ttf and the layer, each with the font open at one size from
// the same bytes (either may be null when the bytes are no usable font).
struct FontPair {
    FontPair(const std::string& bytes, int points) : FontPair(bytes, bytes, points) {}
    FontPair(const std::string& real_bytes, const std::string& our_bytes, int points)
        : real(TTF_OpenFontRW(SDL_RWFromConstMem(real_bytes.data(), static_cast<int>(real_bytes.size())), 1, points)),
          real_error(TTF_GetError()),
          ours(layer::open_font(SDL_RWFromConstMem(our_bytes.data(), static_cast<int>(our_bytes.size())), 1, points)),
          our_error(SDL_GetError()) {}
    ~FontPair() {
        TTF_CloseFont(real);
        layer::close_font(ours);
    }
    FontPair(const FontPair&) = delete;
    FontPair& operator=(const FontPair&) = delete;

    TTF_Font* real;
    std::string real_error;
    layer::Font* ours;
    std::string our_error;
};

// How two renderings (or their failures, with SDL's error) differ, or "".
std::string surface_difference(SDL_Surface* real, const std::string& real_error, SDL_Surface* ours,
                               const std::string& our_error) {
    if (real == nullptr || ours == nullptr) {
        if (real != ours) return real == nullptr ? "only ours rendered" : "only SDL_ttf rendered";
        return real_error == our_error ? "" : "errors '" + real_error + "' and '" + our_error + "'";
    }
    const SDL_PixelFormat& a = *real->format;
    const SDL_PixelFormat& b = *ours->format;
    if (real->w != ours->w || real->h != ours->h || real->pitch != ours->pitch || a.BitsPerPixel != b.BitsPerPixel ||
        a.Rmask != b.Rmask || a.Gmask != b.Gmask || a.Bmask != b.Bmask || a.Amask != b.Amask) {
        return "surfaces " + std::to_string(real->w) + "x" + std::to_string(real->h) + " and " +
               std::to_string(ours->w) + "x" + std::to_string(ours->h);
    }
    for (int y = 0; y < real->h; ++y) {
        const Uint8* row_a = static_cast<const Uint8*>(real->pixels) + y * real->pitch;
        const Uint8* row_b = static_cast<const Uint8*>(ours->pixels) + y * ours->pitch;
        if (!std::equal(row_a, row_a + real->w * 4, row_b)) return "pixels of row " + std::to_string(y);
    }
    return "";
}

// How text's size and rendering in colour differ between the two, or "".
std::string rendering_difference(FontPair& fonts, const std::string& text, SDL_Color colour) {
    int real_w = -1, real_h = -1, our_w = -1, our_h = -1;
    const int real_sized = TTF_SizeText(fonts.real, text.c_str(), &real_w, &real_h);
    const int our_sized = layer::size_text(fonts.ours, text.c_str(), &our_w, &our_h);
    if (real_sized != our_sized || real_w != our_w || real_h != our_h) return "sizes";
    SDL_Surface* real = TTF_RenderText_Blended(fonts.real, text.c_str(), colour);
    const std::string real_error = TTF_GetError();
    SDL_Surface* ours = layer::render_text_blended(fonts.ours, text.c_str(), colour);
    const std::string difference = surface_difference(real, real_error, ours, SDL_GetError());
    SDL_FreeSurface(real);
    SDL_FreeSurface(ours);
    return difference;
}

// How the font-wide metrics and the glyphs' of characters (every Latin-1
// one when empty) differ, or "".
std::string metrics_difference(FontPair& fonts, const std::string& characters = "") {
    if (TTF_FontAscent(fonts.real) != layer::font_ascent(fonts.ours) ||
        TTF_FontDescent(fonts.real) != layer::font_descent(fonts.ours) ||
        TTF_FontHeight(fonts.real) != layer::font_height(fonts.ours)) {
        return "ascent, descent or height";
    }
    for (Uint16 ch = 1; ch <= 255; ++ch) {
        if (!characters.empty() && characters.find(static_cast<char>(ch)) == std::string::npos) continue;
        int real[5] = {}, ours[5] = {};
        const int real_found = TTF_GlyphMetrics(fonts.real, ch, &real[0], &real[1], &real[2], &real[3], &real[4]);
        const int our_found = layer::glyph_metrics(fonts.ours, ch, &ours[0], &ours[1], &ours[2], &ours[3], &ours[4]);
        // The glyph's index in its font; only whether there is one where the fonts differ.
        int real_index = TTF_GlyphIsProvided(fonts.real, ch), our_index = layer::glyph_is_provided(fonts.ours, ch);
        if (!characters.empty()) real_index = real_index != 0, our_index = our_index != 0;
        if (real_index != our_index || real_found != our_found || !std::equal(real, real + 5, ours)) {
            std::string values;
            for (int i = 0; i < 5; ++i) values += " " + std::to_string(real[i]) + "/" + std::to_string(ours[i]);
            return "glyph " + std::to_string(ch) + values;
        }
    }
    return "";
}

class TextLayer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0);
        ASSERT_EQ(layer::init(), 0);
        font_bytes = tarno_test::file_text(tarno::FONT_FILE);
        ASSERT_FALSE(font_bytes.empty()) << tarno::FONT_FILE;
    }
    void TearDown() override {
        layer::quit();
        TTF_Quit();
    }

    // Compares text in fonts (named by label in a failure), counting the
    // renderings and keeping the first few differences.
    void compare(FontPair& fonts, const std::string& label, const std::string& text, SDL_Color colour) {
        ++renderings;
        const std::string difference = rendering_difference(fonts, text, colour);
        if (difference.empty()) return;
        if (++differing <= 5) examples += "\n  " + label + " '" + text + "': " + difference;
    }

    std::string font_bytes;
    int renderings = 0;
    int differing = 0;
    std::string examples;
};

const SDL_Color BLACK = {0, 0, 0, 0};  // as the calculator draws every text
const SDL_Color TINT = {0x12, 0x34, 0x56, 0};

TEST_F(TextLayer, EveryTextAtEverySizeRendersAsSdlTtfRendersIt) {
    const std::vector<std::string> statuses = status_texts();
    const std::vector<std::string> lines = number_lines();
    for (int points : every_size()) {
        FontPair fonts(font_bytes, points);
        const std::string label = std::to_string(points) + " pt";
        ASSERT_NE(fonts.real, nullptr) << fonts.real_error;
        ASSERT_NE(fonts.ours, nullptr) << fonts.our_error;
        EXPECT_EQ(metrics_difference(fonts), "") << label;
        for (const std::string& text : statuses) {
            compare(fonts, label, text, BLACK);
            compare(fonts, label, text, TINT);
        }
        for (const std::string& line : lines) compare(fonts, label, line, BLACK);
    }
    std::printf("%d renderings compared, %d differ\n", renderings, differing);
    EXPECT_EQ(differing, 0) << examples;
}

// The page's font holds only what the screen shows, yet draws all of it as
// the whole font does: every status text and number line at every size,
// the glyphs the display checks at start-up included.
TEST_F(TextLayer, PageFontRendersEveryTextAsTheWholeFont) {
    const std::string page_font = tarno_test::file_text(TARNO_PAGE_FONT_PATH);
    ASSERT_FALSE(page_font.empty()) << TARNO_PAGE_FONT_PATH;
    EXPECT_LT(page_font.size(), font_bytes.size() / 10);
    const std::vector<std::string> statuses = status_texts();
    const std::vector<std::string> lines = number_lines();
    std::string shown = NUMBER_CHARACTERS + "+";
    for (const std::string& text : statuses) shown += text;
    for (int points : every_size()) {
        FontPair fonts(font_bytes, page_font, points);
        const std::string label = std::to_string(points) + " pt";
        ASSERT_NE(fonts.real, nullptr) << fonts.real_error;
        ASSERT_NE(fonts.ours, nullptr) << fonts.our_error;
        EXPECT_EQ(metrics_difference(fonts, shown), "") << label;
        for (const std::string& text : statuses) compare(fonts, label, text, BLACK);
        for (const std::string& line : lines) compare(fonts, label, line, BLACK);
    }
    EXPECT_EQ(differing, 0) << examples;
}

// A file cut short, or no font at all, fails in both with the same message,
// or opens in both and then renders (or fails to render) alike: the browser
// gives the program's messages for a broken font.
TEST_F(TextLayer, BrokenFontFilesFailAsInSdlTtf) {
    std::vector<std::string> broken = {"", "not a font", tarno_test::file_text("tarno/tarno.wav")};
    for (size_t cut : {12, 200, 1000, 5000, 20000, 40000, 60000, 100000}) {
        if (cut < font_bytes.size()) broken.push_back(font_bytes.substr(0, cut));
    }
    for (const std::string& bytes : broken) {
        FontPair fonts(bytes, tarno::NUMBER_LINE_POINTS);
        if (fonts.real == nullptr || fonts.ours == nullptr) {
            EXPECT_EQ(fonts.real == nullptr, fonts.ours == nullptr) << bytes.size() << " bytes";
            EXPECT_EQ(fonts.real_error, fonts.our_error) << bytes.size() << " bytes";
            continue;
        }
        const std::string label = std::to_string(bytes.size()) + " bytes";
        for (const char* text : {"8", "-1.234568E-05", " nan"}) compare(fonts, label, text, BLACK);
    }
    EXPECT_EQ(differing, 0) << examples;
}

}  // namespace
