// The quarter turn that every text of the calculator takes before it is
// blitted (the console is held upright), and the plain scaling that the same
// routine does when it is asked for no turn.
//
// Sections:
//   Fixed point    16.16 source positions that wrap at 32 bits
//   Surfaces       pixel addresses, masks, creating surfaces
//   Turn passes    transform_rgba, transform_indexed, and the zoom-1 transpose
//                  (column by column, or in 4 x 4 blocks with SSE2)
//   Scale passes   scale_rgba, scale_indexed
//   The routine    rotate_quarter_turn
#include "display.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tarno {
namespace {

constexpr double TURN_EPSILON = 0.001;
constexpr double CLAMPED_STEP_BASE = 65536000.0;  // 65536 / TURN_EPSILON

// --- Fixed point ---

// A source position in signed 16.16 fixed point. Sums and products wrap at
// 32 bits, so the arithmetic is done unsigned (where wrapping is defined)
// and the value is read back as signed.
using Fixed = std::uint32_t;

constexpr int FRACTION_BITS = 16;
constexpr int FIXED_ONE = 1 << FRACTION_BITS;  // 1.0: one whole pixel
constexpr int FRACTION_MASK = FIXED_ONE - 1;

Fixed to_fixed(int value) { return static_cast<Fixed>(value); }

// Arithmetic shift: -1 for every position from -65536 to -1.
int integer_part(Fixed position) { return static_cast<std::int32_t>(position) >> FRACTION_BITS; }

int fraction(Fixed position) { return static_cast<int>(position & FRACTION_MASK); }

// --- Surfaces ---

std::uint8_t* row_start(SDL_Surface* surface, int y) {
    return static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch;
}

const std::uint8_t* pixel_at(const SDL_Surface* surface, int x, int y, int bytes_per_pixel) {
    return static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch +
           x * bytes_per_pixel;
}

// Four colour masks of a 32-bit surface (all zero for 8 bits).
struct Masks {
    Uint32 red, green, blue, alpha;
};

constexpr Masks CONVERTED_MASKS{0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000};
constexpr Masks NO_MASKS{0, 0, 0, 0};

Masks masks_of(const SDL_PixelFormat* format) {
    return Masks{format->Rmask, format->Gmask, format->Bmask, format->Amask};
}

// A new software surface (all bytes zero), or null when SDL cannot make it
// (it refuses widths from 16384 and heights from 65536).
SDL_Surface* create_surface(int width, int height, int depth, Masks masks) {
    return SDL_CreateRGBSurface(0, width, height, depth, masks.red, masks.green, masks.blue,
                                masks.alpha);
}

// --- Turn passes ---

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
    const Fixed x_offset = to_fixed(source->w - destination->w) * to_fixed(FIXED_ONE / 2);
    const Fixed y_offset = to_fixed(source->h - destination->h) * to_fixed(FIXED_ONE / 2);
    return InverseMap{cx * to_fixed(FIXED_ONE) - c * cx + s * cy + x_offset,
                      cy * to_fixed(FIXED_ONE) - s * cx - c * cy + y_offset, s, c};
}

// Rows read and written as whole pixels, never byte by byte: SDL allocates
// every pixel buffer with malloc and its own blitters access the buffers the
// same way; a 32-bit surface's pitch is a multiple of 4, so every row is
// aligned for its pixels. (A byte-wise copy of each pixel would cost a
// function call per pixel on the handheld's ARM compiler.)
template <typename Pixel>
Pixel* pixel_row(SDL_Surface* surface, int y) {
    return reinterpret_cast<Pixel*>(row_start(surface, y));
}

template <typename Pixel>
Pixel source_pixel(const std::uint8_t* pixels, int pitch, int x, int y) {
    return reinterpret_cast<const Pixel*>(pixels + y * pitch)[x];
}

