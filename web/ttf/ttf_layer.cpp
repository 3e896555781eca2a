// The text layer over FreeType, doing what Debian's SDL_ttf 2.0.11 does for
// the calls the display makes, step for step where it shows in the result:
// the same FreeType calls (72 dpi, FT_LOAD_DEFAULT, normal hinting, kerning
// from the font's kern table), the same roundings of FreeType's 26.6 values
// to pixels and the same way of laying glyphs into one surface. Where SDL_ttf
// would read or write outside its buffers for a hostile font, this layer
// clips or refuses instead, and says so where it does.
//
// Sections: FreeType and the glyphs (glyph cache, metrics, coverage);
// opening and closing; measuring; rendering; the calls.
#include "ttf_layer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

namespace tarno::ttf_layer {

namespace {

// ---- FreeType and the glyphs -------------------------------------------

FT_Library library = nullptr;
int init_count = 0;  // nested init calls still open

// FreeType's 26.6 values in whole pixels, rounded down and up.
int pixels_floor(FT_Pos value) { return static_cast<int>(value >> 6); }
int pixels_ceil(FT_Pos value) { return static_cast<int>((value + 63) >> 6); }

// A character's glyph as SDL_ttf keeps it: its box, advance and place below
// the text's top in whole pixels, and once rendered its coverage, one byte
// per pixel from 0 (none) to 255 (full).
struct Glyph {
    Uint16 ch = 0;       // the character held
    FT_UInt index = 0;   // its glyph in the face, 0 until looked up
    bool has_metrics = false;
    int minx = 0, maxx = 0, miny = 0, maxy = 0, yoffset = 0, advance = 0;
    std::unique_ptr<Uint8[]> pixmap;  // null until rendered (or without rows)
    bool has_pixmap = false;
    unsigned pixmap_width = 0, pixmap_rows = 0;
    int pixmap_pitch = 0;
};

// Glyphs are kept in slots by their character, as SDL_ttf keeps them.
constexpr int GLYPH_SLOTS = 257;

}  // namespace

struct Font {
    FT_Face face = nullptr;
    FT_StreamRec stream{};  // FreeType's reads from src
    SDL_RWops* src = nullptr;
    bool owns_src = false;
    int ascent = 0, descent = 0, height = 0;
    int strike = 0;  // a bitmap font's size in use
    Glyph glyphs[GLYPH_SLOTS];
};

namespace {

void take_metrics(const Font& font, Glyph& glyph) {
    const FT_Glyph_Metrics& metrics = font.face->glyph->metrics;
    glyph.minx = pixels_floor(metrics.horiBearingX);
    glyph.maxy = pixels_floor(metrics.horiBearingY);
    glyph.advance = pixels_ceil(metrics.horiAdvance);
    if (FT_IS_SCALABLE(font.face)) {
        glyph.maxx = glyph.minx + pixels_ceil(metrics.width);
        glyph.miny = glyph.maxy - pixels_ceil(metrics.height);
        glyph.yoffset = font.ascent - glyph.maxy;
    } else {
        // A bitmap font's glyph spans its advance and the strike's height,
        // and SDL_ttf sets it at the text's top.
        glyph.maxx = glyph.minx + glyph.advance;
        glyph.miny = glyph.maxy - pixels_ceil(font.face->available_sizes[font.strike].height);
        glyph.yoffset = 0;
    }
    glyph.has_metrics = true;
}

// How many coverage bytes one byte of a FreeType bitmap row becomes.
int spread_of(unsigned char pixel_mode) {
    switch (pixel_mode) {
    case FT_PIXEL_MODE_MONO: return 8;
    case FT_PIXEL_MODE_GRAY2: return 4;
    case FT_PIXEL_MODE_GRAY4: return 2;
    default: return 1;
    }
}

// SDL_ttf's coverage of a pixel of level in a bitmap of bits per pixel: a
// set 1-bit pixel is 255; of a 2-bit pixel SDL_ttf's mask 0xA0 sees only the
// high bit, which gives 169; a 4-bit level v is 256 v / 15 - 1.
Uint8 shade(unsigned level, int bits) {
    if (level == 0) return 0;
    if (bits == 1) return 255;
    if (bits == 2) return (level & 2) != 0 ? 169 : 0;
    return static_cast<Uint8>(level * 256 / 15 - 1);
}

// One row of a FreeType bitmap as coverage bytes. Bytes of 8-bit grey (or
// any other mode) are taken as they stand, the whole pitch, as SDL_ttf does.
void spread_row(const FT_Bitmap& bitmap, const Uint8* in, Uint8* out) {
    const int spread = spread_of(bitmap.pixel_mode);
    if (spread == 1) {
        std::memcpy(out, in, static_cast<size_t>(bitmap.pitch));
        return;
    }
    const int bits = 8 / spread;
    for (unsigned x = 0; x < bitmap.width; x += spread) {
        unsigned c = *in++;
        for (int k = 0; k < spread; ++k, c <<= bits) *out++ = shade((c & 0xFF) >> (8 - bits), bits);
    }
}

// Renders the glyph loaded in slot and keeps its coverage; false when
// FreeType cannot render it, or gives rows running backwards, which SDL_ttf
// would copy with a negative length.
bool take_pixmap(Glyph& glyph, FT_GlyphSlot slot) {
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pitch < 0) return false;
    glyph.pixmap_width = bitmap.width;
    glyph.pixmap_rows = bitmap.rows;
    glyph.pixmap_pitch = bitmap.pitch * spread_of(bitmap.pixel_mode);
    const size_t size = static_cast<size_t>(glyph.pixmap_pitch) * bitmap.rows;
    if (size != 0) {
        glyph.pixmap.reset(new (std::nothrow) Uint8[size]());
        if (glyph.pixmap == nullptr) return false;
    }
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        spread_row(bitmap, bitmap.buffer + static_cast<size_t>(bitmap.pitch) * row,
                   glyph.pixmap.get() + static_cast<size_t>(glyph.pixmap_pitch) * row);
    }
    glyph.has_pixmap = true;
    return true;
}

