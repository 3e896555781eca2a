// tarno-gen-click: makes the key click, tarno/tarno.wav: 30 ms of 8-bit
// unsigned mono PCM at 22050 Hz, the rate at which the calculator's mixer
// plays. Run from the repository root, after building the target:
//
//   cmake -S . -B build/obj && cmake --build build/obj --target tarno-gen-click && build/tarno-gen-click
//
// The click starts at full strength on its first sample, so that a tap is
// heard at once, and dies away to exact silence well before the file ends,
// so that clicks of taps in quick succession never run into one another.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int RATE = 22050;
constexpr double PI = 3.14159265358979323846;
constexpr int SAMPLES = 662;               // the whole file: 30 ms
static_assert(SAMPLES % 2 == 0, "an even count: the data chunk then needs no pad byte");
constexpr double DECAY = 0.004;            // seconds: the ring's time constant
constexpr double PEAK = 110.0;             // of the 127 steps either side of silence
constexpr double QUIET = 2.0;              // steps: a ring this faint is cut off
constexpr std::uint8_t SILENCE = 128;

// The ring's strength in steps, PEAK at the start. Once it has fallen below
// QUIET (after some 16 ms) it is cut to exact silence, a step too small to
// hear, so that the last faint steps never flicker on and off around silence.
double strength(double t) {
    const double level = PEAK * std::exp(-t / DECAY);
    return level < QUIET ? 0.0 : level;
}

// A fixed pseudo-random sequence, so that the file comes out the same at
// every run: the tick of the first millisecond.
double noise(std::uint32_t& seed) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return (seed & 0xFFFF) / 32767.5 - 1.0;
}

// A bright ring of two partials, both starting at their crest, over a
// brief tick of noise that makes the start crisp.
std::vector<std::uint8_t> click_samples() {
    std::vector<std::uint8_t> samples(SAMPLES, SILENCE);
    std::uint32_t seed = 0x7A124E5u;
    for (int i = 0; i < SAMPLES; ++i) {
        const double t = static_cast<double>(i) / RATE;
        const double ring = 0.65 * std::cos(2 * PI * 2900 * t) + 0.25 * std::cos(2 * PI * 1250 * t);
        const double tick = 0.35 * noise(seed) * std::exp(-t / 0.0006);
        const long level = std::lround(strength(t) * (ring + tick));
        samples[i] = static_cast<std::uint8_t>(SILENCE + std::max(-127L, std::min(127L, level)));
    }
    return samples;
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put_u16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_tag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// A canonical RIFF/WAVE file: the format chunk, then the data chunk.
std::vector<std::uint8_t> wave_file(const std::vector<std::uint8_t>& samples) {
    std::vector<std::uint8_t> out;
    const auto data_size = static_cast<std::uint32_t>(samples.size());
    put_tag(out, "RIFF");
    put_u32(out, 36 + data_size);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, 1);     // PCM
    put_u16(out, 1);     // mono
    put_u32(out, RATE);
    put_u32(out, RATE);  // bytes per second: one byte a sample
    put_u16(out, 1);     // bytes per frame
    put_u16(out, 8);     // bits per sample
    put_tag(out, "data");
    put_u32(out, data_size);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

}  // namespace

int main() {
    const char* path = "tarno/tarno.wav";
    const std::vector<std::uint8_t> file = wave_file(click_samples());
    std::FILE* out = std::fopen(path, "wb");
    if (!out) {
        std::perror(path);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(path);
        return 1;
    }
    return 0;
}
