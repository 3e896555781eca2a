// Other programs run by the tests: one way to start one, talk to it while it
// runs and collect its exit status, standard output and standard error.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace tarno_test {

using Environment = std::vector<std::pair<std::string, std::string>>;

// program followed by the blank-separated words of arguments, as a shell would split them.
std::vector<std::string> command_line(const std::string& program, const std::string& arguments);

// What to run and how.
struct Command {
    std::vector<std::string> argv;  // argv[0] is looked up in PATH
    Environment env = {};           // set on top of the test's own environment
    std::string input = {};         // standard input's whole text
    std::string directory = {};     // where it runs; empty: the test's directory
    int out_fd = -1;                // standard output to this descriptor instead of being collected
    int keep_fd = -1;               // a descriptor of the test's that the program keeps open
    bool discard_output = false;    // standard output and error to /dev/null (for servers nobody reads)
};

// A started program. It dies with the test process, and is killed and reaped
// when the object goes, unless it has ended by then.
class Child {
public:
    explicit Child(const Command& command);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Collects output until standard error holds text or seconds have passed; whether it does.
    bool wait_for_err(const std::string& text, double seconds);
    // Collects output until the program ends: its exit status, 128 + the signal that ended it, or -1 while it runs after seconds.
    int wait(double seconds);
    // Sends it signal number unless it has ended.
    void signal(int number);
    // Ends it (SIGTERM, then SIGKILL after 2 s) unless it has ended, and reaps it.
    void stop();

    pid_t pid() const { return pid_; }              // -1 when it could not be started
    const std::string& out() const { return out_; }  // standard output so far
    const std::string& err() const { return err_; }  // standard error so far

private:
    bool collect(int timeout_ms);
    bool reap(int options);

    pid_t pid_ = -1;
    int out_pipe_ = -1, err_pipe_ = -1;
    bool ended_ = false;
    int status_ = -1;
    std::string out_, err_;
};

// How a program that was run to its end went.
struct Finished {
    int status;  // the exit status, 128 + the signal that ended it, or -1 when it had to be killed after the time allowed
    std::string out, err;
};

// Runs command to its end, killing it after seconds.
Finished run(const Command& command, double seconds = 60);

}  // namespace tarno_test
