// Helpers for the tests that run the real calculator as a person does: an
// X server of the calculator's own on a free display, and pictures (an xwd
// dump of the screen and a BMP from tarno-shot, both reduced to RGB565) to
// compare.
//
// Sections: the X server; pictures.
#include "x_session.h"

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "support/files.h"

namespace tarno_test {

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// --- The X server ---

XServer::XServer(const std::string& screen) {
    int ready[2];
    if (pipe(ready) != 0) return;
    Command xvfb{{"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", screen, "-nolisten", "tcp",
                  "-noreset"}};
    xvfb.keep_fd = ready[1];
    xvfb.discard_output = true;
    server_ = std::make_unique<Child>(xvfb);
    close(ready[1]);
    // Xvfb writes its display number once it takes connections.
    std::string number;
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (number.find('\n') == std::string::npos && Clock::now() < end) {
        pollfd p{ready[0], POLLIN, 0};
        char c;
        if (poll(&p, 1, 100) > 0 && read(ready[0], &c, 1) == 1) number += c;
        else if (server_->wait(0) != -1) break;
    }
    close(ready[0]);
    if (number.find('\n') != std::string::npos) display_ = ":" + number.substr(0, number.find('\n'));
}

XServer::~XServer() {
    if (server_) server_->stop();
}

// --- Pictures ---

namespace {

std::uint32_t big_endian_32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
}

std::uint32_t little_endian(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t v = 0;
    for (std::size_t i = size; i-- > 0;) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
}

// The channel that mask selects from pixel, cut to its top bits bits.
std::uint16_t channel(std::uint32_t pixel, std::uint32_t mask, int bits) {
    int shift = 0, width = 0;
    while (mask && !((mask >> shift) & 1)) ++shift;
    while ((mask >> (shift + width)) & 1) ++width;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint16_t>(width >= bits ? value >> (width - bits) : value << (bits - width));
}

std::uint16_t rgb565(std::uint16_t r5, std::uint16_t g6, std::uint16_t b5) {
    return static_cast<std::uint16_t>((r5 << 11) | (g6 << 5) | b5);
}

}  // namespace

Picture read_xwd(const std::string& path, int width_wanted, int height_wanted) {
    const std::string d = file_text(path);
    if (d.size() < 100) return {};
    auto field = [&](int index) { return big_endian_32(d, 4 * static_cast<std::size_t>(index)); };
    const std::uint32_t header_size = field(0), width = field(4), height = field(5);
    const bool lsb_first = field(7) == 0;
    const std::uint32_t bits_per_pixel = field(11), bytes_per_line = field(12);
    const std::uint32_t red = field(14), green = field(15), blue = field(16), colours = field(19);
    const std::size_t pixels = header_size + 12 * static_cast<std::size_t>(colours);
    const std::size_t size = bits_per_pixel / 8;
    if (width < static_cast<std::uint32_t>(width_wanted) || height < static_cast<std::uint32_t>(height_wanted) ||
        size < 2 || size > 4 || d.size() < pixels + bytes_per_line * height_wanted)
        return {};
    Picture picture;
    for (int y = 0; y < height_wanted; ++y) {
        for (int x = 0; x < width_wanted; ++x) {
            const std::size_t at = pixels + y * bytes_per_line + x * size;
            std::uint32_t p = little_endian(d, at, size);
            if (!lsb_first) p = __builtin_bswap32(p) >> (8 * (4 - size));
            picture.push_back(rgb565(channel(p, red, 5), channel(p, green, 6), channel(p, blue, 5)));
        }
    }
    return picture;
}

Picture read_bmp(const std::string& path, int width_wanted, int height_wanted) {
    const std::string d = file_text(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return {};
    const std::uint32_t offset = little_endian(d, 10, 4), bits = little_endian(d, 28, 2);
    const auto width = static_cast<std::int32_t>(little_endian(d, 18, 4));
    const auto height = static_cast<std::int32_t>(little_endian(d, 22, 4));
    const std::size_t size = bits / 8, row_bytes = (width * size + 3) / 4 * 4;
    if (width != width_wanted || std::abs(height) != height_wanted || (size != 3 && size != 4) ||
        d.size() < offset + row_bytes * height_wanted)
        return {};
    Picture picture;
    for (int y = 0; y < height_wanted; ++y) {
        const std::size_t row = height > 0 ? height_wanted - 1 - y : y;
        for (int x = 0; x < width_wanted; ++x) {
            const std::size_t at = offset + row * row_bytes + x * size;
            auto byte = [&](std::size_t i) { return static_cast<std::uint16_t>(static_cast<std::uint8_t>(d[at + i])); };
            picture.push_back(rgb565(byte(2) >> 3, byte(1) >> 2, byte(0) >> 3));
        }
    }
    return picture;
}

Picture scaled(const Picture& picture, int width, int scale) {
    Picture out;
    const int height = static_cast<int>(picture.size()) / width;
    for (int y = 0; y < height * scale; ++y)
        for (int x = 0; x < width * scale; ++x) out.push_back(picture[(y / scale) * width + x / scale]);
    return out;
}

int differences(const Picture& seen, const Picture& expected, std::string& where, int width) {
    if (seen.size() != expected.size()) {
        where = "pictures of different sizes";
        return static_cast<int>(expected.size());
    }
    int n = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i] == expected[i]) continue;
        if (n++ == 0)
            where = "first at (" + std::to_string(i % width) + ", " + std::to_string(i / width) + "): " +
                    std::to_string(seen[i]) + " instead of " + std::to_string(expected[i]);
    }
    return n;
}

int wait_for_screen(const std::string& display, const std::string& dump, const Picture& expected, int width,
                    double seconds, std::string& where) {
    const int height = static_cast<int>(expected.size()) / width;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    int n = static_cast<int>(expected.size());
    do {
        if (run({{"xwd", "-root", "-silent", "-out", dump}, {{"DISPLAY", display}}}).status == 0)
            n = differences(read_xwd(dump, width, height), expected, where, width);
        if (n == 0) break;
        sleep_ms(100);
    } while (Clock::now() < end);
    return n;
}

}  // namespace tarno_test
