// The calculator's screen: the keypad picture, then the status texts and the
// number line, each rendered upright and turned a quarter turn for the
// console held on its side, then one flip. Nothing is kept between redraws.
#include <cstdio>

#include "calc.h"
#include "display.h"

namespace tarno {

namespace {

// Where the texts land, in screen coordinates: x is how far below the user's
// top edge a text's top lies, y how far from the user's right edge it ends.
constexpr int STATUS_TOP = 10;
constexpr int NUMBER_TOP = 25;
constexpr int PAREN_END = 10;
constexpr int MEMORY_END = 50;
constexpr int FORMAT_END = 80;
constexpr int ANGLE_END = 130;
constexpr int NUMBER_END = 10;

// The number line must end before the user's left edge: the turned text
// covers screen rows NUMBER_END up to NUMBER_END + width - 1, and the screen
// has SCREEN_HEIGHT of them.
constexpr int NUMBER_LINE_ROOM = SCREEN_HEIGHT - NUMBER_END;

constexpr int SMALL_FONT = 1;
constexpr int LARGE_FONT = 0;

}  // namespace

SDL_Surface* load_keypad_picture(const char* path) {
    // Only a regular file is opened (a FIFO would block the redraw for good),
    // and SDL's error is cleared first, so that a message names this failure.
    SDL_ClearError();
    SDL_Surface* picture = SDL_LoadBMP_RW(open_data_file(path), 1);
    if (picture == nullptr) return nullptr;
    // The picture is blitted whole at the screen's corner: any other size
    // would leave part of the screen as the last frame was, and a header
    // SDL takes at its word (a height of -2^31) gives a surface with an
    // empty pixel buffer that the blit reads far beyond.
    if (picture->w != SCREEN_WIDTH || picture->h != SCREEN_HEIGHT)
        SDL_SetError("%d x %d pixels, not %d x %d", picture->w, picture->h, SCREEN_WIDTH, SCREEN_HEIGHT);
    else if (picture->pixels == nullptr || picture->pitch < SCREEN_WIDTH * picture->format->BytesPerPixel)
        SDL_SetError("%d x %d pixels without their picture data", picture->w, picture->h);
    else
        return picture;
    SDL_FreeSurface(picture);
    return nullptr;
}

namespace {

// Loads a BMP file and blits it whole at the screen's top-left corner. A
// picture that cannot be read is reported and leaves the screen as it was.
void show_bitmap(const char* path, SDL_Surface* screen) {
    SDL_Surface* picture = load_keypad_picture(path);
    if (picture == nullptr) {
        std::fprintf(stderr, "Couldn't load %s: %s\n", path, SDL_GetError());
        return;
    }
    SDL_Palette* colours = picture->format->palette;
    if (colours != nullptr && screen->format->palette != nullptr)
        SDL_SetColors(screen, colours->colors, 0, colours->ncolors);
    SDL_Rect corner{0, 0, 0, 0};
    SDL_ClearError();
    if (SDL_UpperBlit(picture, nullptr, screen, &corner) < 0)
        std::fprintf(stderr, "BlitSurface error: %s\n", SDL_GetError());
    SDL_UpdateRect(screen, 0, 0, static_cast<Uint32>(picture->w), static_cast<Uint32>(picture->h));
    SDL_FreeSurface(picture);
}

// The keypad as the shift state has it: texts.keypad_picture names the
// shifted picture while shift is active.
void draw_keypad(SDL_Surface* screen, const ScreenTexts& texts) {
    show_bitmap(texts.keypad_picture, screen);
}

// Renders text upright in font, turns it a quarter turn and blends it over
// the screen with the turned image's top-left corner at (x, y).
void draw_turned_text(SDL_Surface* screen, TTF_Font* font, const char* text, int x, int y, SDL_Color colour) {
    SDL_Surface* rendered = TTF_RenderText_Blended(font, text, colour);
    SDL_Surface* turned = rotate_quarter_turn(rendered, 90.0, 1.0, 0);
    SDL_Rect place{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(turned, nullptr, screen, &place);  // a text that failed to render simply is not shown
    SDL_FreeSurface(turned);
    SDL_FreeSurface(rendered);
}

// Renders text upright in one of the two fonts, turns it a quarter turn and
// blends it over the screen with the turned image's top-left corner at (x, y).
// Only the low byte of each colour value counts.
void draw_text(SDL_Surface* screen, const Fonts& fonts, const char* text, int x, int y, int red, int green,
               int blue, int small_font) {
    TTF_Font* font = small_font != 0 ? fonts.font_small : fonts.font_large;
    // A font that could not be opened has nothing to render from: this text
    // is left out and the rest of the screen is still drawn.
    if (font == nullptr) return;
    const SDL_Color colour{static_cast<Uint8>(red), static_cast<Uint8>(green), static_cast<Uint8>(blue), 0};
    draw_turned_text(screen, font, text, x, y, colour);
}

bool fits_display(TTF_Font* font, const char* line) {
    int width = 0;
    return TTF_SizeText(font, line, &width, nullptr) == 0 && width <= NUMBER_LINE_ROOM;
}

// The narrow size a line too wide for the large font is drawn in: the
// largest open one at which it fits, else the smallest open one; null when
// no narrow size is open.
TTF_Font* narrow_font_for(const Fonts& fonts, const char* line) {
    TTF_Font* smallest = nullptr;
    for (TTF_Font* font : fonts.narrow) {
        if (font == nullptr) continue;
        if (fits_display(font, line)) return font;
        smallest = font;
    }
    return smallest;
}

// The number line in the large font when it fits the display, otherwise in
// the largest narrow size at which it does. A narrower size keeps the large
// font's baseline, its top lower by the difference of the ascents, and the
// line stays right-aligned where the large one ends.
void draw_number_line(SDL_Surface* screen, const Fonts& fonts, const char* line) {
    if (fonts.font_large == nullptr || fits_display(fonts.font_large, line)) {
        draw_text(screen, fonts, line, NUMBER_TOP, NUMBER_END, 0, 0, 0, LARGE_FONT);
        return;
    }
    TTF_Font* font = narrow_font_for(fonts, line);
    if (font == nullptr) font = fonts.font_large;
    const int top = NUMBER_TOP + TTF_FontAscent(fonts.font_large) - TTF_FontAscent(font);
    draw_turned_text(screen, font, line, top, NUMBER_END, SDL_Color{0, 0, 0, 0});
}

}  // namespace

void compose_screen(SDL_Surface* screen, const Fonts& fonts, const CalcState& state) {
    const ScreenTexts texts = screen_texts(state);
    draw_keypad(screen, texts);
    // Every text is black; each later one is drawn over the earlier ones.
    if (state.paren_depth != 0)
        draw_text(screen, fonts, texts.paren_mark, STATUS_TOP, PAREN_END, 0, 0, 0, SMALL_FONT);
    draw_text(screen, fonts, texts.angle_unit, STATUS_TOP, ANGLE_END, 0, 0, 0, SMALL_FONT);
    draw_text(screen, fonts, texts.format_name, STATUS_TOP, FORMAT_END, 0, 0, 0, SMALL_FONT);
    draw_text(screen, fonts, texts.memory_mark, STATUS_TOP, MEMORY_END, 0, 0, 0, SMALL_FONT);
    draw_number_line(screen, fonts, texts.number_line);
}

void flip_screen(SDL_Surface* screen) {
    if (SDL_Flip(screen) < 0) std::fputs("SDL_Flip failed", stderr);
}

void redraw_screen(SDL_Surface* screen, const Fonts& fonts, const CalcState& state) {
    compose_screen(screen, fonts, state);
    flip_screen(screen);
}

}  // namespace tarno