bool load_glyph(Font& font, Glyph& glyph, Uint16 ch, bool want_pixmap) {
    if (glyph.index == 0) glyph.index = FT_Get_Char_Index(font.face, ch);
    if (FT_Load_Glyph(font.face, glyph.index, FT_LOAD_DEFAULT) != 0) return false;
    if (!glyph.has_metrics) take_metrics(font, glyph);
    return !want_pixmap || glyph.has_pixmap || take_pixmap(glyph, font.face->glyph);
}

// The glyph of ch with its metrics, and its coverage when want_pixmap,
// loaded on first use; null, with SDL's error set, when FreeType fails.
const Glyph* find_glyph(Font& font, Uint16 ch, bool want_pixmap) {
    Glyph& glyph = font.glyphs[ch % GLYPH_SLOTS];
    if (glyph.ch != ch) glyph = Glyph{};
    if (glyph.has_metrics && (glyph.has_pixmap || !want_pixmap)) return &glyph;
    if (!load_glyph(font, glyph, ch, want_pixmap)) {
        SDL_SetError("Couldn't find glyph");
        return nullptr;
    }
    glyph.ch = ch;
    return &glyph;
}

// The kerning between two glyphs in whole pixels (FreeType rounds it to the
// grid); none beside a missing glyph.
int kerning_between(const Font& font, FT_UInt left, FT_UInt right) {
    if (left == 0 || right == 0) return 0;
    FT_Vector delta;
    FT_Get_Kerning(font.face, left, right, FT_KERNING_DEFAULT, &delta);
    return static_cast<int>(delta.x >> 6);
}

// ---- Opening and closing -----------------------------------------------

// FreeType's reads: a seek to offset, then count bytes (none: a seek only).
unsigned long read_stream(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
    SDL_RWops* src = static_cast<SDL_RWops*>(stream->descriptor.pointer);
    SDL_RWseek(src, static_cast<int>(offset), RW_SEEK_SET);
    if (count == 0) return 0;
    const int read = SDL_RWread(src, buffer, 1, static_cast<int>(count));
    // SDL_ttf hands a failed read (-1) on as more bytes than were asked
    // for, and FreeType would go on with whatever the buffer held.
    return read < 0 ? 0 : static_cast<unsigned long>(read);
}

// The font's stream: from src's position to its end.
void attach_stream(Font& font, int position) {
    font.stream.read = read_stream;
    font.stream.descriptor.pointer = font.src;
    font.stream.pos = static_cast<unsigned long>(position);
    SDL_RWseek(font.src, 0, RW_SEEK_END);
    font.stream.size = static_cast<unsigned long>(SDL_RWtell(font.src) - position);
    SDL_RWseek(font.src, position, RW_SEEK_SET);
}

// The first of the face's Unicode (or Windows symbol) character maps, as
// SDL_ttf picks it; FreeType's own choice stays when there is none.
void choose_charmap(FT_Face face) {
    for (int i = 0; i < face->num_charmaps; ++i) {
        const FT_CharMap map = face->charmaps[i];
        if ((map->platform_id == 3 && (map->encoding_id == 1 || map->encoding_id == 0)) ||
            (map->platform_id == 2 && map->encoding_id == 1) || map->platform_id == 0) {
            FT_Set_Charmap(face, map);
            return;
        }
    }
}