// Copies, for every destination pixel whose position falls inside the
// source, the source pixel whole; the others keep their value.
template <typename Pixel>
void copy_mapped(const SDL_Surface* source, SDL_Surface* destination, InverseMap map) {
    const auto* pixels = static_cast<const std::uint8_t*>(source->pixels);
    const int pitch = source->pitch, width = source->w, height = source->h;
    for (int y = 0; y < destination->h; ++y) {
        Pixel* out = pixel_row<Pixel>(destination, y);
        Fixed px = map.row_x, py = map.row_y;
        for (int x = 0; x < destination->w; ++x) {
            const int ix = integer_part(px), iy = integer_part(py);
            if (ix >= 0 && iy >= 0 && ix < width && iy < height)
                out[x] = source_pixel<Pixel>(pixels, pitch, ix, iy);
            px += map.cos_step;
            py += map.sin_step;
        }
        map.row_x -= map.sin_step;
        map.row_y += map.cos_step;
    }
}

// One byte channel between two neighbours, weight 0..65535 towards the second.
int blend_channel(int first, int second, int weight) {
    return first + (((second - first) * weight) >> FRACTION_BITS);
}

// The four bytes of a bilinear pixel between the neighbours c00 (here),
// c01 (right), c10 (below) and c11 (below right).
void blend_pixel(const std::uint8_t* c00, const std::uint8_t* c01, const std::uint8_t* c10,
                 const std::uint8_t* c11, int ex, int ey, std::uint8_t* out) {
    for (int i = 0; i < 4; ++i) {
        const int top = blend_channel(c00[i], c01[i], ex) & 0xff;
        const int bottom = blend_channel(c10[i], c11[i], ex) & 0xff;
        out[i] = static_cast<std::uint8_t>(blend_channel(top, bottom, ey));
    }
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
    blend_pixel(c00, c01, c10, c11, fraction(px), fraction(py), out);
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

// Unmapped 8-bit pixels take the colour key, which makes them transparent.
void fill_with_colour_key(const SDL_Surface* source, SDL_Surface* destination) {
    std::memset(destination->pixels, static_cast<int>(source->format->colorkey & 0xff),
                static_cast<std::size_t>(destination->pitch) * destination->h);
}

void transform_indexed(SDL_Surface* source, SDL_Surface* destination, int centre_x,
                       int centre_y, int sin_step, int cos_step) {
    fill_with_colour_key(source, destination);
    const InverseMap map =
        start_inverse_map(source, destination, centre_x, centre_y, sin_step, cos_step);
    copy_mapped<std::uint8_t>(source, destination, map);
}

// One destination row of the transpose: count pixels down one source column,
// column pointing at its first mapped pixel.
template <typename Pixel>
void copy_column(const std::uint8_t* column, int pitch, Pixel* out, int count) {
    for (int x = 0; x < count; ++x) out[x] = *reinterpret_cast<const Pixel*>(column + x * pitch);
}

#ifdef __SSE2__
// One 4 x 4 block: four pixels from each of four source rows, pitch bytes
// apart, into four destination rows, out_pitch bytes apart, the rightmost
// source pixels into the first row.
inline void transpose_block(const std::uint8_t* in, std::ptrdiff_t pitch, std::uint8_t* out,
                            std::ptrdiff_t out_pitch) {
    const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + pitch));
    const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * pitch));
    const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * pitch));
    const __m128i low01 = _mm_unpacklo_epi32(r0, r1), low23 = _mm_unpacklo_epi32(r2, r3);
    const __m128i high01 = _mm_unpackhi_epi32(r0, r1), high23 = _mm_unpackhi_epi32(r2, r3);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpackhi_epi64(high01, high23));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + out_pitch), _mm_unpacklo_epi64(high01, high23));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * out_pitch), _mm_unpackhi_epi64(low01, low23));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * out_pitch), _mm_unpacklo_epi64(low01, low23));
}

