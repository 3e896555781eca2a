// The display's boundary: composing the calculator's screen and the quarter
// turn that every text takes. The display reads the engine's state and never
// writes it.
#pragma once

#include <cstdio>

#include "SDL.h"
#include "SDL_ttf.h"

namespace tarno {

struct CalcState;

// The console's screen in its landscape position, as its SDL gives it: what
// the display composes for and the shell and the tools open.
constexpr int SCREEN_WIDTH = 320;
constexpr int SCREEN_HEIGHT = 240;
constexpr int SCREEN_BITS = 16;

// The calculator's one font file, below the working directory.
constexpr const char* FONT_FILE = "tarno/arial.ttf";

// The font's sizes, in points.
constexpr int NUMBER_LINE_POINTS = 30;  // the number line, whenever it fits the display
constexpr int STATUS_TEXT_POINTS = 15;  // the status texts
// The smaller sizes a number line too wide for the display steps down
// through, largest first: every one, so that a line gets the largest size at
// which it fits at all; at 20 points even the widest line fits.
constexpr int NARROW_NUMBER_LINE_POINTS[] = {29, 28, 27, 26, 25, 24, 23, 22, 21, 20};
constexpr int NARROW_SIZE_COUNT = sizeof NARROW_NUMBER_LINE_POINTS / sizeof NARROW_NUMBER_LINE_POINTS[0];

// The calculator's font at each of its sizes, owned by the shell; any may be
// null (a size that could not be opened). Without font_large there is no
// number line, without font_small no status texts; a narrow size that is
// missing is stood in for by the nearest one that is open.
struct Fonts {
    TTF_Font* font_large = nullptr;            // NUMBER_LINE_POINTS: the number line
    TTF_Font* font_small = nullptr;            // STATUS_TEXT_POINTS: the status texts
    TTF_Font* narrow[NARROW_SIZE_COUNT] = {};  // NARROW_NUMBER_LINE_POINTS, in that order
};

// Opens the font file at path at every size, each from its own stream, and
// checks, before drawing anything with it, that every size has each
// character it draws, with a glyph SDL_ttf draws within the text's picture,
// and that it draws ink. When a size fails, or the font fails a check (a
// file cut short, a character missing, a glyph above the ascent or left of
// its pen position), writes the one line "Couldn't open font <path>: <why>"
// to report (unless it is null) and leaves SDL's error at <why>; a font
// that fails a check is closed, so all its sizes are null.
Fonts open_fonts(const char* path, std::FILE* report);

// Closes every open size of fonts and sets it to null.
void close_fonts(Fonts& fonts);

// Called by the shell after start-up and after every key: paints the keypad
// picture and every text for this state onto screen, then flips it.
void redraw_screen(SDL_Surface* screen, const Fonts& fonts, const CalcState& state);

// redraw_screen's two steps, for a shell that draws over the composed
// screen before it is shown: the painting, without the flip ...
void compose_screen(SDL_Surface* screen, const Fonts& fonts, const CalcState& state);
// ... and the flip, with "SDL_Flip failed" on standard error when it fails.
void flip_screen(SDL_Surface* screen);

// Loads the keypad picture from the BMP file at path, as every redraw
// does; a new SCREEN_WIDTH x SCREEN_HEIGHT surface the caller frees, or null
// with SDL's error saying why (a picture of any other size is refused).
SDL_Surface* load_keypad_picture(const char* path);

// Opens the data file at path for reading as an SDL stream (the caller or the
// loader it is handed to closes it); null, with SDL's error "Couldn't open
// <path>", when it is missing or is not a regular file.
SDL_RWops* open_data_file(const char* path);

// Draws screen as the user holding the console sees it: turned a quarter
// turn clockwise, every pixel an s x s block, so that screen (x, y) fills
// the block whose top-left corner is ((H - 1 - y) * s, x * s). target must
// have screen's bytes per pixel and room for H * s columns and W * s rows;
// what lies beyond them is left alone. Used wherever the upright calculator
// is shown: a desktop window, a browser's canvas, tarno-shot --upright.
void turn_clockwise(SDL_Surface* screen, SDL_Surface* target, int scale);

// Returns a new surface (the caller frees it) holding source turned a quarter
// turn counter-clockwise when |angle| > 0.001, else scaled by zoom;
// smooth != 0 filters bilinearly (32-bit only). Null source gives null.
SDL_Surface* rotate_quarter_turn(SDL_Surface* source, double angle, double zoom, int smooth);

}  // namespace tarno
