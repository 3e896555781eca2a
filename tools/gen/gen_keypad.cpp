// tarno-gen-keypad: draws the calculator's two keypad pictures,
// tarno/tarno.bmp (normal) and tarno/tarno9.bmp (shift on), from the
// hit-test itself, so that every key face lies exactly where a tap finds
// the key. Run from the repository root, after building the target:
//
//   cmake -S . -B build/obj && cmake --build build/obj --target tarno-gen-keypad && build/tarno-gen-keypad
//
// It reads tarno/arial.ttf and overwrites both pictures in tarno/.
//
// Sections: where the keys are; key faces; the display panel; main.
#include <cstdio>
#include <map>

#include "SDL.h"
#include "SDL_ttf.h"
#include "keypad_art.h"
#include "legend.h"
#include "picture.h"

namespace tarno_gen {
namespace {

// --- Where the keys are ---

struct Cell {
    int left = PORTRAIT_WIDTH, top = PORTRAIT_HEIGHT, right = -1, bottom = -1;  // inclusive
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// The bounding box of every key that the hit-test finds, by its code.
std::map<tarno::KeyCode, Cell> find_cells() {
    std::map<tarno::KeyCode, Cell> cells;
    for (int v = 0; v < PORTRAIT_HEIGHT; ++v) {
        for (int u = 0; u < PORTRAIT_WIDTH; ++u) {
            const tarno::KeyCode code = key_under(u, v);
            if (code == 0) continue;
            Cell& cell = cells[code];
            if (u < cell.left) cell.left = u;
            if (u > cell.right) cell.right = u;
            if (v < cell.top) cell.top = v;
            if (v > cell.bottom) cell.bottom = v;
        }
    }
    return cells;
}

bool same_key(tarno::KeyCode code, int u, int v) {
    return u >= 0 && v >= 0 && u < PORTRAIT_WIDTH && v < PORTRAIT_HEIGHT && key_under(u, v) == code;
}

// --- Key faces ---

// A face lit from the user's top left: a light edge above and to the left,
// a shadow below and to the right, the corners softened toward the body.
Rgb face_pixel(const FaceStyle& style, tarno::KeyCode code, int u, int v) {
    const bool top = !same_key(code, u, v - 1);
    const bool bottom = !same_key(code, u, v + 1);
    const bool left = !same_key(code, u - 1, v);
    const bool right = !same_key(code, u + 1, v);
    constexpr Rgb white{255, 255, 255};
    constexpr Rgb black{0, 0, 0};
    Rgb colour = style.face;
    if (left) colour = mix(style.face, white, 0.18);
    if (right) colour = mix(style.face, black, 0.18);
    if (top) colour = mix(style.face, white, 0.35);
    if (bottom) colour = mix(style.face, black, 0.38);
    if ((top || bottom) && (left || right)) colour = mix(colour, BODY, 0.5);
    return colour;
}

bool is_inner(tarno::KeyCode code, int u, int v) {
    return same_key(code, u, v - 1) && same_key(code, u, v + 1) && same_key(code, u - 1, v) &&
           same_key(code, u + 1, v);
}

// Centres the legend's ink across the key. Up and down it centres the band
// from a capital's height (or the ink's top, if higher) down to the baseline:
// legends of one size share a baseline whatever their letters, descenders
// hang below it and the operator signs sit at their usual height.
void lay_legend(Portrait& picture, tarno::KeyCode code, const Cell& cell, const SetLegend& legend, Rgb ink) {
    const int band_top = legend.cap_top < 0 ? legend.cap_top : 0;
    const int band_height = legend.baseline - band_top;
    const int left = cell.left + (cell.width() - legend.ink.width + 1) / 2;
    const int top = cell.top + (cell.height() - band_height + 1) / 2 - band_top;
    for (int y = 0; y < legend.ink.height; ++y) {
        for (int x = 0; x < legend.ink.width; ++x) {
            const std::uint8_t alpha = legend.ink.at(x, y);
            if (alpha != 0 && is_inner(code, left + x, top + y)) picture.blend(left + x, top + y, ink, alpha);
        }
    }
}

bool draw_key(Portrait& picture, LegendFonts& fonts, const KeyArt& art, const Cell& cell, bool shifted) {
    const bool lit = shifted && art.group == Group::Shift;
    FaceStyle style = face_style(art.group, lit);
    for (int v = cell.top; v <= cell.bottom; ++v)
        for (int u = cell.left; u <= cell.right; ++u)
            if (key_under(u, v) == art.code) picture.set(u, v, face_pixel(style, art.code, u, v));

    const bool second_meaning = shifted && art.shifted.size != 0;
    if (second_meaning) style.ink = SHIFT_GOLD;
    SetLegend legend;
    if (!set_legend(fonts, second_meaning ? art.shifted : art.normal, cell.width() - 4, cell.height() - 4, legend))
        return false;
    lay_legend(picture, art.code, cell, legend, style.ink);
    return true;
}

bool draw_keys(Portrait& picture, LegendFonts& fonts, bool shifted) {
    const std::map<tarno::KeyCode, Cell> cells = find_cells();
    if (cells.size() != keypad_art().size()) {
        std::fprintf(stderr, "tarno-gen-keypad: the hit-test finds %zu keys, the key art has %zu\n", cells.size(),
                     keypad_art().size());
        return false;
    }
    for (const KeyArt& art : keypad_art()) {
        const auto cell = cells.find(art.code);
        if (cell == cells.end()) {
            std::fprintf(stderr, "tarno-gen-keypad: the hit-test never finds key %d\n", art.code);
            return false;
        }
        if (!draw_key(picture, fonts, art, cell->second, shifted)) return false;
    }
    return true;
}

// --- The display panel ---

// The calculator prints its texts over rows 10 to about 60; the panel fills
// the whole display strip above the keys, its rim on the strip's last row,
// and the shift mark sits below the number line at the user's left, clear of
// every text.
constexpr int DISPLAY_BOTTOM = 85;
constexpr int MARK_TOP = 63;
constexpr int MARK_BOTTOM = 73;
constexpr int MARK_LEFT = 5;

void draw_display(Portrait& picture) {
    picture.fill_rows(0, DISPLAY_BOTTOM, DISPLAY);
    picture.fill_rows(DISPLAY_BOTTOM + 1, DISPLAY_BOTTOM + 1, DISPLAY_RIM);
}

bool draw_shift_mark(Portrait& picture, LegendFonts& fonts) {
    SetLegend word;
    if (!set_legend(fonts, Legend{9, {Piece{"SHIFT"}}}, 40, MARK_BOTTOM - MARK_TOP - 2, word)) return false;
    const int right = MARK_LEFT + word.ink.width + 5;
    for (int v = MARK_TOP; v <= MARK_BOTTOM; ++v) {
        for (int u = MARK_LEFT; u <= right; ++u) {
            const bool corner = (v == MARK_TOP || v == MARK_BOTTOM) && (u == MARK_LEFT || u == right);
            picture.set(u, v, corner ? mix(SHIFT_GOLD, DISPLAY, 0.6) : SHIFT_GOLD);
        }
    }
    const int left = MARK_LEFT + 3;
    const int top = MARK_TOP + (MARK_BOTTOM - MARK_TOP + 1 - word.ink.height + 1) / 2;
    for (int y = 0; y < word.ink.height; ++y)
        for (int x = 0; x < word.ink.width; ++x) picture.blend(left + x, top + y, {24, 24, 26}, word.ink.at(x, y));
    return true;
}

bool make_picture(LegendFonts& fonts, bool shifted, const char* path) {
    Portrait picture(BODY);
    draw_display(picture);
    if (shifted && !draw_shift_mark(picture, fonts)) return false;
    if (!draw_keys(picture, fonts, shifted)) return false;
    return picture.save_turned_bmp(path);
}

}  // namespace
}  // namespace tarno_gen

// --- main ---

int main() {
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "tarno-gen-keypad: TTF_Init failed: %s\n", TTF_GetError());
        return 1;
    }
    bool made;
    {
        tarno_gen::LegendFonts fonts("tarno/arial.ttf");
        made = tarno_gen::make_picture(fonts, false, "tarno/tarno.bmp") &&
               tarno_gen::make_picture(fonts, true, "tarno/tarno9.bmp");
    }
    TTF_Quit();
    return made ? 0 : 1;
}
