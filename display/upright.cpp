// The upright calculator: the landscape screen turned a quarter turn
// clockwise, the way the user holds the console, and scaled by whole pixels
// without smoothing, so that every calculator pixel stays a crisp square.
#include <cstring>

#include "display.h"

namespace tarno {

namespace {

// Each row of the upright picture is one screen column read from the bottom
// up; it is built once with every pixel repeated s times, then copied to the
// s target rows it fills.
template <typename Pixel>
void turn_rows(const SDL_Surface* screen, SDL_Surface* target, int scale) {
    const int row_pixels = screen->h * scale;
    auto* target_bytes = static_cast<Uint8*>(target->pixels);
    const auto* screen_bytes = static_cast<const Uint8*>(screen->pixels);
    for (int x = 0; x < screen->w; ++x) {
        auto* first = reinterpret_cast<Pixel*>(target_bytes + x * scale * target->pitch);
        Pixel* out = first;
        for (int y = screen->h - 1; y >= 0; --y) {
            const Pixel pixel = *reinterpret_cast<const Pixel*>(screen_bytes + y * screen->pitch + x * sizeof(Pixel));
            for (int i = 0; i < scale; ++i) *out++ = pixel;
        }
        for (int copy = 1; copy < scale; ++copy)
            std::memcpy(target_bytes + (x * scale + copy) * target->pitch, first, row_pixels * sizeof(Pixel));
    }
}

// Any other depth, a byte at a time.
void turn_rows_bytewise(const SDL_Surface* screen, SDL_Surface* target, int scale) {
    const int bytes = screen->format->BytesPerPixel;
    for (int x = 0; x < screen->w * scale; ++x) {
        Uint8* out = static_cast<Uint8*>(target->pixels) + x * target->pitch;
        for (int column = 0; column < screen->h * scale; ++column, out += bytes) {
            const int y = screen->h - 1 - column / scale;
            std::memcpy(out, static_cast<const Uint8*>(screen->pixels) + y * screen->pitch + (x / scale) * bytes, bytes);
        }
    }
}

}  // namespace

void turn_clockwise(SDL_Surface* screen, SDL_Surface* target, int scale) {
    if (screen == nullptr || target == nullptr || scale < 1) return;
    if (target->format->BytesPerPixel != screen->format->BytesPerPixel || target->w < screen->h * scale ||
        target->h < screen->w * scale)
        return;
    SDL_LockSurface(screen);
    SDL_LockSurface(target);
    switch (screen->format->BytesPerPixel) {
    case 2: turn_rows<Uint16>(screen, target, scale); break;
    case 4: turn_rows<Uint32>(screen, target, scale); break;
    default: turn_rows_bytewise(screen, target, scale); break;
    }
    SDL_UnlockSurface(target);
    SDL_UnlockSurface(screen);
}

}  // namespace tarno
