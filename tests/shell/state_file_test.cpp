// The desktop window's kept state: where its file is, what a start does
// with files that are missing, bad or not files at all, when a key writes
// it, what a folder that takes nothing gets, and the handheld keeping nothing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "desktop.h"
#include "shell_test_support.h"
#include "support/capture.h"
#include "support/files.h"

namespace tarno {
namespace {

using tarno_test::file_exists;
using tarno_test::file_text;
using tarno_test::stderr_of;

// The kept values at power-on: memory and Ans 0, radians, Norm.
constexpr const char* POWER_ON_STATE = "tarno-state 1\nmemory 0\nanswer 0\nangle rad\nformat norm\n";

std::string kept_now() {
    char text[KEPT_STATE_SIZE];
    write_kept_state(read_only_calc_state(), text);
    return text;
}

// A calculator just powered on, its state folder a scratch one.
class StateFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        ASSERT_EQ(setenv("XDG_STATE_HOME", folder_.path().c_str(), 1), 0);
        ASSERT_EQ(mkdir(folder_.file("tarno").c_str(), 0700), 0);
        power_on();
    }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    std::string path() const { return folder_.file("tarno/state"); }
    std::string restored() { return stderr_of(restore_state_file); }
    std::string kept_after(KeyCode key) {
        handle_key(key);
        return stderr_of(keep_state_file);
    }

    tarno_test::TempDirectory folder_;
};

TEST(StateFilePath, StateHomeWhenAbsoluteElseBelowTheHomeFolder) {
    EXPECT_EQ(state_file_path("/x/state", "/home/u"), "/x/state/tarno/state");
    EXPECT_EQ(state_file_path(nullptr, "/home/u"), "/home/u/.local/state/tarno/state");
    EXPECT_EQ(state_file_path("", "/home/u"), "/home/u/.local/state/tarno/state");
    EXPECT_EQ(state_file_path("relative/state", "/home/u"), "/home/u/.local/state/tarno/state");
    EXPECT_EQ(state_file_path("relative/state", nullptr), "");
    EXPECT_EQ(state_file_path(nullptr, ""), "");
}

TEST_F(StateFile, MissingFileStartsAsAtPowerOnSilently) {
    EXPECT_EQ(restored(), "");
    EXPECT_EQ(kept_now(), POWER_ON_STATE);
    EXPECT_FALSE(file_exists(path()));
}

TEST_F(StateFile, KeptValuesComeBackFromAFileWithCrLfLineEnds) {
    std::ofstream(path()) << "tarno-state 1\r\nmemory 2.5\r\nanswer -0.001\r\nangle deg\r\nformat fix3\r\n";
    EXPECT_EQ(restored(), "");
    EXPECT_EQ(kept_now(), "tarno-state 1\nmemory 2.5\nanswer -0.001\nangle deg\nformat fix3\n");
}

