// The display's boundary: composing the calculator's screen and the quarter
// turn that every text takes. The display reads the engine's state and never
// writes it.
#pragma once

#include "SDL.h"
#include "SDL_ttf.h"

namespace tarno {

struct CalcState;

// The two sizes of the calculator's font, owned by the shell; either may be
// null (a font that could not be opened), and its texts are then not drawn.
struct Fonts {
    TTF_Font* font_large;  // 30 points: the number line
    TTF_Font* font_small;  // 15 points: the status texts
};

// Called by the shell after start-up and after every key: paints the keypad
// picture and every text for this state onto screen, then flips it.
void redraw_screen(SDL_Surface* screen, const Fonts& fonts, const CalcState& state);

// Opens the data file at path for reading as an SDL stream (the caller or the
// loader it is handed to closes it); null, with SDL's error "Couldn't open
// <path>", when it is missing or is not a regular file.
SDL_RWops* open_data_file(const char* path);

// Returns a new surface (the caller frees it) holding source turned a quarter
// turn counter-clockwise when |angle| > 0.001, else scaled by zoom;
// smooth != 0 filters bilinearly (32-bit only). Null source gives null.
SDL_Surface* rotate_quarter_turn(SDL_Surface* source, double angle, double zoom, int smooth);

}  // namespace tarno
