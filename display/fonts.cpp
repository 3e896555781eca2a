// The calculator's font, opened once at start-up at every size the screen
// draws with. Each size reads the file through its own stream, opened only
// when it is a regular file (a FIFO in its place would stop start-up for
// good). Before any text is drawn with it, the font must have every
// character the screen shows, each one drawable within the text's picture,
// and draw ink: a calculator without digits is no calculator, and a glyph
// that SDL_ttf would write beyond the picture it renders into corrupts the
// heap.
#include <string>

#include "display.h"

namespace tarno {

namespace {

// The characters each size draws: the number line's digits, point, signs,
// exponent letter and the letters of "nan" and "inf"; the status texts'
// parenthesis and count, memory mark, format names and angle units.
constexpr const char* NUMBER_LINE_CHARACTERS = "0123456789.-+ Enaif";
constexpr const char* STATUS_CHARACTERS = "0123456789(M NormScifxDegRad";

// Opens path at points from a fresh stream; null, with SDL's error saying
// why, when the file or the size cannot be opened.
TTF_Font* open_size(const char* path, int points) {
    SDL_RWops* stream = open_data_file(path);
    if (stream == nullptr) return nullptr;
    return TTF_OpenFontRW(stream, 1, points);  // the font closes the stream
}

// Why font cannot draw character c at points, or empty when it can.
//
// SDL_ttf's blended renderer makes a text's picture as wide as its glyphs'
// boxes and advances reach and as high as the font's line or the lowest
// glyph, then writes each glyph's rows from row ascent - maxy down (skipping
// rows outside the picture) and each row from the glyph's pen position plus
// minx, checking only that it stays before the picture's end. The picture is
// widened by however far a glyph reaches left of the first pen position, so
// a row written too far left ends up in the row above: only on the
// picture's first row does it fall before the picture, into the heap. A
// glyph whose top lies below the ascent (maxy < ascent) never writes that
// row, whatever its pen position or the kerning before it: that rule keeps
// memory safe. A glyph that starts left of its pen position (minx < 0) would
// still be drawn partly onto the end of the row above, so it is refused too.
std::string glyph_fault(TTF_Font* font, int points, char c) {
    const std::string glyph = std::string("its '") + c + "'";
    const std::string size = " at " + std::to_string(points) + " points";
    const Uint16 code = static_cast<unsigned char>(c);
    if (TTF_GlyphIsProvided(font, code) == 0) return std::string("it has no '") + c + "'";
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics(font, code, &minx, &maxx, &miny, &maxy, &advance) != 0)
        return glyph + " cannot be loaded" + size + ": " + SDL_GetError();
    if (maxy >= TTF_FontAscent(font)) return glyph + " reaches above the font's ascent" + size;
    if (minx < 0) return glyph + " starts left of its pen position" + size;
    return "";
}

// Why font cannot draw every one of characters, or empty.
std::string characters_fault(TTF_Font* font, int points, const char* characters) {
    for (const char* c = characters; *c != '\0'; ++c) {
        std::string fault = glyph_fault(font, points, *c);
        if (!fault.empty()) return fault;
    }
    return "";
}

// Whether a digit rendered in font leaves any pixel that is not fully
// transparent.
bool renders_ink(TTF_Font* font) {
    SDL_Surface* digit = TTF_RenderText_Blended(font, "8", SDL_Color{0, 0, 0, 0});
    if (digit == nullptr) return false;
    bool ink = false;
    SDL_LockSurface(digit);
    for (int y = 0; y < digit->h && !ink; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(digit->pixels) + y * digit->pitch);
        for (int x = 0; x < digit->w && !ink; ++x) ink = (row[x] & digit->format->Amask) != 0;
    }
    SDL_UnlockSurface(digit);
    SDL_FreeSurface(digit);
    return ink;
}

// Every size of fonts, each with its point size and the characters it
// draws, for the loops that open, check and close them all.
struct Size {
    TTF_Font** font;
    int points;
    const char* characters;
};

template <typename F>
void for_each_size(Fonts& fonts, F&& action) {
    action(Size{&fonts.font_large, NUMBER_LINE_POINTS, NUMBER_LINE_CHARACTERS});
    action(Size{&fonts.font_small, STATUS_TEXT_POINTS, STATUS_CHARACTERS});
    for (int i = 0; i < NARROW_SIZE_COUNT; ++i)
        action(Size{&fonts.narrow[i], NARROW_NUMBER_LINE_POINTS[i], NUMBER_LINE_CHARACTERS});
}

// Why the opened sizes of fonts must not be used, or empty when they can:
// the first size lacking a character or holding one it cannot draw safely,
// else a font that renders no ink. The glyphs are checked first, before
// anything is rendered.
std::string fonts_fault(Fonts& fonts) {
    std::string fault;
    for_each_size(fonts, [&](Size size) {
        if (fault.empty() && *size.font != nullptr) fault = characters_fault(*size.font, size.points, size.characters);
    });
    if (!fault.empty()) return fault;
    bool ink = true;
    for_each_size(fonts, [&](Size size) { ink = ink && (*size.font == nullptr || renders_ink(*size.font)); });
    return ink ? "" : "it renders no ink";
}

}  // namespace

Fonts open_fonts(const char* path, std::FILE* report) {
    Fonts fonts{};
    std::string trouble;  // why the first size that failed did
    for_each_size(fonts, [&](Size size) {
        *size.font = open_size(path, size.points);
        if (*size.font == nullptr && trouble.empty()) trouble = SDL_GetError();
    });
    const std::string fault = fonts_fault(fonts);
    if (!fault.empty()) {
        close_fonts(fonts);
        trouble = fault;
    }
    if (trouble.empty()) return fonts;
    SDL_SetError("%s", trouble.c_str());
    if (report != nullptr) std::fprintf(report, "Couldn't open font %s: %s\n", path, trouble.c_str());
    return fonts;
}

void close_fonts(Fonts& fonts) {
    for_each_size(fonts, [](Size size) {
        if (*size.font != nullptr) TTF_CloseFont(*size.font);
        *size.font = nullptr;
    });
}

}  // namespace tarno