bool set_size(Font& font, int ptsize) {
    const FT_Face face = font.face;
    if (FT_IS_SCALABLE(face)) {
        if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(ptsize) * 64, 0, 0) != 0) return false;
        const FT_Fixed scale = face->size->metrics.y_scale;
        font.ascent = pixels_ceil(FT_MulFix(face->ascender, scale));
        font.descent = pixels_ceil(FT_MulFix(face->descender, scale));
        font.height = font.ascent - font.descent + 1;
        return true;
    }
    // A bitmap font: the point size picks one of its strikes, the last for
    // a size past them. SDL_ttf would read before the list of strikes for a
    // font without any, or a negative size; those are refused.
    if (face->num_fixed_sizes <= 0 || ptsize < 0) return false;
    font.strike = std::min(ptsize, face->num_fixed_sizes - 1);
    const FT_Bitmap_Size& strike = face->available_sizes[font.strike];
    FT_Set_Pixel_Sizes(face, strike.height, strike.width);  // in this order, as SDL_ttf passes them
    font.ascent = strike.height;
    font.descent = 0;
    font.height = strike.height;
    return true;
}

// An open that fails before the font exists. SDL_ttf leaves src open here,
// lost to a caller who handed it over; it is closed, as asked.
Font* refuse(SDL_RWops* src, int freesrc, const char* why) {
    SDL_SetError("%s", why);
    if (freesrc != 0) SDL_RWclose(src);
    return nullptr;
}

Font* fail(Font* font, const char* why) {
    SDL_SetError("%s", why);
    close_font(font);
    return nullptr;
}

// ---- Measuring -----------------------------------------------------------

// The size of the Latin-1 text as SDL_ttf measures it: from the leftmost
// ink to the furthest reach of pen or ink, kerned, and as high as the font
// or, when a glyph reaches below the font's descent, down to that glyph.
bool measure(Font& font, const char* text, int& width, int& height) {
    if (init_count == 0) {
        SDL_SetError("Library not initialized");
        return false;
    }
    const bool kerning = FT_HAS_KERNING(font.face);
    int x = 0, minx = 0, maxx = 0, miny = 0;
    FT_UInt previous = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const Glyph* glyph = find_glyph(font, static_cast<unsigned char>(*c), false);
        if (glyph == nullptr) return false;
        if (kerning) x += kerning_between(font, previous, glyph->index);
        minx = std::min(minx, x + glyph->minx);
        maxx = std::max(maxx, x + std::max(glyph->advance, glyph->maxx));
        x += glyph->advance;
        miny = std::min(miny, glyph->miny);
        previous = glyph->index;
    }
    width = maxx - minx;
    height = std::max(font.ascent - miny, font.height);
    return true;
}

// ---- Rendering -------------------------------------------------------------

// ORs glyph's coverage into surface as alpha over colour, its pen at
// xstart, as SDL_ttf does: the pixmap clamped to the glyph's box, rows
// outside the surface skipped, each row running on through memory (a row
// too long for the surface goes on at the start of the next one) and
// nothing written past the surface's last pixel. SDL_ttf would also write
// before its first pixel, for a glyph after the first that reaches left of
// the surface on the surface's top row; those pixels are clipped.
void blend_glyph(SDL_Surface* surface, const Glyph& glyph, int xstart, Uint32 colour) {
    Uint32* const pixels = static_cast<Uint32*>(surface->pixels);
    const long long end = static_cast<long long>(surface->pitch / 4) * surface->h;
    const int width = std::min(static_cast<int>(glyph.pixmap_width), glyph.maxx - glyph.minx);
    for (unsigned row = 0; row < glyph.pixmap_rows; ++row) {
        const int y = static_cast<int>(row) + glyph.yoffset;
        if (y < 0 || y >= surface->h) continue;
        const long long start = static_cast<long long>(surface->pitch * y / 4) + glyph.minx + xstart;
        const Uint8* coverage = glyph.pixmap.get() + static_cast<size_t>(glyph.pixmap_pitch) * row;
        for (int x = 0; x < width && start + x < end; ++x) {
            if (start + x >= 0) pixels[start + x] |= colour | static_cast<Uint32>(coverage[x]) << 24;
        }
    }
}

}  // namespace

