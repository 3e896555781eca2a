// Key legends: short texts in the calculator's font, with superscripts and
// a root sign composed from smaller renderings, set as coverage masks that
// the keypad drawing lays over a key face in any colour.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "SDL_ttf.h"

namespace tarno_gen {

// Coverage of a rendered legend, 0 (none) to 255 (full ink), row by row.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;

    Mask() = default;
    Mask(int w, int h);
    std::uint8_t at(int x, int y) const { return alpha[y * width + x]; }
    // Lays other over this mask with its top-left corner at (left, top),
    // keeping the stronger coverage where the two meet; clipped at the edges.
    void stamp(const Mask& other, int left, int top);
};

// How a piece of a legend sits on the line.
enum class Role {
    Base,        // on the baseline, full size
    Superscript, // smaller and raised: the 2 of x squared, the y of x to the y
    Radical,     // the root sign: a bar runs from its top over the pieces after it
};

struct Piece {
    std::string text;  // UTF-8
    Role role = Role::Base;
    int kern = 0;      // pixels moved right (negative: left) from the previous piece
};

struct Legend {
    int size = 0;  // the full-size pieces' font size in pixels; 0: no legend of its own
    std::vector<Piece> pieces;
    bool symbol = false;  // a sign that is centred by its ink, not set on the baseline
};

// The font file opened at every size the legends ask for, kept until the end.
class LegendFonts {
public:
    explicit LegendFonts(std::string path) : path_(std::move(path)) {}
    ~LegendFonts();
    LegendFonts(const LegendFonts&) = delete;
    LegendFonts& operator=(const LegendFonts&) = delete;

    // The font at this size, or null (reported) when the file does not open.
    TTF_Font* at(int size);

private:
    std::string path_;
    std::map<int, TTF_Font*> fonts_;
};

// A legend set as tightly as its ink. Rows are counted within the mask:
// baseline is the row just below the full-size letters (descenders hang
// below it), cap_top the row at a capital's height above it (negative when
// the ink is lower). Keys line their legends up by these two rows.
struct SetLegend {
    Mask ink;
    int baseline = 0;
    int cap_top = 0;
};

// Sets legend at its size, or smaller until its ink fits max_width by
// max_height. False (reported) when a character is not in the font or the
// legend fits at no readable size.
bool set_legend(LegendFonts& fonts, const Legend& legend, int max_width, int max_height, SetLegend& out);

}  // namespace tarno_gen