// Eight destination rows at once, out_pitch bytes apart: they read eight
// neighbouring source columns (the first row the rightmost), so each source
// row gives eight pixels in two 16-byte loads, and 4 x 4 blocks are
// transposed in registers. block points at the first mapped pixel of the
// leftmost column; count, the pixels of each row, is at least 4. Kept out
// of line: inlined into the routine, the loop ran short of registers.
// Any x86-64 has SSE2; other CPUs copy column by column.
__attribute__((noinline)) void copy_eight_columns(const std::uint8_t* block, int pitch, std::uint8_t* out,
                                                   int out_pitch, int count) {
    auto eight_by_four = [=](int x) {
        const std::uint8_t* in = block + x * pitch;
        std::uint8_t* to = out + 4 * x;
        transpose_block(in + 16, pitch, to, out_pitch);
        transpose_block(in, pitch, to + 4 * out_pitch, out_pitch);
    };
    const int full = count & ~3;
    for (int x = 0; x < full; x += 4) eight_by_four(x);
    // The last few pixels: one more block that ends with the rows and
    // copies some pixels a second time.
    if (full != count) eight_by_four(count - 4);
}
#endif

// Copies the destination rows from y on that read source column ix (count
// pixels each, the first at x_begin, from source row first_row + x_begin on)
// and returns how many: one, or eight at once where the CPU can and the
// columns ix - 7 to ix all lie in the source (and hold four pixels each).
template <typename Pixel>
int copy_rows(const SDL_Surface* source, SDL_Surface* destination, int y, int ix, int first_row, int x_begin,
              int count) {
    const int pitch = source->pitch;
    const std::uint8_t* column = static_cast<const std::uint8_t*>(source->pixels) +
                                 (first_row + x_begin) * pitch + ix * static_cast<int>(sizeof(Pixel));
    std::uint8_t* out = row_start(destination, y) + x_begin * static_cast<int>(sizeof(Pixel));
#ifdef __SSE2__
    constexpr int ROWS = 8;
    if (sizeof(Pixel) == 4 && ix >= ROWS - 1 && y + ROWS <= destination->h && count >= 4) {
        copy_eight_columns(column - 4 * (ROWS - 1), pitch, out, destination->pitch, count);
        return ROWS;
    }
#endif
    copy_column<Pixel>(column, pitch, reinterpret_cast<Pixel*>(out), count);
    return 1;
}

// The calculator's own case, a turn at zoom 1 without filtering: each
// destination row reads one source column, the next row the column to its
// left, and each step along the row the next source row down, so
// copy_mapped reduces to a transpose. The start and the bounds come from the
// same 16.16 map, which cannot wrap here (no surface is wider than 16383
// pixels, so neither side of a turned one is), so exactly the same pixels
// are mapped.
template <typename Pixel>
void transpose_mapped(const SDL_Surface* source, SDL_Surface* destination, InverseMap map) {
    const int first_row = integer_part(map.row_y);  // source row seen at destination column 0
    const int x_begin = std::max(0, -first_row);
    const int x_end = std::min(destination->w, source->h - first_row);
    if (x_begin >= x_end) return;
    for (int y = 0; y < destination->h;) {
        const int ix = integer_part(map.row_x);
        const int rows = ix >= 0 && ix < source->w
                             ? copy_rows<Pixel>(source, destination, y, ix, first_row, x_begin, x_end - x_begin)
                             : 1;
        y += rows;
        map.row_x -= static_cast<Fixed>(rows) * map.sin_step;
    }
}

void transpose_turn(SDL_Surface* source, SDL_Surface* destination) {
    const InverseMap map = start_inverse_map(source, destination, destination->w / 2,
                                             destination->h / 2, FIXED_ONE, 0);
    if (source->format->BitsPerPixel == 32) {
        transpose_mapped<std::uint32_t>(source, destination, map);
    } else {
        fill_with_colour_key(source, destination);
        transpose_mapped<std::uint8_t>(source, destination, map);
    }
}

// --- Scale passes ---

// For each destination pixel (or row), how many source pixels (or rows) to
// move on after it; null when the table cannot be allocated.
std::unique_ptr<int[]> advance_table(int count, std::uint32_t step) {
    std::unique_ptr<int[]> table(new (std::nothrow) int[count]);
    if (table == nullptr) return table;
    std::uint32_t accumulator = 0;
    for (int i = 0; i < count; ++i) {
        accumulator += step;
        table[i] = static_cast<int>(accumulator >> FRACTION_BITS);
        accumulator &= FRACTION_MASK;
    }
    return table;
}

