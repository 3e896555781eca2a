#include "encode.h"

#include <png.h>

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

}  // namespace

bool encode_bmp(SDL_Surface* surface, std::vector<Uint8>& bytes, std::string& error) {
    // Room for the largest BMP that SDL writes of this size: both headers, a
    // palette of 256 colours and rows of up to 4 bytes a pixel.
    const int row = (surface->w * 4 + 3) / 4 * 4;
    bytes.resize(14 + 40 + 256 * 4 + static_cast<std::size_t>(row) * surface->h);
    SDL_RWops* memory = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    if (memory == nullptr || SDL_SaveBMP_RW(surface, memory, 0) != 0) {
        error = SDL_GetError();
        if (memory != nullptr) SDL_RWclose(memory);
        return false;
    }
    bytes.resize(static_cast<std::size_t>(SDL_RWtell(memory)));
    SDL_RWclose(memory);
    return true;
}

bool encode_png(SDL_Surface* surface, std::vector<Uint8>& bytes, std::string& error) {
    SDL_Surface* rgb = to_rgb24(surface);
    if (rgb == nullptr) {
        error = SDL_GetError();
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(rgb->w);
    image.height = static_cast<png_uint_32>(rgb->h);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
    bytes.resize(size);
    SDL_LockSurface(rgb);
    // The row stride counts components, here bytes.
    const bool encoded = png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb->pixels, rgb->pitch, nullptr);
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    if (!encoded) {
        error = image.message;
        return false;
    }
    bytes.resize(size);
    return true;
}

}  // namespace tarno_shot
