// Touch input: the firmware version file choosing the touch source, and the
// touch device's samples with their one-shot calibration and mapping.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "shell_test_support.h"

namespace tarno {
namespace {

using shell_test::ShellTest;
using FirmwareVersion = ShellTest;
using TouchDevice = ShellTest;

// A scratch file that is removed again at the end of the test.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& bytes) {
        char name[] = "/tmp/tarno-shell-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        if (fd >= 0) {
            EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
            close(fd);
        }
    }
    ~ScratchFile() { unlink(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

using shell_test::touch_sample;

class DirectTouch : public shell_test::TouchPipeTest {
protected:
    static void expect_position(int x, int y) {
        EXPECT_EQ(app.touch_x, x);
        EXPECT_EQ(app.touch_y, y);
    }
};

TEST_F(FirmwareVersion, FirstAndThirdBytesChooseTheTouchSource) {
    struct Case {
        std::string contents;
        std::uint8_t direct;
    };
    const std::vector<Case> cases = {
        {"4.0.0\n", 1}, {"2.0.0\n", 1}, {"4.0", 1},   // old firmware: the device itself
        {"4.1.0\n", 0}, {"3.1.1\n", 0}, {"5.0.0\n", 0},  // new firmware: SDL's mouse
        {"4.0.0-and-a-long-tail-of-text\n", 1},
        {"\x80.\x80", 1}, {"\xff.0.0", 1},             // bytes of 0x80 and above count as negative
        {"\x90.1.0", 0}, {"5.\xa0.0", 0},
        {"", 0}, {"4", 0}, {"4.", 0},                 // too short to tell
    };
    for (const Case& c : cases) {
        const ScratchFile file(c.contents);
        app.direct_touch = 1 - c.direct;
        check_firmware_version(file.path());
        EXPECT_EQ(app.direct_touch, c.direct) << "version file \"" << c.contents << "\"";
    }
}

TEST_F(FirmwareVersion, MissingFileKeepsTheMouse) {
    check_firmware_version("/nonexistent/tarno/version");
    EXPECT_EQ(app.direct_touch, 0);
}

TEST_F(DirectTouch, FirstPenUpSampleCalibrates) {
    send(touch_sample(0, 0, 0));
    EXPECT_FALSE(poll_touch());
    EXPECT_EQ(app.calibration_pending, 0);
    EXPECT_EQ(app.touch_offset_x, -4);
    EXPECT_EQ(app.touch_offset_y, -3);
    expect_position(-17 + 4, 240 + 12 + 3);  // the calibrating sample is mapped too

    send(touch_sample(1, 2075, 2075));
    EXPECT_TRUE(poll_touch());
    expect_position(164, 123);

    send(touch_sample(0, 3000, 3000));  // a later pen-up sample does not calibrate again
    EXPECT_FALSE(poll_touch());
    EXPECT_EQ(app.touch_offset_x, -4);
    EXPECT_EQ(app.touch_offset_y, -3);
}

TEST_F(DirectTouch, MappingTruncatesTowardZero) {
    struct Case {
        std::uint16_t raw_x, raw_y;
        int x, y;
    };
    const std::vector<Case> cases = {
        {200, 200, 0, 240},        // the screen's left and bottom edges
        {3950, 3950, 320, 0},      // its right and top edges
        {100, 100, -8, 246},       // -8.53 becomes -8 and -6.4 becomes -6, not -9 and -7
        {2075, 2075, 160, 120},
        {65535, 65535, 5575, -3941},  // the largest readings do not overflow
    };
    for (const Case& c : cases) {
        send(touch_sample(7, c.raw_x, c.raw_y));  // pen down: no calibration, offsets 0
        EXPECT_TRUE(poll_touch());
        EXPECT_EQ(app.touch_x, c.x) << "raw x " << c.raw_x;
        EXPECT_EQ(app.touch_y, c.y) << "raw y " << c.raw_y;
    }
}

TEST_F(DirectTouch, PenDownBeforeCalibrationUsesNoOffsets) {
    send(touch_sample(300, 2075, 2075));
    EXPECT_TRUE(poll_touch());
    expect_position(160, 120);
    EXPECT_EQ(app.calibration_pending, 1);

    send(touch_sample(0, 0, 0));
    EXPECT_FALSE(poll_touch());
    EXPECT_EQ(app.calibration_pending, 0);
    send(touch_sample(300, 2075, 2075));
    EXPECT_TRUE(poll_touch());
    expect_position(164, 123);
}

TEST_F(DirectTouch, ShortReadLeavesTheRestZero) {
    send(touch_sample(1, 2075, 2075).substr(0, 4));  // pressure and raw x only
    EXPECT_TRUE(poll_touch());
    expect_position(160, 252);
    EXPECT_EQ(app.calibration_pending, 1);
}

TEST_F(DirectTouch, EmptyReadChangesNothing) {
    send(touch_sample(1, 2075, 2075));
    EXPECT_TRUE(poll_touch());
    hang_up();
    EXPECT_FALSE(poll_touch());
    expect_position(160, 120);
    EXPECT_EQ(app.calibration_pending, 1);
    EXPECT_EQ(app.touch_offset_x, 0);
}

TEST_F(DirectTouch, FailedReadIsNoSample) {
    send(touch_sample(1, 2075, 2075));
    EXPECT_TRUE(poll_touch());
    app.touch_fd = pipe_[1];  // reading the pipe's writing end fails
    EXPECT_FALSE(poll_touch());
    expect_position(160, 120);
    EXPECT_EQ(app.calibration_pending, 1);  // not calibrated from a sample that never came
    EXPECT_EQ(app.touch_offset_x, 0);
    EXPECT_EQ(app.touch_offset_y, 0);
    app.touch_fd = pipe_[0];
}

TEST_F(TouchDevice, OpensOnceAndRetriesAfterAFailedOpen) {
    app.direct_touch = 1;
    EXPECT_FALSE(poll_touch_device("/nonexistent/tarno/touch"));
    EXPECT_EQ(app.touch_fd, -1);

    const ScratchFile device(touch_sample(1, 2075, 2075) + touch_sample(1, 3950, 3950));
    EXPECT_TRUE(poll_touch_device(device.path()));
    EXPECT_GE(app.touch_fd, 0);
    EXPECT_TRUE(poll_touch_device(device.path()));  // the same descriptor: the next sample
    EXPECT_EQ(app.touch_x, 320);
    EXPECT_EQ(app.touch_y, 0);
}

TEST_F(TouchDevice, DeviceThatGivesNothingForASecondIsOpenedAgain) {
    app.direct_touch = 1;
    const ScratchFile device(touch_sample(1, 2075, 2075));
    const std::uint32_t t = shell_test::test_now;
    EXPECT_TRUE(poll_touch_device(device.path()));
    const int fd = app.touch_fd;
    for (std::uint32_t later : {0u, 1u, 500u, 999u}) {  // at its end: nothing to read
        shell_test::test_now = t + later;
        EXPECT_FALSE(poll_touch_device(device.path()));
        EXPECT_EQ(app.touch_fd, fd) << "still open at t + " << later;
    }
    shell_test::test_now = t + 1000;
    EXPECT_FALSE(poll_touch_device(device.path()));
    EXPECT_EQ(app.touch_fd, -1) << "closed after a second of nothing";
    EXPECT_TRUE(poll_touch_device(device.path())) << "opened again, it gives its sample anew";
    EXPECT_EQ(app.touch_x, 160);
}

TEST_F(TouchDevice, SampleBetweenFailuresKeepsTheDeviceOpen) {
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_NONBLOCK), 0);  // an empty pipe's read fails at once
    app.direct_touch = 1;
    app.touch_fd = ends[0];
    const std::uint32_t t = shell_test::test_now;
    const std::string sample = touch_sample(1, 2075, 2075);
    struct Step {
        std::uint32_t at;
        bool sample;
        int fd;
    };
    const std::vector<Step> steps = {
        {0, false, ends[0]}, {900, true, ends[0]}, {950, false, ends[0]}, {1949, false, ends[0]}, {1950, false, -1},
    };
    for (const Step& step : steps) {
        shell_test::test_now = t + step.at;
        if (step.sample) {
            EXPECT_EQ(write(ends[1], sample.data(), sample.size()), 16);
        }
        EXPECT_EQ(poll_touch_device("/nonexistent/tarno/touch"), step.sample);
        EXPECT_EQ(app.touch_fd, step.fd) << "at t + " << step.at;
    }
    close(ends[1]);
}