// count + 1 positions: entry 0 is 0, each further one the previous one's
// fraction plus the step. Above bit 16, entry i + 1 holds the advance after
// pixel (or row) i; the low 16 bits of entry i are its interpolation weight.
std::unique_ptr<int[]> position_table(int count, int step) {
    std::unique_ptr<int[]> table(new (std::nothrow) int[count + 1]);
    if (table == nullptr) return table;
    table[0] = 0;
    for (int i = 0; i < count; ++i) table[i + 1] = (table[i] & FRACTION_MASK) + step;
    return table;
}

// The scale passes' step: source size over destination size in 16.16,
// worked out from the sizes in single precision.
double scale_step(int source_size, int destination_size) {
    return static_cast<double>(FIXED_ONE) * static_cast<float>(source_size) / static_cast<float>(destination_size);
}

int scale_indexed(SDL_Surface* source, SDL_Surface* destination) {
    const auto x_advance = advance_table(
        destination->w, static_cast<std::uint32_t>(scale_step(source->w, destination->w)));
    const auto y_advance = advance_table(
        destination->h, static_cast<std::uint32_t>(scale_step(source->h, destination->h)));
    if (x_advance == nullptr || y_advance == nullptr) return -1;
    int source_y = 0;
    for (int y = 0; y < destination->h; source_y += y_advance[y], ++y) {
        std::uint8_t* out = row_start(destination, y);
        const std::uint8_t* in = row_start(source, source_y);
        for (int x = 0, source_x = 0; x < destination->w; source_x += x_advance[x], ++x)
            out[x] = in[source_x];
    }
    return 0;
}

int scale_rgba(SDL_Surface* source, SDL_Surface* destination, int smooth) {
    // Filtering spans one pixel less, so that the last neighbour is the
    // source's last pixel.
    const int margin = smooth ? 1 : 0;
    const auto x_position = position_table(
        destination->w, static_cast<int>(scale_step(source->w - margin, destination->w)));
    const auto y_position = position_table(
        destination->h, static_cast<int>(scale_step(source->h - margin, destination->h)));
    if (x_position == nullptr || y_position == nullptr) return -1;
    const int last_x = source->w - 1, last_y = source->h - 1;
    int source_y = 0;
    for (int y = 0; y < destination->h; source_y += y_position[y + 1] >> FRACTION_BITS, ++y) {
        std::uint8_t* out = row_start(destination, y);
        // A source one pixel high or wide is its own neighbour; its weight
        // towards the missing neighbour is 0 anyway.
        const int below = std::min(source_y + 1, last_y);
        for (int x = 0, source_x = 0; x < destination->w;
             source_x += x_position[x + 1] >> FRACTION_BITS, ++x, out += 4) {
            if (!smooth) {
                std::memcpy(out, pixel_at(source, source_x, source_y, 4), 4);
                continue;
            }
            const int right = std::min(source_x + 1, last_x);
            blend_pixel(pixel_at(source, source_x, source_y, 4),
                        pixel_at(source, right, source_y, 4), pixel_at(source, source_x, below, 4),
                        pixel_at(source, right, below, 4), x_position[x] & FRACTION_MASK,
                        y_position[y] & FRACTION_MASK, out);
        }
    }
    return 0;
}

// --- The routine ---

// The work surface: the source itself at 32 or 8 bits, otherwise a 32-bit
// copy (null if it cannot be made) that the caller frees.
SDL_Surface* work_surface_for(SDL_Surface* source) {
    const int depth = source->format->BitsPerPixel;
    if (depth == 32 || depth == 8) return source;
    SDL_Surface* copy = create_surface(source->w, source->h, 32, CONVERTED_MASKS);
    if (copy != nullptr) SDL_UpperBlit(source, nullptr, copy, nullptr);
    return copy;
}

bool is_rgba(const SDL_Surface* surface) { return surface->format->BitsPerPixel == 32; }

bool has_pixels(const SDL_Surface* surface) { return surface->w > 0 && surface->h > 0; }

// An empty destination of the work surface's kind: its masks at 32 bits.
SDL_Surface* create_destination(const SDL_Surface* work, int width, int height) {
    if (is_rgba(work)) return create_surface(width, height, 32, masks_of(work->format));
    return create_surface(width, height, 8, NO_MASKS);
}

