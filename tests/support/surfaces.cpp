#include "surfaces.h"

#include <algorithm>
#include <cstring>

namespace tarno_test {

Uint8* pixel_at(const SDL_Surface* surface, int x, int y) {
    return static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
}

Uint16 pixel16(const SDL_Surface* surface, int x, int y) {
    Uint16 value;
    std::memcpy(&value, pixel_at(surface, x, y), 2);
    return value;
}

std::uint32_t colour_at(const SDL_Surface* surface, int x, int y) {
    const int bytes = surface->format->BytesPerPixel;
    const Uint8* at = pixel_at(surface, x, y);
    Uint32 value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<Uint32>(at[i]) << (8 * i);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return (static_cast<std::uint32_t>(r) << 16) | (g << 8) | b;
}

void Box::add(int x, int y) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
}

Box Box::clipped(int w, int h) const {
    Box b = *this;
    b.left = std::max(b.left, 0);
    b.top = std::max(b.top, 0);
    b.right = std::min(b.right, w - 1);
    b.bottom = std::min(b.bottom, h - 1);
    return b.empty() ? Box{} : b;
}

bool Box::operator==(const Box& o) const {
    return (empty() && o.empty()) || (left == o.left && top == o.top && right == o.right && bottom == o.bottom);
}

std::ostream& operator<<(std::ostream& out, const Box& b) {
    if (b.empty()) return out << "(no ink)";
    return out << "columns " << b.left << ".." << b.right << ", rows " << b.top << ".." << b.bottom;
}

UprightText upright_text(TTF_Font* font, const char* text, const SDL_PixelFormat* screen_format) {
    UprightText out;
    Surface rendered(TTF_RenderText_Blended(font, text, SDL_Color{0, 0, 0, 0}));
    if (!rendered) return out;
    out.w = rendered->w;
    out.h = rendered->h;
    Surface canvas(SDL_CreateRGBSurface(SDL_SWSURFACE, out.w, out.h, 16, screen_format->Rmask,
                                        screen_format->Gmask, screen_format->Bmask, 0));
    const Uint32 white = SDL_MapRGB(canvas->format, 255, 255, 255);
    SDL_FillRect(canvas.get(), nullptr, white);
    SDL_BlitSurface(rendered.get(), nullptr, canvas.get(), nullptr);
    for (int v = 0; v < out.h; ++v)
        for (int u = 0; u < out.w; ++u)
            if (pixel16(canvas.get(), u, v) != white) out.ink.add(u, v);
    return out;
}

bool write_plain_picture(const char* path, Uint8 r, Uint8 g, Uint8 b) {
    Surface picture(SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 24, 0x0000ff, 0x00ff00, 0xff0000, 0));
    SDL_FillRect(picture.get(), nullptr, SDL_MapRGB(picture->format, r, g, b));
    return SDL_SaveBMP(picture.get(), path) == 0;
}

}  // namespace tarno_test
