// The calculator's font, opened once at start-up at every size the screen
// draws with. Each size reads the file through its own stream, opened only
// when it is a regular file (a FIFO in its place would stop start-up for
// good), and a font that opens but draws nothing, as a file cut off halfway
// does, counts as not opened: a calculator without digits is no calculator.
#include <string>

#include "display.h"

namespace tarno {

namespace {

// Opens path at points from a fresh stream; null, with SDL's error saying
// why, when the file or the size cannot be opened.
TTF_Font* open_size(const char* path, int points) {
    SDL_RWops* stream = open_data_file(path);
    if (stream == nullptr) return nullptr;
    return TTF_OpenFontRW(stream, 1, points);  // the font closes the stream
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

// Every size of fonts, each with its point size, for the loops that open,
// check and close them all.
struct Size {
    TTF_Font** font;
    int points;
};

template <typename F>
void for_each_size(Fonts& fonts, F&& action) {
    action(Size{&fonts.font_large, NUMBER_LINE_POINTS});
    action(Size{&fonts.font_small, STATUS_TEXT_POINTS});
    for (int i = 0; i < NARROW_SIZE_COUNT; ++i) action(Size{&fonts.narrow[i], NARROW_NUMBER_LINE_POINTS[i]});
}

}  // namespace

Fonts open_fonts(const char* path, std::FILE* report) {
    Fonts fonts{};
    std::string trouble;  // why the first size that failed did
    for_each_size(fonts, [&](Size size) {
        *size.font = open_size(path, size.points);
        if (*size.font == nullptr && trouble.empty()) trouble = SDL_GetError();
    });
    bool ink = true;
    for_each_size(fonts, [&](Size size) { ink = ink && (*size.font == nullptr || renders_ink(*size.font)); });
    if (!ink) {
        close_fonts(fonts);
        trouble = "it renders no ink";
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
