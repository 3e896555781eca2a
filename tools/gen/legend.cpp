// Sections: masks and their ink; rendering one piece; composing a legend
// along its baseline; fitting it into a key.
#include "legend.h"

#include <algorithm>
#include <cstdio>

namespace tarno_gen {

// --- Masks and their ink ---

Mask::Mask(int w, int h) : width(w), height(h), alpha(static_cast<std::size_t>(w) * h, 0) {}

void Mask::stamp(const Mask& other, int left, int top) {
    for (int y = 0; y < other.height; ++y) {
        for (int x = 0; x < other.width; ++x) {
            const int tx = left + x;
            const int ty = top + y;
            if (tx < 0 || ty < 0 || tx >= width || ty >= height) continue;
            std::uint8_t& cell = alpha[ty * width + tx];
            cell = std::max(cell, other.at(x, y));
        }
    }
}

namespace {

struct Box {
    int left, top, right, bottom;  // inclusive; left > right when there is no ink
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

Box ink_box(const Mask& mask) {
    Box box{mask.width, mask.height, -1, -1};
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (mask.at(x, y) == 0) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

Mask crop(const Mask& mask, const Box& box) {
    Mask out(box.width(), box.height());
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.alpha[y * out.width + x] = mask.at(box.left + x, box.top + y);
    return out;
}

// --- Rendering one piece ---

// The code points of a UTF-8 text; the legends use only the Basic
// Multilingual Plane, so sequences of up to three bytes are enough.
std::vector<Uint16> code_points(const std::string& text) {
    std::vector<Uint16> points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
        unsigned point = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
        for (int k = 1; k < length && i + k < text.size(); ++k)
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        points.push_back(static_cast<Uint16>(point));
        i += length;
    }
    return points;
}

bool font_has_all(TTF_Font* font, const std::string& text) {
    for (Uint16 point : code_points(text)) {
        if (!TTF_GlyphIsProvided(font, point)) {
            std::fprintf(stderr, "tarno-gen-keypad: the font has no glyph U+%04X (in \"%s\")\n", point, text.c_str());
            return false;
        }
    }
    return true;
}

Mask coverage_of(SDL_Surface* rendered) {
    Mask mask(rendered->w, rendered->h);
    SDL_LockSurface(rendered);
    for (int y = 0; y < rendered->h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(rendered->pixels) +
                                                         y * rendered->pitch);
        for (int x = 0; x < rendered->w; ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(row[x], rendered->format, &r, &g, &b, &a);
            mask.alpha[y * mask.width + x] = a;
        }
    }
    SDL_UnlockSurface(rendered);
    return mask;
}

bool render_piece(TTF_Font* font, const std::string& text, Mask& out) {
    if (!font_has_all(font, text)) return false;
    const SDL_Color white{255, 255, 255, 0};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), white);
    if (!rendered) {
        std::fprintf(stderr, "tarno-gen-keypad: cannot render \"%s\": %s\n", text.c_str(), TTF_GetError());
        return false;
    }
    out = coverage_of(rendered);
    SDL_FreeSurface(rendered);
    return true;
}

// --- Composing a legend along its baseline ---

// Superscripts at five eighths of the full size, their baseline raised by
// two fifths of it: they stay legible at the smallest legend sizes.
int superscript_size(int size) { return (size * 5 + 4) / 8; }
int superscript_raise(int size) { return size * 2 / 5; }

// The top row of a root sign's stroke at its right end, where the bar over
// the radicand starts, and the column right of which the bar runs.
struct BarStart {
    int column = -1;
    int row = -1;
};

BarStart bar_start_of(const Mask& sign, int left, int top) {
    // The rightmost column of solid ink: the faint anti-aliased edge right of
    // it would start the bar a pixel too far out.
    const Box box = ink_box(sign);
    BarStart start;
    for (int x = box.right; x >= box.left && start.column < 0; --x) {
        for (int y = box.top; y <= box.bottom; ++y) {
            if (sign.at(x, y) < 128) continue;
            start.column = left + x;
            start.row = top + y;
            break;
        }
    }
    return start;
}

int cap_height(TTF_Font* font) {
    int min_x, max_x, min_y, max_y, advance;
    if (TTF_GlyphMetrics(font, 'H', &min_x, &max_x, &min_y, &max_y, &advance) != 0) return TTF_FontAscent(font);
    return max_y;
}

bool compose(LegendFonts& fonts, const Legend& legend, int size, SetLegend& out) {
    Mask line(8 * size + 16, 3 * size);
    const int baseline = 2 * size;
    int cursor = size / 2;
    BarStart bar;
    int bar_end = -1;
    for (const Piece& piece : legend.pieces) {
        const bool raised = piece.role == Role::Superscript;
        TTF_Font* font = fonts.at(raised ? superscript_size(size) : size);
        Mask rendered;
        if (!font || !render_piece(font, piece.text, rendered)) return false;
        const int top = baseline - TTF_FontAscent(font) - (raised ? superscript_raise(size) : 0);
        const int left = cursor + piece.kern;
        line.stamp(rendered, left, top);
        cursor = left + rendered.width;
        if (piece.role == Role::Radical) bar = bar_start_of(rendered, left, top);
        else if (bar.column >= 0) bar_end = left + ink_box(rendered).right;
    }
    for (int x = bar.column + 1; bar.column >= 0 && x <= bar_end; ++x) line.alpha[bar.row * line.width + x] = 255;

    const Box box = ink_box(line);
    if (box.left > box.right) return false;
    out.ink = crop(line, box);
    out.baseline = baseline - box.top;
    out.cap_top = out.baseline - cap_height(fonts.at(size));
    if (legend.symbol) {
        out.cap_top = 0;
        out.baseline = out.ink.height;
    }
    return true;
}

}  // namespace

// --- Fitting it into a key ---

LegendFonts::~LegendFonts() {
    for (auto& entry : fonts_) TTF_CloseFont(entry.second);
}

TTF_Font* LegendFonts::at(int size) {
    auto found = fonts_.find(size);
    if (found != fonts_.end()) return found->second;
    TTF_Font* font = TTF_OpenFont(path_.c_str(), size);
    if (!font) {
        std::fprintf(stderr, "tarno-gen-keypad: cannot open %s at %d: %s\n", path_.c_str(), size, TTF_GetError());
        return nullptr;
    }
    fonts_[size] = font;
    return font;
}

bool set_legend(LegendFonts& fonts, const Legend& legend, int max_width, int max_height, SetLegend& out) {
    // Below 8 pixels the lower-case letters lose their shapes on this screen.
    for (int size = legend.size; size >= 8; --size) {
        if (!compose(fonts, legend, size, out)) return false;
        if (out.ink.width <= max_width && out.ink.height <= max_height) return true;
    }
    std::fprintf(stderr, "tarno-gen-keypad: a legend of size %d does not fit %d x %d\n", legend.size, max_width,
                 max_height);
    return false;
}

}  // namespace tarno_gen
