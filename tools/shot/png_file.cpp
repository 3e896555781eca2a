#include "png_file.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace tarno_shot {
namespace {

// A copy of surface as 24-bit RGB, bytes red, green, blue in memory. SDL's
// own blit widens the screen's 5- and 6-bit channels, as it does when it
// saves a BMP, so that both files hold the same colours.
SDL_Surface* to_rgb24(SDL_Surface* surface) {
    const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
    SDL_Surface* rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, 24,
                                            little ? 0x0000FF : 0xFF0000, 0x00FF00,
                                            little ? 0xFF0000 : 0x0000FF, 0);
    if (rgb == nullptr) return nullptr;
    SDL_Rect whole{0, 0, static_cast<Uint16>(surface->w), static_cast<Uint16>(surface->h)};
    if (SDL_LowerBlit(surface, &whole, rgb, &whole) != 0) {
        SDL_FreeSurface(rgb);
        return nullptr;
    }
    return rgb;
}

// libpng reports its errors by a long jump back to the setjmp in write_rows;
// nothing with a destructor lives between the two.
bool write_rows(std::FILE* file, SDL_Surface* rgb, std::string& error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        error = "out of memory";
        return false;
    }
    std::vector<png_bytep> rows(rgb->h);
    for (int y = 0; y < rgb->h; ++y) rows[y] = static_cast<png_bytep>(rgb->pixels) + y * rgb->pitch;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "libpng could not write it";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, rgb->w, rgb->h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool save_png(SDL_Surface* surface, const char* path, std::string& error) {
    SDL_Surface* rgb = to_rgb24(surface);
    if (rgb == nullptr) {
        error = SDL_GetError();
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    bool saved = false;
    if (file == nullptr) {
        error = "cannot open it for writing";
    } else {
        SDL_LockSurface(rgb);
        const bool written = write_rows(file, rgb, error);
        SDL_UnlockSurface(rgb);
        const bool closed = std::fclose(file) == 0;
        if (written && !closed) error = "cannot finish writing it";
        saved = written && closed;
        if (!saved) std::remove(path);
    }
    SDL_FreeSurface(rgb);
    return saved;
}

}  // namespace tarno_shot
