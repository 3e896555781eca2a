// SDL_ttf's calls for the browser build, each handed to the text layer.
#include "SDL_ttf.h"
#include "ttf_layer.h"

namespace {

using tarno::ttf_layer::Font;

Font* layer_font(TTF_Font* font) { return reinterpret_cast<Font*>(font); }
const Font* layer_font(const TTF_Font* font) { return reinterpret_cast<const Font*>(font); }

}  // namespace

extern "C" {

int TTF_Init(void) { return tarno::ttf_layer::init(); }

void TTF_Quit(void) { tarno::ttf_layer::quit(); }

TTF_Font* TTF_OpenFontRW(SDL_RWops* src, int freesrc, int ptsize) {
    return reinterpret_cast<TTF_Font*>(tarno::ttf_layer::open_font(src, freesrc, ptsize));
}

void TTF_CloseFont(TTF_Font* font) { tarno::ttf_layer::close_font(layer_font(font)); }

int TTF_FontHeight(const TTF_Font* font) { return tarno::ttf_layer::font_height(layer_font(font)); }

int TTF_FontAscent(const TTF_Font* font) { return tarno::ttf_layer::font_ascent(layer_font(font)); }

int TTF_FontDescent(const TTF_Font* font) { return tarno::ttf_layer::font_descent(layer_font(font)); }

int TTF_GlyphIsProvided(const TTF_Font* font, Uint16 ch) {
    return tarno::ttf_layer::glyph_is_provided(layer_font(font), ch);
}

int TTF_GlyphMetrics(TTF_Font* font, Uint16 ch, int* minx, int* maxx, int* miny, int* maxy, int* advance) {
    return tarno::ttf_layer::glyph_metrics(layer_font(font), ch, minx, maxx, miny, maxy, advance);
}

int TTF_SizeText(TTF_Font* font, const char* text, int* w, int* h) {
    return tarno::ttf_layer::size_text(layer_font(font), text, w, h);
}

SDL_Surface* TTF_RenderText_Blended(TTF_Font* font, const char* text, SDL_Color fg) {
    return tarno::ttf_layer::render_text_blended(layer_font(font), text, fg);
}

}  // extern "C"
