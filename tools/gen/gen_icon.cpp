// tarno-gen-icon: draws the calculator's desktop icon, the upright console
// in miniature: its dark body, the light display panel with a number on it
// and the 8 x 5 keypad, each key in its group's face colour from the same
// key art as the keypad pictures. Run from the repository root, after
// building the target:
//
//   cmake -S . -B build/obj && cmake --build build/obj --target tarno-gen-icon && build/tarno-gen-icon
//
// It overwrites packaging/icons/tarno-48.png and packaging/icons/tarno-256.png
// (RGBA, transparent around the body), which the package installs, the 192
// and 512 pixel ones of the browser's page and its maskable one
// (tarno-maskable-512.png: the body smaller, inside the circle that a
// phone's mask always keeps, on the display's colour to the edges), and
// tarno/icon.bmp, the desktop window's own 32 x 32 icon, where pure magenta
// stands for transparent.
#include <png.h>

#include "SDL.h"

#include <cstdio>
#include <vector>

#include "keypad_art.h"

namespace tarno_gen {
namespace {

// Shapes in fractions of the icon's side, x from the left, y from the top.
struct Box {
    double left, top, right, bottom, radius;

    bool contains(double x, double y) const {
        if (x < left || x > right || y < top || y > bottom) return false;
        const double cx = x < left + radius ? left + radius : (x > right - radius ? right - radius : x);
        const double cy = y < top + radius ? top + radius : (y > bottom - radius ? bottom - radius : y);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    }
};

// The console's upright shape, 3 wide to 4 high like its screen.
constexpr Box BODY_BOX{0.155, 0.03, 0.845, 0.97, 0.07};
constexpr Box PANEL_BOX{0.2, 0.075, 0.8, 0.28, 0.025};
constexpr Box KEYS_AREA{0.19, 0.31, 0.81, 0.935, 0.0};
constexpr int ROWS = 8;
constexpr int COLUMNS = 5;
constexpr double KEY_GAP = 0.014;
// The number on the display: three digit-sized blocks at its right.
constexpr double DIGIT_WIDTH = 0.07;
constexpr double DIGIT_TOP = 0.15;
constexpr double DIGIT_BOTTOM = 0.245;
constexpr Rgb INK{24, 24, 26};

Box key_box(tarno::KeyCode code) {
    const int row = code / 10 - 1, column = code % 10 - 1;
    const double w = (KEYS_AREA.right - KEYS_AREA.left) / COLUMNS, h = (KEYS_AREA.bottom - KEYS_AREA.top) / ROWS;
    const double left = KEYS_AREA.left + column * w, top = KEYS_AREA.top + row * h;
    return {left + KEY_GAP / 2, top + KEY_GAP / 2, left + w - KEY_GAP / 2, top + h - KEY_GAP / 2, 0.012};
}

bool on_number(double x, double y) {
    for (int digit = 0; digit < 3; ++digit) {
        const double right = PANEL_BOX.right - 0.04 - digit * (DIGIT_WIDTH + 0.02);
        const Box block{right - DIGIT_WIDTH, DIGIT_TOP, right, DIGIT_BOTTOM, 0.01};
        if (block.contains(x, y)) return true;
    }
    return false;
}

// The colour at a point, and whether the point is on the icon at all.
bool colour_at(double x, double y, Rgb& colour) {
    if (!BODY_BOX.contains(x, y)) return false;
    colour = BODY;
    if (PANEL_BOX.contains(x, y)) colour = on_number(x, y) ? INK : DISPLAY;
    for (const KeyArt& art : keypad_art())
        if (key_box(art.code).contains(x, y)) colour = face_style(art.group, false).face;
    return true;
}

// A maskable icon keeps everything inside the circle of 0.4 of its side
// around its middle: the body's 0.69 x 0.94, whose half diagonal is 0.583,
// drawn at 0.4 / 0.583 of its size fits it.
constexpr double MASKABLE_SCALE = 0.68;

// Each pixel averages 4 x 4 samples, so that the edges are smooth at 48
// pixels too; alpha is the share of samples on the icon. A maskable icon is
// opaque, the display's colour around the body.
std::vector<png_byte> draw(int size, bool maskable = false) {
    constexpr int SAMPLES = 4;
    std::vector<png_byte> rgba(static_cast<std::size_t>(size) * size * 4);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int r = 0, g = 0, b = 0, hits = 0;
            for (int sy = 0; sy < SAMPLES; ++sy)
                for (int sx = 0; sx < SAMPLES; ++sx) {
                    Rgb c{};
                    double x = (px + (sx + 0.5) / SAMPLES) / size, y = (py + (sy + 0.5) / SAMPLES) / size;
                    if (maskable) {
                        x = 0.5 + (x - 0.5) / MASKABLE_SCALE;
                        y = 0.5 + (y - 0.5) / MASKABLE_SCALE;
                        if (!colour_at(x, y, c)) c = DISPLAY;
                    } else if (!colour_at(x, y, c)) {
                        continue;
                    }
                    r += c.r, g += c.g, b += c.b, ++hits;
                }
            png_byte* p = &rgba[(static_cast<std::size_t>(py) * size + px) * 4];
            if (hits == 0) continue;
            p[0] = static_cast<png_byte>(r / hits);
            p[1] = static_cast<png_byte>(g / hits);
            p[2] = static_cast<png_byte>(b / hits);
            p[3] = static_cast<png_byte>(255 * hits / (SAMPLES * SAMPLES));
        }
    }
    return rgba;
}

bool write_icon(int size, const char* path, bool maskable = false) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = size;
    image.height = size;
    image.format = PNG_FORMAT_RGBA;
    const std::vector<png_byte> rgba = draw(size, maskable);
    if (!png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "tarno-gen-icon: cannot write %s: %s\n", path, image.message);
        return false;
    }
    return true;
}

// The window's icon: SDL 1.2 gives a window's icon a colour key, not an
// alpha channel, so a pixel is either on the icon or the key's magenta.
bool write_window_icon(int size, const char* path) {
    SDL_Surface* bmp = SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (bmp == nullptr) return false;
    const std::vector<png_byte> rgba = draw(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const png_byte* p = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            const bool on = p[3] >= 128;
            const Uint32 colour = on ? SDL_MapRGB(bmp->format, p[0], p[1], p[2]) : SDL_MapRGB(bmp->format, 255, 0, 255);
            SDL_Rect pixel{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(bmp, &pixel, colour);
        }
    }
    const bool written = SDL_SaveBMP(bmp, path) == 0;
    if (!written) std::fprintf(stderr, "tarno-gen-icon: cannot write %s: %s\n", path, SDL_GetError());
    SDL_FreeSurface(bmp);
    return written;
}

}  // namespace
}  // namespace tarno_gen

int main() {
    using tarno_gen::write_icon;
    return write_icon(48, "packaging/icons/tarno-48.png") && write_icon(256, "packaging/icons/tarno-256.png") &&
                   write_icon(192, "packaging/icons/tarno-192.png") && write_icon(512, "packaging/icons/tarno-512.png") &&
                   write_icon(512, "packaging/icons/tarno-maskable-512.png", true) &&
                   tarno_gen::write_window_icon(32, "tarno/icon.bmp")
               ? 0
               : 1;
}
