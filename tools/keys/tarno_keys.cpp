// tarno-keys [--trace] TOKEN...
//
// Runs key codes and taps through the calculator from power-on and prints
// what the screen would show, as one tab-separated line after the last token
// (after every token with --trace). With no tokens in the arguments they are
// read from standard input and each runs as soon as it is read, so that a
// run of any length takes the memory of a short one.
//
// A bad token is reported with status 2, a read error with status 1. Without
// --trace nothing is printed then: the one line comes after the last token.
// With --trace the lines go out as the tokens run, each at the latest when
// the tool waits for more input. Tokens given as arguments are all checked
// first, so a bad one prints nothing; on standard input a token is checked
// only when it is read, so the lines of the tokens before a bad token or a
// read error have been printed by then, and the status says that the trace
// stops short.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell.h"
#include "tokens.h"

namespace {

// Prints the status line for the calculator's present state; false when the
// output has failed, with errno saying why.
bool print_status_line() {
    const std::string line = tarno::status_line(tarno::read_only_calc_state()) + '\n';
    return std::fputs(line.c_str(), stdout) != EOF && !std::ferror(stdout);
}

// The lines are the tool's whole answer: one that did not reach its reader
// (a full disk, a reader gone away) is an error, not a success.
int output_failed() {
    std::fprintf(stderr, "tarno-keys: couldn't write the output: %s\n", std::strerror(errno));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    tarno::keep_standard_streams_open();
    // A reader that has gone away would otherwise kill the tool silently with
    // SIGPIPE; ignored, the write fails with EPIPE and is reported, status 1.
    std::signal(SIGPIPE, SIG_IGN);
    bool trace = false;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            trace = true;
        } else if (tarno::looks_like_option(arg)) {
            std::fprintf(stderr, "tarno-keys: unknown option '%s' (usage: tarno-keys [--trace] TOKEN...)\n",
                         tarno::shown_argument(arg).c_str());
            return 2;
        } else {
            words.push_back(arg);
        }
    }
    tarno::TokenReader reader("tarno-keys", words);
    tarno::power_on();
    bool any_token = false;
    tarno::Token token;
    while (reader.next(token)) {
        tarno::run_token(token);
        any_token = true;
        // A trace whose reader has gone stops here, even on endless input.
        if (trace && !print_status_line()) return output_failed();
        // A program that feeds the tokens one at a time gets each line
        // before it sends the next.
        if (trace && reader.input_drained() && std::fflush(stdout) != 0) return output_failed();
    }
    if (reader.status() != 0) return reader.status();
    if ((!trace || !any_token) && !print_status_line()) return output_failed();
    if (std::fflush(stdout) != 0) return output_failed();
    return 0;
}