// Gives an 8-bit destination the work surface's colours, index for index.
void copy_palette(const SDL_Surface* work, SDL_Surface* destination) {
    const SDL_Palette* from = work->format->palette;
    SDL_Palette* to = destination->format->palette;
    if (from == nullptr || to == nullptr) return;
    const int count = std::min(from->ncolors, to->ncolors);
    std::memcpy(to->colors, from->colors, sizeof(SDL_Color) * count);
    to->ncolors = count;
}

// What makes the destination's empty pixels transparent: per-pixel alpha at
// 32 bits, the work surface's colour key at 8.
void set_transparency(const SDL_Surface* work, SDL_Surface* destination) {
    if (is_rgba(work))
        SDL_SetAlpha(destination, SDL_SRCALPHA, 255);
    else
        SDL_SetColorKey(destination, SDL_SRCCOLORKEY | SDL_RLEACCEL, work->format->colorkey);
}

void turn_pixels(SDL_Surface* work, SDL_Surface* destination, double zoom, int sin_step,
                 int smooth) {
    const int centre_x = destination->w / 2, centre_y = destination->h / 2;
    if (zoom == 1.0 && !smooth)
        transpose_turn(work, destination);
    else if (is_rgba(work))
        transform_rgba(work, destination, centre_x, centre_y, sin_step, 0, smooth);
    else
        transform_indexed(work, destination, centre_x, centre_y, sin_step, 0);
}

SDL_Surface* turn(SDL_Surface* work, double zoom, int sin_step, int smooth) {
    SDL_Surface* destination = create_destination(work, work->h, work->w);
    if (destination == nullptr) return nullptr;
    if (!is_rgba(work)) copy_palette(work, destination);
    // An empty source gives an empty destination: nothing to map.
    if (has_pixels(work)) turn_pixels(work, destination, zoom, sin_step, smooth);
    set_transparency(work, destination);
    return destination;
}

// size × zoom truncated toward zero and raised to 1; sizes beyond any
// surface's (an infinite zoom too) saturate, and SDL then refuses them.
int scaled_size(int size, double zoom) {
    constexpr double TOO_LARGE = 65536.0;
    const double scaled = std::trunc(size * zoom);
    if (scaled < 1.0) return 1;
    return scaled < TOO_LARGE ? static_cast<int>(scaled) : static_cast<int>(TOO_LARGE);
}

SDL_Surface* scale(SDL_Surface* work, double zoom, int smooth) {
    SDL_Surface* destination =
        create_destination(work, scaled_size(work->w, zoom), scaled_size(work->h, zoom));
    if (destination == nullptr) return nullptr;
    if (!is_rgba(work)) copy_palette(work, destination);
    // An empty source leaves its (at least 1 x 1) destination as created.
    if (has_pixels(work)) {
        if (is_rgba(work))
            scale_rgba(work, destination, smooth);
        else
            scale_indexed(work, destination);
    }
    set_transparency(work, destination);
    return destination;
}

}  // namespace

SDL_Surface* rotate_quarter_turn(SDL_Surface* source, double angle, double zoom, int smooth) {
    if (source == nullptr) return nullptr;
    SDL_Surface* work = work_surface_for(source);
    if (work == nullptr) return nullptr;
    // A zoom that is not a number is clamped as well.
    const bool clamped = !(zoom >= TURN_EPSILON);
    if (clamped) zoom = TURN_EPSILON;
    const double step_base = clamped ? CLAMPED_STEP_BASE : static_cast<double>(FIXED_ONE) / zoom;

    SDL_Surface* destination = nullptr;
    if (SDL_LockSurface(work) == 0) {
        if (std::fabs(angle) > TURN_EPSILON)
            destination = turn(work, zoom, static_cast<int>(step_base), smooth);
        else
            destination = scale(work, zoom, smooth);
        SDL_UnlockSurface(work);
    }
    if (work != source) SDL_FreeSurface(work);
    return destination;
}

}  // namespace tarno
