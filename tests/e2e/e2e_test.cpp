// The calculator used as a person uses it: the real program in a window of
// its own X server, tapped with the mouse through xdotool, its window read
// back with xwd and its sound written to a file by SDL's disk audio driver.
//
// Sections: child processes; the X server and the calculator; pictures
// (xwd and BMP, both reduced to RGB565); the click stream; the session.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;
using Environment = std::vector<std::pair<std::string, std::string>>;

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// --- Child processes ---

// Starts argv[0] (looked up in PATH) with env added to this environment, its
// standard input from /dev/null and its output to /dev/null. It dies with
// the test, so that no X server or calculator outlives a crashed run.
pid_t spawn(const std::vector<std::string>& argv, const Environment& env, int keep_fd = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    for (int fd = 3; fd < 256; ++fd)
        if (fd != keep_fd) close(fd);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// The exit status (128 + the signal for a killed child), or -1 when it has
// not ended within seconds.
int wait_for(pid_t pid, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (Clock::now() >= end) return -1;
        sleep_ms(10);
    }
}

void stop(pid_t pid) {
    if (pid <= 0 || waitpid(pid, nullptr, WNOHANG) == pid) return;
    kill(pid, SIGTERM);
    if (wait_for(pid, 2) == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

int run(const std::vector<std::string>& argv, const Environment& env = {}) {
    const pid_t pid = spawn(argv, env);
    const int status = wait_for(pid, 20);
    if (status == -1) stop(pid);
    return status;
}

// --- The X server and the calculator ---

// An X server of the calculator's size and depth on a free display. It
// keeps running when its last client goes (-noreset): SDL's X11 probe
// connects and leaves at once, and a server that resets then may refuse the
// calculator's own connection.
class XServer {
public:
    XServer() {
        int ready[2];
        if (pipe(ready) != 0) return;
        pid_ = spawn({"Xvfb", "-noreset", "-displayfd", std::to_string(ready[1]), "-screen", "0", "320x240x16", "-nolisten", "tcp"},
                     {}, ready[1]);
        close(ready[1]);
        // Xvfb writes its display number once it takes connections.
        std::string number;
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (number.find('\n') == std::string::npos && Clock::now() < end) {
            pollfd p{ready[0], POLLIN, 0};
            char c;
            if (poll(&p, 1, 100) > 0 && read(ready[0], &c, 1) == 1) number += c;
            else if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
        }
        close(ready[0]);
        if (number.find('\n') != std::string::npos) display_ = ":" + number.substr(0, number.find('\n'));
    }
    ~XServer() { stop(pid_); }

    const std::string& display() const { return display_; }  // empty when the server did not start

private:
    pid_t pid_ = -1;
    std::string display_;
};

class TempDirectory {
public:
    TempDirectory() {
        char name[] = "/tmp/tarno-e2e-XXXXXX";
        if (mkdtemp(name)) path_ = name;
    }
    ~TempDirectory() {
        if (!path_.empty()) run({"rm", "-rf", path_});
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// --- Pictures ---

// A 320x240 picture as RGB565 values, row by row.
using Picture = std::vector<std::uint16_t>;
constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

// The top-left 320x240 of an xwd dump of a TrueColor screen (a header of
// big-endian 32-bit fields, then the colour map, then the pixels).
Picture read_xwd(const std::string& path) {
    const std::string d = read_file(path);
    if (d.size() < 100) return {};
    auto field = [&](int index) { return big_endian_32(d, 4 * static_cast<std::size_t>(index)); };
    const std::uint32_t header_size = field(0), width = field(4), height = field(5);
    const bool lsb_first = field(7) == 0;
    const std::uint32_t bits_per_pixel = field(11), bytes_per_line = field(12);
    const std::uint32_t red = field(14), green = field(15), blue = field(16), colours = field(19);
    const std::size_t pixels = header_size + 12 * static_cast<std::size_t>(colours);
    const std::size_t size = bits_per_pixel / 8;
    if (width < WIDTH || height < HEIGHT || (size != 2 && size != 4) || d.size() < pixels + bytes_per_line * HEIGHT) return {};
    Picture picture;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            const std::size_t at = pixels + y * bytes_per_line + x * size;
            std::uint32_t p = little_endian(d, at, size);
            if (!lsb_first) p = size == 2 ? ((p >> 8) | (p << 8)) & 0xffff : __builtin_bswap32(p);
            picture.push_back(rgb565(channel(p, red, 5), channel(p, green, 6), channel(p, blue, 5)));
        }
    }
    return picture;
}

// A 320x240 BMP of 24 or 32 bits per pixel, bottom row first, as SDL saves it.
Picture read_bmp(const std::string& path) {
    const std::string d = read_file(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return {};
    const std::uint32_t offset = little_endian(d, 10, 4), bits = little_endian(d, 28, 2);
    const auto width = static_cast<std::int32_t>(little_endian(d, 18, 4));
    const auto height = static_cast<std::int32_t>(little_endian(d, 22, 4));
    const std::size_t size = bits / 8, row_bytes = (width * size + 3) / 4 * 4;
    if (width != WIDTH || std::abs(height) != HEIGHT || (size != 3 && size != 4) || d.size() < offset + row_bytes * HEIGHT)
        return {};
    Picture picture;
    for (int y = 0; y < HEIGHT; ++y) {
        const std::size_t row = height > 0 ? HEIGHT - 1 - y : y;
        for (int x = 0; x < WIDTH; ++x) {
            const std::size_t at = offset + row * row_bytes + x * size;
            auto byte = [&](std::size_t i) { return static_cast<std::uint16_t>(static_cast<std::uint8_t>(d[at + i])); };
            picture.push_back(rgb565(byte(2) >> 3, byte(1) >> 2, byte(0) >> 3));
        }
    }
    return picture;
}

// How many pixels differ, with the first difference described in where.
int differences(const Picture& seen, const Picture& expected, std::string& where) {
    if (seen.size() != expected.size()) {
        where = "pictures of different sizes";
        return WIDTH * HEIGHT;
    }
    int n = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i] == expected[i]) continue;
        if (n++ == 0)
            where = "first at (" + std::to_string(i % WIDTH) + ", " + std::to_string(i / WIDTH) + "): " +
                    std::to_string(seen[i]) + " instead of " + std::to_string(expected[i]);
    }
    return n;
}

