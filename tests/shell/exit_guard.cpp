// The shutdown ends the process with status 0. Reached by mistake inside a
// test (a press that lands on Off, then another pass), it would end the
// test program in the middle with the status of a run that passed, and
// every test after it would go unrun unnoticed. Such an end is turned into
// a failure here. The child processes of death tests end as they please.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

const pid_t test_program = getpid();

void fail_an_end_inside_a_test() {
    if (getpid() != test_program || !GTEST_FLAG_GET(internal_run_death_test).empty()) return;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr) return;
    std::fflush(stdout);
    std::fprintf(stderr, "%s.%s ended the test program\n", test->test_suite_name(), test->name());
    _exit(1);
}

[[maybe_unused]] const int registered = std::atexit(fail_an_end_inside_a_test);

}  // namespace
