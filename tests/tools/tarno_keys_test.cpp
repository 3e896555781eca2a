// tarno-keys from outside: its output line, --trace, taps, standard input,
// its refusal of a bad token and how it shows one, input that cannot be read
// and output that cannot be written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "shell_setup.h"
#include "support/files.h"
#include "support/process.h"

namespace {

using tarno_test::Finished;

// Runs tarno-keys with the arguments in args (split at blanks); input, when
// given, goes to its stdin.
Finished run_keys(const std::string& args, const std::string& input = "") {
    return tarno_test::run({tarno_test::command_line(TARNO_KEYS_PATH, args), {}, input});
}

// Runs tarno-keys with args, standard input holding input and standard
// output to out_fd, with SIGPIPE at its default as a shell leaves it.
Finished run_keys_to(const std::vector<std::string>& args, int out_fd, const std::string& input = "") {
    tarno_test::Command command{{TARNO_KEYS_PATH}, {}, input};
    command.argv.insert(command.argv.end(), args.begin(), args.end());
    command.out_fd = out_fd;
    return tarno_test::run(command);
}

TEST(TarnoKeys, PrintsTheSixFieldsAfterTheLastToken) {
    Finished r = run_keys("61 62 74 63 54 51 85");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 60\n");

    r = run_keys("15 14 24 65 65 34 45");
    EXPECT_EQ(r.out, "tarno/tarno9.bmp\t(2\tM\tSci\tDeg\t 3.141593E+00\n");
}

// What the desktop window keeps between runs is not the tool's: it starts
// from power-on and leaves the state file alone.
TEST(TarnoKeys, ReadsAndWritesNoKeptState) {
    tarno_test::TempDirectory folder;
    ASSERT_EQ(mkdir(folder.file("tarno").c_str(), 0700), 0);
    const std::string kept = "tarno-state 1\nmemory 5\nanswer 6\nangle deg\nformat sci\n";
    std::ofstream(folder.file("tarno/state")) << kept;
    const tarno_test::Environment state = {{"XDG_STATE_HOME", folder.path()}};
    Finished r = tarno_test::run({tarno_test::command_line(TARNO_KEYS_PATH, "35"), state});
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 0\n");
    r = tarno_test::run({tarno_test::command_line(TARNO_KEYS_PATH, "41 45 15 14"), state});
    EXPECT_EQ(r.out, "tarno/tarno9.bmp\t\tM\tNorm\tDeg\t 7\n");
    EXPECT_EQ(tarno_test::file_text(folder.file("tarno/state")), kept);
}

TEST(TarnoKeys, TracePrintsALineAfterEveryToken) {
    const Finished r = run_keys("--trace 61 74 62 85");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 1\n"
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 1\n"
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 2\n"
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 3\n");
}

TEST(TarnoKeys, TapsAreHitTestedAndATapOnNoKeyDoesNothing) {
    // (180, 200) lies on the 7, (100, 100) in no cell: the entry stays open.
    Finished r = run_keys("180,200 100,100 180,200");
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 77\n");
    // A code with no action, even a negative one, ends the entry.
    r = run_keys("41 -1 41");
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 7\n");
    r = run_keys("41 -5,-5 41");
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 77\n");
}

TEST(TarnoKeys, ReadsTokensFromStandardInputWhenNoneAreGiven) {
    Finished r = run_keys("", "61 62\n74\t63 85\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 15\n");
    // A token longer than any read of the input is still one key code.
    r = run_keys("", std::string(1 << 20, '0') + "61 +62");
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 12\n");
}

TEST(TarnoKeys, TraceOfStandardInputKeepsTheLinesBeforeABadToken) {
    const Finished r = run_keys("--trace", "61 62\nx 63\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out,
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 1\n"
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 12\n");
    EXPECT_EQ(r.err, "tarno-keys: 'x' is neither a key code nor a tap X,Y\n");
}

// The feeder sends one token, then waits for its line before it ends the
// input; a trace held back until the end would leave both waiting until
// timeout ends tarno-keys.
TEST(TarnoKeys, TraceAnswersATokenBeforeWaitingForTheNext) {
    const tarno_test::TempDirectory folder;
    const std::string script = "cd '" + folder.path() + "' && mkfifo lines && " +
                               "{ printf '61\\n\\n'; IFS= read -r line <lines; printf '%s\\n' \"$line\" >&2; } | " +
                               "\"$@\" >lines";
    const Finished r = tarno_test::run(tarno_test::in_shell(script, {"timeout", "10", TARNO_KEYS_PATH, "--trace"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "tarno/tarno.bmp\t\t \tNorm\tRad\t 1\n");
}

TEST(TarnoKeys, StandardInputThatCannotBeReadIsAnError) {
    const Finished r = tarno_test::run(tarno_test::in_shell("exec \"$@\" < /", {TARNO_KEYS_PATH}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tarno-keys: couldn't read standard input: Is a directory\n");
}

TEST(TarnoKeys, BadTokenExitsWithStatus2AndPrintsNothing) {
    for (const char* args : {"--trace 61 x 62", "61 1,2,3", "61 1.5", "61 ,5", "61 5,", "61 -", "61 1,+", "61 1-2",
                             "--bogus 61", "61 99999999999", "61 2147483648", "61 -2147483649,0"}) {
        SCOPED_TRACE(args);
        const Finished r = run_keys(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
    }
    const Finished r = run_keys("", "61 x\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
}

TEST(TarnoKeys, OffKeyIsHandledLikeAnyKey) {
    const Finished r = run_keys("61 81 62");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 2\n");
}

TEST(TarnoKeys, TapNearTheIntLimitsHitsNoKey) {
    // Wrapped, 2x of this x would land on the Shift key's column.
    const Finished r = run_keys("41 -2147483548,20 41 2147483647,5 -2147483648,-2147483648 41");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 777\n");
}

TEST(TarnoKeys, OutputThatCannotBeWrittenIsAnError) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    Finished r = run_keys_to({"61"}, full);
    close(full);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarno-keys: couldn't write the output: No space left on device\n");

    // A reader that has gone away before the line is written.
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    close(out[0]);
    r = run_keys_to({"61"}, out[1]);
    close(out[1]);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarno-keys: couldn't write the output: Broken pipe\n");
}

TEST(TarnoKeys, BadTokenIsShownShortAndPrintable) {
    const int null = open("/dev/null", O_WRONLY);
    ASSERT_GE(null, 0);
    const std::string prefix = "tarno-keys: '";
    const std::string suffix = "' is neither a key code nor a tap X,Y\n";
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string input;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"control bytes", {"61", "6\x01\x1b[2J\\"}, "", "6\\x01\\x1b[2J\\\\"},
        {"a NUL from standard input", {}, std::string("61 4\0" "1 62", 9), "4\\x001"},
        {"a byte above ASCII", {"\xe9" "1"}, "", "\\xe91"},
        {"exactly 40 bytes", {std::string(40, 'x')}, "", std::string(40, 'x')},
        {"10 MB from standard input", {}, "61 " + std::string(10 << 20, 'x') + " 62", std::string(40, 'x') + "..."},
    };
    for (const Case& c : cases) {
        const Finished r = run_keys_to(c.args, null, c.input);
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.err, prefix + c.shown + suffix) << c.what;
    }
    close(null);
}

}  // namespace