// --- The click stream ---

// The clicks in a stream of signed 8-bit samples: runs of sound separated by
// at least gap samples of exact silence (0).
int count_clicks(const std::string& samples, std::size_t gap) {
    int clicks = 0;
    std::size_t silent = gap;
    for (char sample : samples) {
        if (sample == 0) {
            ++silent;
            continue;
        }
        if (silent >= gap) ++clicks;
        silent = 0;
    }
    return clicks;
}

// --- The session ---

// Screen positions in the middle of keys, from the keypad's cell table:
// tens digit = screen column from the left, units digit = screen row from the bottom.
constexpr int COLUMN_FIRST[8] = {87, 116, 144, 173, 201, 230, 258, 287};
constexpr int COLUMN_LAST[8] = {109, 138, 166, 195, 223, 252, 280, 309};
constexpr int ROW_FIRST[5] = {196, 149, 102, 55, 8};  // units 1..5
constexpr int ROW_LAST[5] = {234, 187, 140, 93, 46};

std::pair<int, int> middle_of_key(int code) {
    const int column = code / 10 - 1, row = code % 10 - 1;
    return {(COLUMN_FIRST[column] + COLUMN_LAST[column]) / 2, (ROW_FIRST[row] + ROW_LAST[row]) / 2};
}

class CalculatorSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(x_.display().empty()) << "Xvfb did not start";
        calculator_ = spawn({TARNO_PROGRAM}, {{"DISPLAY", x_.display()},
                                              {"SDL_VIDEODRIVER", "x11"},
                                              {"SDL_AUDIODRIVER", "disk"},
                                              {"SDL_DISKAUDIOFILE", files_.file("click.raw")},
                                              {"SDL_DISKAUDIODELAY", "1"}});
    }
    void TearDown() override { stop(calculator_); }

    // A quick tap, as short as a finger's.
    void tap(int code) { hold(code, "0.02", 1); }

    // Holds the key down for seconds, which the calculator takes as repeats taps.
    void hold(int code, const std::string& seconds, int repeats) {
        const auto [x, y] = middle_of_key(code);
        for (int i = 0; i < repeats; ++i) taps_.push_back(std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown", "1", "sleep", seconds,
                       "mouseup", "1"},
                      {{"DISPLAY", x_.display()}}),
                  0);
        sleep_ms(300);  // past the calculator's 200 ms repeat guard
    }

    // The exit status once the calculator has ended within seconds, or -1.
    int calculator_exit(double seconds) {
        const int status = wait_for(calculator_, seconds);
        if (status != -1) calculator_ = -1;
        return status;
    }

    Picture window() {
        const std::string dump = files_.file("window.xwd");
        if (run({"xwd", "-root", "-silent", "-out", dump}, {{"DISPLAY", x_.display()}}) != 0) return {};
        return read_xwd(dump);
    }

    // tarno-shot's picture after the taps so far.
    Picture expected_screen() {
        std::vector<std::string> argv = {TARNO_SHOT, files_.file("shot.bmp")};
        argv.insert(argv.end(), taps_.begin(), taps_.end());
        if (run(argv, {{"SDL_VIDEODRIVER", "dummy"}}) != 0) return {};
        return read_bmp(files_.file("shot.bmp"));
    }

    // Waits up to seconds for the window to show what tarno-shot draws.
    void expect_window_shows_taps(double seconds) {
        const Picture expected = expected_screen();
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(WIDTH * HEIGHT)) << "tarno-shot gave no picture";
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        std::string where;
        int n = 0;
        do {
            n = differences(window(), expected, where);
            if (n == 0) return;
            sleep_ms(100);
        } while (Clock::now() < end);
        ADD_FAILURE() << n << " pixels differ after " << taps_.size() << " taps; " << where;
    }

    XServer x_;
    TempDirectory files_;
    pid_t calculator_ = -1;
    std::vector<std::string> taps_;
};

