#include "bmp565.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tarno_gen {
namespace {

constexpr std::uint32_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
constexpr std::uint32_t MASKS_SIZE = 12;
constexpr std::uint32_t PIXELS_OFFSET = FILE_HEADER_SIZE + INFO_HEADER_SIZE + MASKS_SIZE;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::int32_t PIXELS_PER_METRE = 2835;  // 72 dots per inch

// Little-endian fields, byte by byte, whatever the CPU's own order.
void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Rows are stored padded to a multiple of 4 bytes.
std::uint32_t row_bytes(int width) { return (static_cast<std::uint32_t>(width) * 2 + 3) & ~3u; }

void put_headers(std::vector<std::uint8_t>& out, int width, int height) {
    const std::uint32_t image_size = row_bytes(width) * static_cast<std::uint32_t>(height);
    out.push_back('B');
    out.push_back('M');
    put32(out, PIXELS_OFFSET + image_size);
    put32(out, 0);  // two reserved fields
    put32(out, PIXELS_OFFSET);
    put32(out, INFO_HEADER_SIZE);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));  // positive: the bottom row comes first
    put16(out, 1);                                    // planes
    put16(out, 16);                                   // bits per pixel
    put32(out, BI_BITFIELDS);
    put32(out, image_size);
    put32(out, PIXELS_PER_METRE);
    put32(out, PIXELS_PER_METRE);
    put32(out, 0);  // no palette
    put32(out, 0);
    put32(out, 0xF800);  // red
    put32(out, 0x07E0);  // green
    put32(out, 0x001F);  // blue
}

}  // namespace

std::uint16_t rgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

std::vector<std::uint8_t> encode_bmp565(int width, int height, const std::vector<std::uint16_t>& pixels) {
    std::vector<std::uint8_t> out;
    out.reserve(PIXELS_OFFSET + row_bytes(width) * static_cast<std::uint32_t>(height));
    put_headers(out, width, height);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) put16(out, pixels[static_cast<std::size_t>(y) * width + x]);
        for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 2; pad < row_bytes(width); ++pad)
            out.push_back(0);
    }
    return out;
}

bool write_bmp565(const char* path, int width, int height, const std::vector<std::uint16_t>& pixels) {
    const std::vector<std::uint8_t> bytes = encode_bmp565(width, height, pixels);
    std::FILE* file = std::fopen(path, "wb");
    bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr && std::fclose(file) != 0) written = false;
    if (!written) std::fprintf(stderr, "tarno-gen-keypad: cannot write %s: %s\n", path, std::strerror(errno));
    return written;
}

}  // namespace tarno_gen
