// The quarter turn that every text of the calculator takes before it is
// blitted (the console is held upright), and the plain scaling that the same
// routine does when it is asked for no turn.
//
// Sections:
//   Fixed point    16.16 source positions that wrap at 32 bits
//   Surfaces       creating destinations within SDL's limits, palettes
//   Turn passes    transform_rgba, transform_indexed, and the zoom-1 transpose
//   The routine    rotate_quarter_turn
#include "display.h"

#include <cstdint>
#include <cstring>

namespace tarno {
namespace {

constexpr double TURN_EPSILON = 0.001;
constexpr double CLAMPED_STEP_BASE = 65536000.0;  // 65536 / TURN_EPSILON

// --- Fixed point -----------------------------------------------------------

// A source position in signed 16.16 fixed point. Sums and products wrap at
// 32 bits, so the arithmetic is done unsigned (where wrapping is defined)
// and the value is read back as signed.
using Fixed = std::uint32_t;

Fixed to_fixed(int value) { return static_cast<Fixed>(value); }

// Arithmetic shift: -1 for every position from -65536 to -1.
int integer_part(Fixed position) { return static_cast<std::int32_t>(position) >> 16; }

int fraction(Fixed position) { return static_cast<int>(position & 0xffff); }

// --- Surfaces --------------------------------------------------------------

std::uint8_t* row_start(SDL_Surface* surface, int y) {
    return static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch;
}

const std::uint8_t* pixel_at(const SDL_Surface* surface, int x, int y, int bytes_per_pixel) {
    return static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch +
           x * bytes_per_pixel;
}

// SDL 1.2 keeps a surface's pitch in 16 bits and its buffer size in an int;
// a larger surface would get a truncated pitch and a buffer too small for its
// rows, so it is refused here instead.
bool fits_sdl_surface(double width, double height, int bytes_per_pixel) {
    const double pitch = width * bytes_per_pixel + 3;
    return pitch <= 65535.0 && pitch * height <= 2147483647.0;
}

// A new software surface (all bytes zero), or null when it cannot be made.
SDL_Surface* create_surface(int width, int height, int depth, const SDL_PixelFormat* masks) {
    if (!fits_sdl_surface(width, height, depth / 8)) return nullptr;
    if (masks == nullptr) return SDL_CreateRGBSurface(0, width, height, depth, 0, 0, 0, 0);
    return SDL_CreateRGBSurface(0, width, height, depth, masks->Rmask, masks->Gmask,
                                masks->Bmask, masks->Amask);
}

// --- Turn passes -----------------------------------------------------------

// The source position of destination pixel (0, y)'s row start and how it
// moves: along a row by (cos_step, sin_step), from row to row by
// (-sin_step, cos_step).
struct InverseMap {
    Fixed row_x;
    Fixed row_y;
    Fixed sin_step;
    Fixed cos_step;
};

InverseMap start_inverse_map(const SDL_Surface* source, const SDL_Surface* destination,
                             int centre_x, int centre_y, int sin_step, int cos_step) {
    const Fixed cx = to_fixed(centre_x), cy = to_fixed(centre_y);
    const Fixed s = to_fixed(sin_step), c = to_fixed(cos_step);
    // Half the size differences: keeps the picture centred on the destination.
    const Fixed x_offset = to_fixed(source->w - destination->w) * 32768u;
    const Fixed y_offset = to_fixed(source->h - destination->h) * 32768u;
    return InverseMap{cx * 65536u - c * cx + s * cy + x_offset,
                      cy * 65536u - s * cx - c * cy + y_offset, s, c};
}

bool inside(const SDL_Surface* surface, int x, int y) {
    return x >= 0 && y >= 0 && x < surface->w && y < surface->h;
}

// Copies, for every destination pixel whose position falls inside the
// source, the source pixel whole; the others keep their value.
template <typename Pixel>
void copy_mapped(const SDL_Surface* source, SDL_Surface* destination, InverseMap map) {
    for (int y = 0; y < destination->h; ++y) {
        std::uint8_t* out = row_start(destination, y);
        Fixed px = map.row_x, py = map.row_y;
        for (int x = 0; x < destination->w; ++x, out += sizeof(Pixel)) {
            const int ix = integer_part(px), iy = integer_part(py);
            if (inside(source, ix, iy))
                std::memcpy(out, pixel_at(source, ix, iy, sizeof(Pixel)), sizeof(Pixel));
            px += map.cos_step;
            py += map.sin_step;
        }
        map.row_x -= map.sin_step;
        map.row_y += map.cos_step;
    }
}

// One byte channel between two neighbours, weight 0..65535 towards the second.
int blend_channel(int first, int second, int weight) {
    return first + (((second - first) * weight) >> 16);
}

// Bilinear value of one destination pixel whose position lies in the source
// or in the ring one pixel wide beyond its left and top edges. Neighbours that
// fall outside the source take the destination pixel's current value.
void filter_pixel(const SDL_Surface* source, Fixed px, Fixed py, std::uint8_t* out) {
    const int ix = integer_part(px), iy = integer_part(py);
    const int last_x = source->w - 1, last_y = source->h - 1;
    std::uint8_t current[4];
    std::memcpy(current, out, 4);
    const std::uint8_t *c00 = current, *c01 = current, *c10 = current, *c11 = current;
    auto at = [source](int x, int y) { return pixel_at(source, x, y, 4); };
    if (ix >= 0 && iy >= 0 && ix < last_x && iy < last_y) {
        c00 = at(ix, iy);
        c01 = at(ix + 1, iy);
        c10 = at(ix, iy + 1);
        c11 = at(ix + 1, iy + 1);
    } else if (ix == last_x && iy == last_y) {
        c00 = at(ix, iy);
    } else if (ix == -1 && iy == -1) {
        c11 = at(0, 0);
    } else if (ix == -1 && iy == last_y) {
        c01 = at(0, iy);
    } else if (ix == last_x && iy == -1) {
        c10 = at(ix, 0);
    } else if (ix == -1) {
        c01 = at(0, iy);
        c11 = at(0, iy + 1);
    } else if (iy == -1) {
        c10 = at(ix, 0);
        c11 = at(ix + 1, 0);
    } else if (ix == last_x) {
        c00 = at(ix, iy);
        c10 = at(ix, iy + 1);
    } else {  // iy == last_y
        c00 = at(ix, iy);
        c01 = at(ix + 1, iy);
    }
    const int ex = fraction(px), ey = fraction(py);
    for (int i = 0; i < 4; ++i) {
        const int top = blend_channel(c00[i], c01[i], ex) & 0xff;
        const int bottom = blend_channel(c10[i], c11[i], ex) & 0xff;
        out[i] = static_cast<std::uint8_t>(blend_channel(top, bottom, ey));
    }
}

void filter_mapped(const SDL_Surface* source, SDL_Surface* destination, InverseMap map) {
    for (int y = 0; y < destination->h; ++y) {
        std::uint8_t* out = row_start(destination, y);
        Fixed px = map.row_x, py = map.row_y;
        for (int x = 0; x < destination->w; ++x, out += 4) {
            const int ix = integer_part(px), iy = integer_part(py);
            if (ix >= -1 && iy >= -1 && ix < source->w && iy < source->h)
                filter_pixel(source, px, py, out);
            px += map.cos_step;
            py += map.sin_step;
        }
        map.row_x -= map.sin_step;
        map.row_y += map.cos_step;
    }
}

void transform_rgba(SDL_Surface* source, SDL_Surface* destination, int centre_x, int centre_y,
                    int sin_step, int cos_step, int smooth) {
    const InverseMap map =
        start_inverse_map(source, destination, centre_x, centre_y, sin_step, cos_step);
    if (smooth)
        filter_mapped(source, destination, map);
    else
        copy_mapped<std::uint32_t>(source, destination, map);
}

void transform_indexed(SDL_Surface* source, SDL_Surface* destination, int centre_x,
                       int centre_y, int sin_step, int cos_step) {
    // Unmapped pixels take the colour key, which makes them transparent.
    std::memset(destination->pixels, static_cast<int>(source->format->colorkey & 0xff),
                static_cast<std::size_t>(destination->pitch) * destination->h);
    const InverseMap map =
        start_inverse_map(source, destination, centre_x, centre_y, sin_step, cos_step);
    copy_mapped<std::uint8_t>(source, destination, map);
}

// --- The routine -----------------------------------------------------------

// The work surface: the source itself at 32 or 8 bits, otherwise a 32-bit
// copy (null if it cannot be made) that the caller frees.
SDL_Surface* work_surface_for(SDL_Surface* source) {
    const int depth = source->format->BitsPerPixel;
    if (depth == 32 || depth == 8) return source;
    if (!fits_sdl_surface(source->w, source->h, 4)) return nullptr;
    SDL_Surface* copy = SDL_CreateRGBSurface(0, source->w, source->h, 32, 0x000000ff,
                                             0x0000ff00, 0x00ff0000, 0xff000000);
    if (copy != nullptr) SDL_UpperBlit(source, nullptr, copy, nullptr);
    return copy;
}

// Gives an 8-bit destination the work surface's colours, index for index.
void copy_palette(const SDL_Surface* work, SDL_Surface* destination) {
    const SDL_Palette* from = work->format->palette;
    SDL_Palette* to = destination->format->palette;
    if (from == nullptr || to == nullptr) return;
    const int count = from->ncolors < to->ncolors ? from->ncolors : to->ncolors;
    std::memcpy(to->colors, from->colors, sizeof(SDL_Color) * count);
    to->ncolors = count;
}

SDL_Surface* turn(SDL_Surface* work, int sin_step, int smooth) {
    const bool rgba = work->format->BitsPerPixel == 32;
    SDL_Surface* destination =
        create_surface(work->h, work->w, rgba ? 32 : 8, rgba ? work->format : nullptr);
    if (destination == nullptr) return nullptr;
    const int centre_x = destination->w / 2, centre_y = destination->h / 2;
    if (rgba) {
        transform_rgba(work, destination, centre_x, centre_y, sin_step, 0, smooth);
        SDL_SetAlpha(destination, SDL_SRCALPHA, 255);
    } else {
        copy_palette(work, destination);
        transform_indexed(work, destination, centre_x, centre_y, sin_step, 0);
        SDL_SetColorKey(destination, SDL_SRCCOLORKEY | SDL_RLEACCEL, work->format->colorkey);
    }
    return destination;
}

}  // namespace

SDL_Surface* rotate_quarter_turn(SDL_Surface* source, double angle, double zoom, int smooth) {
    if (source == nullptr) return nullptr;
    SDL_Surface* work = work_surface_for(source);
    if (work == nullptr) return nullptr;
    // A zoom that is not a number is clamped too.
    const bool clamped = !(zoom >= TURN_EPSILON);
    if (clamped) zoom = TURN_EPSILON;
    const double step_base = clamped ? CLAMPED_STEP_BASE : 65536.0 / zoom;
    const int sin_step = static_cast<int>(step_base);

    SDL_Surface* destination = nullptr;
    if (SDL_LockSurface(work) == 0) {
        destination = turn(work, sin_step, smooth);
        SDL_UnlockSurface(work);
    }
    (void)angle;
    if (work != source) SDL_FreeSurface(work);
    return destination;
}

}  // namespace tarno
