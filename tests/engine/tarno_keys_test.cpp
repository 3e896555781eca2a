// tarno-keys from outside: its output line, --trace, taps, standard input
// and its refusal of a bad token.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct KeysRun {
    std::string out;
    int status;
};

// Runs tarno-keys through the shell; input, when given, goes to its stdin.
KeysRun run_keys(const std::string& args, const std::string& input = "") {
    std::string command = std::string("'") + TARNO_KEYS_PATH + "' " + args + " 2>/dev/null";
    if (!input.empty()) command = "printf '%s' '" + input + "' | " + command;
    KeysRun run{"", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(TarnoKeys, PrintsTheSixFieldsAfterTheLastToken) {
    KeysRun r = run_keys("61 62 74 63 54 51 85");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 60\n");

    r = run_keys("15 14 24 65 65 34 45");
    EXPECT_EQ(r.out, "tarno/tarno9.bmp\t(2\tM\tSci\tDeg\t 3.141593E+00\n");
}

TEST(TarnoKeys, TracePrintsALineAfterEveryToken) {
    const KeysRun r = run_keys("--trace 61 74 62 85");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 1\n"
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 1\n"
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 2\n"
              "tarno/tarno.bmp\t\t \tNorm\tRad\t 3\n");
}

TEST(TarnoKeys, TapsAreHitTestedAndATapOnNoKeyDoesNothing) {
    // (180, 200) lies on the 7, (100, 100) in no cell: the entry stays open.
    KeysRun r = run_keys("180,200 100,100 180,200");
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 77\n");
    // A code with no action, even a negative one, ends the entry.
    r = run_keys("41 -1 41");
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 7\n");
    r = run_keys("41 -5,-5 41");
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 77\n");
}

TEST(TarnoKeys, ReadsTokensFromStandardInputWhenNoneAreGiven) {
    const KeysRun r = run_keys("", "61 62\n74\t63 85\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 15\n");
}

TEST(TarnoKeys, BadTokenExitsWithStatus2AndPrintsNothing) {
    for (const char* args : {"--trace 61 x 62", "61 1,2,3", "61 1.5", "61 ,5", "--bogus 61", "61 99999999999"}) {
        SCOPED_TRACE(args);
        const KeysRun r = run_keys(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
    }
    const KeysRun r = run_keys("", "61 x\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
}

TEST(TarnoKeys, OffKeyIsHandledLikeAnyKey) {
    const KeysRun r = run_keys("61 81 62");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tarno/tarno.bmp\t\t \tNorm\tRad\t 2\n");
}

}  // namespace