TEST_F(StateFile, BadFilesAreIgnoredWithOneLineAndLeftAsTheyAre) {
    const std::string line = "tarno: ignored the kept state in " + path() + ": ";
    const std::string valid_but = "tarno-state 1\nmemory 1\nanswer 2\nangle deg\nformat ";
    struct Case {
        const char* what;
        std::string text;  // the file's bytes
        const char* why;
    };
    const Case cases[] = {
        {"binary", std::string("\x7f" "ELF\0\1\2\xff", 8), "it is not a state the calculator wrote"},
        {"cut", valid_but.substr(0, 30), "its Ans is not a finite number"},
        {"NaN memory", "tarno-state 1\nmemory nan\nanswer 2\nangle deg\nformat sci\n", "its memory is not a finite number"},
        {"infinite memory", "tarno-state 1\nmemory 1e999\nanswer 2\nangle deg\nformat sci\n",
         "its memory is not a finite number"},
        {"format 99", valid_but + "fix99\n", "its format is none of norm, sci and fix0 to fix9"},
        {"angle 7", "tarno-state 1\nmemory 1\nanswer 2\nangle 7\nformat sci\n", "its angle unit is neither deg nor rad"},
        {"future version", "tarno-state 2\nmemory 1\nanswer 2\nangle deg\nformat sci\nlight on\n",
         "it is of a version this calculator does not know"},
        {"long", valid_but + "sci\n" + std::string(200, '\n'), "it is longer than any state the calculator writes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        power_on();
        std::ofstream(path(), std::ios::binary) << c.text;
        EXPECT_EQ(restored(), line + c.why + "\n");
        EXPECT_EQ(kept_now(), POWER_ON_STATE);
        EXPECT_EQ(file_text(path()), c.text);
    }
}

TEST_F(StateFile, WhatIsNoRegularFileIsIgnoredWithoutWaitingOrReading) {
    const std::string line = "tarno: ignored the kept state in " + path() + ": it is not a regular file\n";
    ASSERT_EQ(mkdir(path().c_str(), 0700), 0);
    EXPECT_EQ(restored(), line) << "a folder";
    ASSERT_EQ(rmdir(path().c_str()), 0);
    ASSERT_EQ(mkfifo(path().c_str(), 0600), 0);
    EXPECT_EQ(restored(), line) << "a FIFO that nobody writes";
    ASSERT_EQ(unlink(path().c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", path().c_str()), 0);
    EXPECT_EQ(restored(), line) << "a link to /dev/zero";
    EXPECT_EQ(kept_now(), POWER_ON_STATE);
}

TEST_F(StateFile, OneGigabyteFileIsReadOnlyAsFarAsAStateCanGo) {
    const int fd = open(path().c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 1L << 30), 0);
    close(fd);
    EXPECT_EQ(restored(),
              "tarno: ignored the kept state in " + path() + ": it is longer than any state the calculator writes\n");
}

TEST_F(StateFile, KeyThatChangesAKeptValueWritesTheFileAndReplacesABadOne) {
    std::ofstream(path()) << "garbage";
    restored();
    EXPECT_EQ(kept_after(KEY_7), "");
    EXPECT_EQ(file_text(path()), "garbage") << "7 changes no kept value";
    EXPECT_EQ(kept_after(KEY_STORE), "");
    EXPECT_EQ(file_text(path()), "tarno-state 1\nmemory 7\nanswer 0\nangle rad\nformat norm\n");
    kept_after(KEY_ADD);
    kept_after(KEY_1);
    kept_after(KEY_EQUALS);
    kept_after(KEY_SHIFT);
    kept_after(KEY_ROOT);  // shifted: the angle unit
    EXPECT_EQ(file_text(path()), "tarno-state 1\nmemory 7\nanswer 8\nangle deg\nformat norm\n");

    power_on();
    EXPECT_EQ(restored(), "");
    EXPECT_EQ(kept_now(), file_text(path())) << "the next start";
}

TEST_F(StateFile, FolderOrFileThatTakesNothingIsSaidOnceAndTheCalculatorRunsOn) {
    const std::string runs_on = "; the calculator runs on without keeping it\n";
    struct Case {
        const char* what;
        const char* why;
        void (*make)(const std::string& folder);
    };
    const Case cases[] = {
        {"a full disk", "No space left on device",
         [](const std::string& folder) { ASSERT_EQ(symlink("/dev/full", (folder + "/tarno/state").c_str()), 0); }},
        {"a FIFO that nobody reads", "No such device or address",
         [](const std::string& folder) { ASSERT_EQ(mkfifo((folder + "/tarno/state").c_str(), 0600), 0); }},
        {"a file in the folder's place", "Not a directory",
         [](const std::string& folder) {
             ASSERT_EQ(rmdir((folder + "/tarno").c_str()), 0);
             std::ofstream(folder + "/tarno") << "a file";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tarno_test::TempDirectory folder;
        ASSERT_EQ(setenv("XDG_STATE_HOME", folder.path().c_str(), 1), 0);
        ASSERT_EQ(mkdir(folder.file("tarno").c_str(), 0700), 0);
        c.make(folder.path());
        power_on();
        restored();
        kept_after(KEY_9);
        EXPECT_EQ(kept_after(KEY_STORE), "tarno: couldn't keep the state in " + folder.file("tarno/state") + ": " +
                                             c.why + runs_on);
        kept_after(KEY_0);
        EXPECT_EQ(kept_after(KEY_STORE), "") << "said once";
    }
}

TEST_F(StateFile, StateHomeThatIsMissingIsMade) {
    ASSERT_EQ(setenv("XDG_STATE_HOME", folder_.file("new/state").c_str(), 1), 0);
    restored();
    EXPECT_EQ(kept_after(KEY_STORE), "");  // 0 into the memory changes nothing
    kept_after(KEY_1);
    EXPECT_EQ(kept_after(KEY_STORE), "");
    EXPECT_EQ(file_text(folder_.file("new/state/tarno/state")),
              "tarno-state 1\nmemory 1\nanswer 0\nangle rad\nformat norm\n");
}

// The handheld's program keeps nothing: a state file is neither read nor written.
class HandheldState : public shell_test::ShellTest {};

TEST_F(HandheldState, ReadsAndWritesNoStateFile) {
    tarno_test::TempDirectory folder;
    ASSERT_EQ(setenv("XDG_STATE_HOME", folder.path().c_str(), 1), 0);
    ASSERT_EQ(mkdir(folder.file("tarno").c_str(), 0700), 0);
    const std::string kept = "tarno-state 1\nmemory 5\nanswer 6\nangle deg\nformat sci\n";
    std::ofstream(folder.file("tarno/state")) << kept;
    platform.backend->restore_kept();
    EXPECT_EQ(kept_now(), POWER_ON_STATE);
    process_key(KEY_1, app.screen);
    process_key(KEY_STORE, app.screen);
    EXPECT_EQ(file_text(folder.file("tarno/state")), kept);
    unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace tarno
