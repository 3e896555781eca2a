// The calculator program itself, run as a child process with SDL's dummy
// drivers: how it ends without a screen, and on a quit request; data files
// that are broken or are no regular files, and a missing audio device.
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "shell.h"
#include "support/files.h"
#include "support/process.h"

namespace {

using Clock = std::chrono::steady_clock;

// The calculator running in directory with SDL_VIDEODRIVER=video_driver;
// its standard error is collected by the test.
class Program {
public:
    Program(const std::string& directory, const char* video_driver, const char* audio_driver = "dummy")
        : child_({{TARNO_PROGRAM}, {{"SDL_VIDEODRIVER", video_driver}, {"SDL_AUDIODRIVER", audio_driver}}, "", directory}) {}

    // Collects standard error until it holds text or seconds have passed.
    bool wait_for_output(const std::string& text, double seconds) { return child_.wait_for_err(text, seconds); }

    // The exit status (128 + the signal when a signal ended it), or -1 when
    // the program has not ended after seconds.
    int wait_for_exit(double seconds) { return child_.wait(seconds); }

    // Whether the program has its own handler for signal number yet.
    bool catches(int number) const {
        std::ifstream status("/proc/" + std::to_string(child_.pid()) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (number - 1)) & 1;
        return false;
    }

    bool wait_until_it_catches(int number, double seconds) {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (!catches(number) && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return catches(number);
    }

    // SDL turns the termination signal into a quit request once its event
    // queue is up; a signal that came a moment too early is sent again.
    bool ask_to_quit() {
        if (!wait_until_it_catches(SIGTERM, 5)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        child_.signal(SIGTERM);
        if (wait_for_exit(1.5) != -1) return true;
        child_.signal(SIGTERM);
        return true;
    }
    const std::string& output() const { return child_.err(); }

private:
    tarno_test::Child child_;
};

// How many lines of text mention part.
std::size_t lines_with(const std::string& text, const std::string& part) {
    std::istringstream lines(text);
    std::size_t n = 0;
    for (std::string line; std::getline(lines, line);) n += line.find(part) != std::string::npos;
    return n;
}

bool on_dev_null(int fd) {
    struct stat stream {}, null {};
    return fstat(fd, &stream) == 0 && stat("/dev/null", &null) == 0 && S_ISCHR(stream.st_mode) &&
           stream.st_rdev == null.st_rdev;
}

// Closed standard streams are opened on /dev/null before anything else can
// take their numbers: the calculator's X connection, say, which would then
// receive every message written to standard error.
TEST(StandardStreams, ClosedOnesAreKeptForDevNull) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            close(0);
            close(2);
            tarno::keep_standard_streams_open();
            const int later = open("/dev/zero", O_RDONLY);  // must not become standard error
            _exit(on_dev_null(2) && on_dev_null(0) && later > 2 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(CalculatorProgram, WithoutAScreenItStopsWithStatusOne) {
    Program program(".", "no-such-video-driver");
    EXPECT_EQ(program.wait_for_exit(5), 1);
    EXPECT_EQ(program.output(), "Couldn't initialize SDLCouldn't set video mode");
}

// Fills folder's tarno/ with the calculator's own data files but the one
// named, which the test then puts there itself; gives the folder's path.
std::string data_folder_without(const tarno_test::TempDirectory& folder, const std::string& left_out) {
    std::filesystem::create_directory(folder.file("tarno"));
    for (const char* name : {"tarno.bmp", "tarno9.bmp", "arial.ttf", "tarno.wav"})
        if (name != left_out) std::filesystem::copy_file(std::string("tarno/") + name, folder.file("tarno/") + name);
    return folder.path();
}

// Sees the program open tarno/tarno.bmp in directory, which it first does for
// the first screen, once SDL has taken over the termination signal: a sign
// that holds under emulation too, where the signal mask is no guide (qemu
// catches every signal itself from the start).
class KeypadPictureWatch {
public:
    explicit KeypadPictureWatch(const std::string& directory) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0) inotify_add_watch(fd_, (directory + "/tarno/tarno.bmp").c_str(), IN_OPEN);
    }
    ~KeypadPictureWatch() {
        if (fd_ >= 0) close(fd_);
    }
    bool wait_for_open(double seconds) {
        pollfd p{fd_, POLLIN, 0};
        return fd_ >= 0 && poll(&p, 1, static_cast<int>(seconds * 1000)) > 0;
    }

private:
    int fd_;
};

TEST(CalculatorProgram, QuitRequestEndsItWithStatusZero) {
    const tarno_test::TempDirectory folder;
    const std::string directory = data_folder_without(folder, "");
    KeypadPictureWatch first_screen(directory);
    Program program(directory, "dummy");
    ASSERT_TRUE(first_screen.wait_for_open(10));
    ASSERT_TRUE(program.ask_to_quit());
    EXPECT_EQ(program.wait_for_exit(2), 0);
    EXPECT_EQ(program.output(), "") << "a clean start-up and shutdown say nothing";
}

TEST(CalculatorProgram, MissingDataFilesAreReportedAndItStillRuns) {
    const tarno_test::TempDirectory folder;
    const std::string& directory = folder.path();
    Program program(directory, "dummy");
    ASSERT_TRUE(program.wait_for_output("Couldn't load tarno/tarno.bmp", 5)) << program.output();
    ASSERT_TRUE(program.ask_to_quit());
    EXPECT_EQ(program.wait_for_exit(2), 0);
    EXPECT_EQ(lines_with(program.output(), "tarno/arial.ttf"), 1u) << program.output();
    EXPECT_EQ(lines_with(program.output(), "Unable to load WAV file: "), 1u) << program.output();
}

TEST(CalculatorProgram, ClickFileWithABrokenHeaderIsReportedAndItRunsWithoutClick) {
    // The calculator's own click with the channel count (bytes 22-23) set to 0:
    // handed to the mixer as it is, it crashed the calculator at start-up.
    std::ifstream own("tarno/tarno.wav", std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(own), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 44u);
    bytes[22] = bytes[23] = 0;
    const tarno_test::TempDirectory folder;
    const std::string directory = data_folder_without(folder, "tarno.wav");
    std::ofstream(directory + "/tarno/tarno.wav", std::ios::binary) << bytes;

    Program program(directory, "dummy");
    // Written after SDL_Init, which gives the program its termination handler.
    ASSERT_TRUE(program.wait_for_output("Unable to load WAV file: ", 5)) << program.output();
    ASSERT_TRUE(program.ask_to_quit()) << program.output();
    EXPECT_EQ(program.wait_for_exit(2), 0);
    EXPECT_EQ(program.output(), "Unable to load WAV file: tarno/tarno.wav: 0 channels\n");
}

TEST(CalculatorProgram, DataFilesThatAreFifosAreReportedLikeMissingOnes) {
    // Opened as files, these would wait for a writer for good.
    const tarno_test::TempDirectory folder;
    const std::string directory = data_folder_without(folder, "tarno.wav");
    std::filesystem::remove(directory + "/tarno/tarno.bmp");
    ASSERT_EQ(mkfifo((directory + "/tarno/tarno.wav").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((directory + "/tarno/tarno.bmp").c_str(), 0600), 0);

    Program program(directory, "dummy");
    ASSERT_TRUE(program.wait_for_output("Couldn't load tarno/tarno.bmp", 5)) << program.output();
    ASSERT_TRUE(program.ask_to_quit());
    EXPECT_EQ(program.wait_for_exit(2), 0);
    EXPECT_EQ(program.output(),
              "Unable to load WAV file: Couldn't open tarno/tarno.wav\n"
              "Couldn't load tarno/tarno.bmp: Couldn't open tarno/tarno.bmp\n");
}

TEST(CalculatorProgram, WithoutAnAudioDeviceTheMessageCarriesNoOlderCallsWords) {
    // SDL_JoystickOpen(0) fails first here ("There are 0 joysticks
    // available"); the audio message must not repeat it.
    Program program(".", "dummy", "no-such-audio-driver");
    // Written after SDL_Init, which gives the program its termination handler.
    ASSERT_TRUE(program.wait_for_output("Unable to initialize audio: ", 5)) << program.output();
    ASSERT_TRUE(program.ask_to_quit()) << program.output();
    EXPECT_EQ(program.wait_for_exit(2), 0);
    EXPECT_EQ(lines_with(program.output(), "Unable to initialize audio: "), 1u) << program.output();
    EXPECT_EQ(program.output().find("joystick"), std::string::npos) << program.output();
}

}  // namespace
