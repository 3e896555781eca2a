// The text layer of the calculator in a browser: the few SDL_ttf 2.0 calls
// the display makes, over FreeType, rendering exactly what Debian's SDL_ttf
// 2.0.11 renders (the same surfaces, pixels, metrics and error texts). Kept
// in a namespace of its own so that a native program can hold it beside the
// real SDL_ttf and compare the two; the browser reaches it through the
// TTF_ functions of sdl_ttf.cpp.
#pragma once

#include "SDL.h"

namespace tarno::ttf_layer {

struct Font;

// Starts FreeType, counting nested calls; 0, or -1 with SDL's error set.
int init();

// Undoes one init; the last one stops FreeType.
void quit();

// Opens the font that src holds from its current position at ptsize points
// (72 dpi); null with SDL's error set when it cannot. With freesrc != 0 the
// font closes src when it is closed, or at once when it cannot be opened.
Font* open_font(SDL_RWops* src, int freesrc, int ptsize);

// Closes font (null is allowed) and its stream if it owns it.
void close_font(Font* font);

// The font's ascent (above the baseline), descent (below it, negative) and
// height (ascent - descent + 1), in pixels.
int font_ascent(const Font* font);
int font_descent(const Font* font);
int font_height(const Font* font);

// The font's glyph index for the character ch, 0 when it has none.
int glyph_is_provided(const Font* font, Uint16 ch);

// The bounding box and advance of ch's glyph in pixels (any pointer may be
// null); 0, or -1 with SDL's error set.
int glyph_metrics(Font* font, Uint16 ch, int* minx, int* maxx, int* miny, int* maxy, int* advance);

// The size in pixels of the Latin-1 text rendered in font (either pointer
// may be null); 0, or -1 with SDL's error set.
int size_text(Font* font, const char* text, int* w, int* h);

// The Latin-1 text rendered anti-aliased in fg onto a new 32-bit ARGB
// surface whose pixels are fg with the glyphs' coverage as alpha; null with
// SDL's error set for an empty text or a glyph that cannot be rendered.
SDL_Surface* render_text_blended(Font* font, const char* text, SDL_Color fg);

}  // namespace tarno::ttf_layer