namespace {

#ifdef __EMSCRIPTEN__
// In the browser, FreeType with only what the calculator's font needs, a
// hinted TrueType font drawn smooth: its driver, the SFNT tables and the
// smooth renderer. FreeType's default set (every font format, the
// autohinter, gzip) would be most of what the page downloads.
extern "C" const FT_Module_Class tt_driver_class;
extern "C" const FT_Module_Class sfnt_module_class;
extern "C" const FT_Module_Class ft_smooth_renderer_class;

// The library's memory: the C library's, as FreeType's own default.
void* allocate(FT_Memory, long size) { return std::malloc(static_cast<std::size_t>(size)); }
void release(FT_Memory, void* block) { std::free(block); }
void* reallocate(FT_Memory, long, long size, void* block) { return std::realloc(block, static_cast<std::size_t>(size)); }
FT_MemoryRec_ memory{nullptr, allocate, release, reallocate};

FT_Error open_library(FT_Library* opened) {
    FT_Error error = FT_New_Library(&memory, opened);
    for (const FT_Module_Class* module : {&sfnt_module_class, &tt_driver_class, &ft_smooth_renderer_class})
        if (error == 0) error = FT_Add_Module(*opened, module);
    if (error != 0 && *opened != nullptr) FT_Done_Library(*opened);
    return error;
}

void close_library(FT_Library opened) { FT_Done_Library(opened); }
#else
FT_Error open_library(FT_Library* opened) { return FT_Init_FreeType(opened); }
void close_library(FT_Library opened) { FT_Done_FreeType(opened); }
#endif

}  // namespace

// ---- The calls ---------------------------------------------------------------

int init() {
    if (init_count == 0 && open_library(&library) != 0) {
        SDL_SetError("Couldn't init FreeType engine");
        return -1;
    }
    ++init_count;
    return 0;
}

void quit() {
    if (init_count > 0 && --init_count == 0) close_library(library);
}

Font* open_font(SDL_RWops* src, int freesrc, int ptsize) {
    if (init_count == 0) return refuse(src, freesrc, "Library not initialized");
    if (src == nullptr) return refuse(src, 0, "Passed a NULL font source");
    const int position = SDL_RWtell(src);
    if (position < 0) return refuse(src, freesrc, "Can't seek in stream");
    Font* font = new (std::nothrow) Font;
    if (font == nullptr) return refuse(src, freesrc, "Out of memory");
    font->src = src;
    font->owns_src = freesrc != 0;
    attach_stream(*font, position);
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = &font->stream;
    FT_Face face = nullptr;
    if (FT_Open_Face(library, &args, 0, &face) != 0) return fail(font, "Couldn't load font file");
    font->face = face;
    choose_charmap(font->face);
    if (!set_size(*font, ptsize)) return fail(font, "Couldn't set font size");
    return font;
}

void close_font(Font* font) {
    if (font == nullptr) return;
    if (font->face != nullptr) FT_Done_Face(font->face);
    if (font->owns_src) SDL_RWclose(font->src);
    delete font;
}

int font_ascent(const Font* font) { return font->ascent; }
int font_descent(const Font* font) { return font->descent; }
int font_height(const Font* font) { return font->height; }

int glyph_is_provided(const Font* font, Uint16 ch) { return static_cast<int>(FT_Get_Char_Index(font->face, ch)); }

int glyph_metrics(Font* font, Uint16 ch, int* minx, int* maxx, int* miny, int* maxy, int* advance) {
    const Glyph* glyph = find_glyph(*font, ch, false);
    if (glyph == nullptr) return -1;
    if (minx != nullptr) *minx = glyph->minx;
    if (maxx != nullptr) *maxx = glyph->maxx;
    if (miny != nullptr) *miny = glyph->miny;
    if (maxy != nullptr) *maxy = glyph->maxy;
    if (advance != nullptr) *advance = glyph->advance;
    return 0;
}

int size_text(Font* font, const char* text, int* w, int* h) {
    int width = 0, height = 0;
    if (!measure(*font, text, width, height)) return -1;
    if (w != nullptr) *w = width;
    if (h != nullptr) *h = height;
    return 0;
}

SDL_Surface* render_text_blended(Font* font, const char* text, SDL_Color fg) {
    int width = 0, height = 0;
    if (!measure(*font, text, width, height) || width == 0) {
        SDL_SetError("Text has zero width");
        return nullptr;
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    if (surface == nullptr) return nullptr;
    const Uint32 colour = static_cast<Uint32>(fg.r) << 16 | static_cast<Uint32>(fg.g) << 8 | fg.b;
    SDL_FillRect(surface, nullptr, colour);  // the colour everywhere, at alpha 0
    const bool kerning = FT_HAS_KERNING(font->face);
    int xstart = 0;
    FT_UInt previous = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const Glyph* glyph = find_glyph(*font, static_cast<unsigned char>(*c), true);
        if (glyph == nullptr) {
            SDL_FreeSurface(surface);
            return nullptr;
        }
        if (kerning) xstart += kerning_between(*font, previous, glyph->index);
        // Ink of the first glyph left of its pen moves the whole text right.
        if (c == text && glyph->minx < 0) xstart -= glyph->minx;
        blend_glyph(surface, *glyph, xstart, colour);
        xstart += glyph->advance;
        previous = glyph->index;
    }
    return surface;
}

}  // namespace tarno::ttf_layer