TEST_F(DirectTouch, CalibratesFromThePenUpSampleWhereverItLies) {
    // Offsets and positions worked out by hand, each division truncated toward zero.
    struct Case {
        std::uint16_t raw_x, raw_y;
        int offset_x, offset_y;  // (80 raw x - 16000) / 3750, (60 raw y - 12000) / 3750
        int x, y;                // the calibrating sample itself, mapped with its offsets
        int centre_x, centre_y;  // a later pen-down sample at raw (2075, 2075)
    };
    const std::vector<Case> cases = {
        {2075, 2075, 40, 30, 120, 90, 120, 90},     // 150000 / 3750 and 112500 / 3750 exactly
        {3950, 200, 80, 0, 240, 240, 80, 120},
        {1000, 3000, 17, 44, 51, 17, 143, 76},      // 17.07 and 44.8
        {100, 100, -2, -1, -6, 247, 162, 121},      // -2.13 and -1.6, not -3 and -2
    };
    for (const Case& c : cases) {
        app.calibration_pending = 1;
        app.touch_offset_x = app.touch_offset_y = 0;
        send(touch_sample(0, c.raw_x, c.raw_y));
        EXPECT_FALSE(poll_touch());
        EXPECT_EQ(app.calibration_pending, 0);
        EXPECT_EQ(app.touch_offset_x, c.offset_x) << "pen up at raw x " << c.raw_x;
        EXPECT_EQ(app.touch_offset_y, c.offset_y) << "pen up at raw y " << c.raw_y;
        EXPECT_EQ(app.touch_x, c.x) << "pen up at raw x " << c.raw_x;
        EXPECT_EQ(app.touch_y, c.y) << "pen up at raw y " << c.raw_y;
        send(touch_sample(1, 2075, 2075));
        EXPECT_TRUE(poll_touch());
        EXPECT_EQ(app.touch_x, c.centre_x) << "after a pen up at raw x " << c.raw_x;
        EXPECT_EQ(app.touch_y, c.centre_y) << "after a pen up at raw y " << c.raw_y;
    }
}

TEST_F(TouchDevice, ReadWaitsForTheDevicesNextSample) {
    char directory[] = "/tmp/tarno-touch-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string device = std::string(directory) + "/wm97xx";
    ASSERT_EQ(mkfifo(device.c_str(), 0600), 0);
    const int driver = open(device.c_str(), O_RDWR);  // the driver's end, with no sample yet
    app.direct_touch = 1;
    std::thread later([driver] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string sample = touch_sample(1, 2075, 2075);
        EXPECT_EQ(write(driver, sample.data(), sample.size()), 16);
    });
    EXPECT_TRUE(poll_touch_device(device.c_str())) << "the read waits for the sample";
    EXPECT_EQ(app.touch_x, 160);
    later.join();
    close(driver);
    unlink(device.c_str());
    rmdir(directory);
}

}  // namespace
}  // namespace tarno