TEST_F(CalculatorSession, TapsCalculateClickAndAKeyQuits) {
    expect_window_shows_taps(15);  // the first screen, once the program is up

    for (int code : {61, 62, 74, 63, 54, 51, 85}) tap(code);  // 1 2 + 3 × 4 =
    expect_window_shows_taps(5);                                 // 60

    hold(61, "0.5", 3);  // held half a second: 1 at once, again at 200 and 400 ms
    expect_window_shows_taps(5);

    EXPECT_EQ(run({"xdotool", "key", "a"}, {{"DISPLAY", x_.display()}}), 0);
    EXPECT_EQ(calculator_exit(2), 0) << "any keyboard key ends the program with status 0";

    // A click is 30 ms of sound; the accepted presses lie 200 ms apart or
    // more, which leaves thousands of silent samples between two clicks even
    // when the disk driver runs slower than real time. 1100 samples are 50 ms
    // at 22050 Hz.
    EXPECT_EQ(count_clicks(read_file(files_.file("click.raw")), 1100), 10);
}

TEST_F(CalculatorSession, WindowDestroyedByAnotherClientEndsIt) {
    expect_window_shows_taps(15);
    // SDL names its window's class after the program.
    EXPECT_EQ(run({"xdotool", "search", "--class", "tarno", "windowclose"}, {{"DISPLAY", x_.display()}}), 0);
    EXPECT_EQ(calculator_exit(3), 0) << "a lost window ends the program as closing it does";
}

}  // namespace
