// The keypad pictures' file format: 16-bit RGB565 BMPs, the screen's own
// pixel format, so that blitting a picture onto the screen is a plain copy.
// SDL 1.2 loads such files but cannot save them, hence this writer.
#pragma once

#include <cstdint>
#include <vector>

namespace tarno_gen {

// The 565 value that SDL's blit from 24 bits onto the 16-bit screen gives
// for this colour: each channel truncated to its top 5, 6 and 5 bits.
std::uint16_t rgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// The bytes of a BMP file (BITMAPINFOHEADER, BI_BITFIELDS with the masks
// 0xF800, 0x07E0, 0x001F) holding width x height 565 pixels given row by
// row from the top; pixels.size() must be width * height.
std::vector<std::uint8_t> encode_bmp565(int width, int height, const std::vector<std::uint16_t>& pixels);

// Writes encode_bmp565's bytes to path; false, with a line on standard
// error, when the file cannot be written.
bool write_bmp565(const char* path, int width, int height, const std::vector<std::uint16_t>& pixels);

}  // namespace tarno_gen
