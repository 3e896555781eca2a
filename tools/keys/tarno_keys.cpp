// tarno-keys [--trace] TOKEN...
//
// Runs key codes and taps through the calculator from power-on and prints
// what the screen would show, as one tab-separated line after the last token
// (after every token with --trace). With no tokens in the arguments they are
// read from standard input. A bad token is reported and nothing is printed.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell.h"
#include "tokens.h"

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
    std::vector<tarno::Token> tokens;
    if (!tarno::read_tokens("tarno-keys", words, tokens)) return 2;

    tarno::power_on();
    std::string out;
    for (const tarno::Token& token : tokens) {
        tarno::run_token(token);
        if (trace) out += tarno::status_line(tarno::read_only_calc_state()) + '\n';
    }
    if (!trace || tokens.empty()) out += tarno::status_line(tarno::read_only_calc_state()) + '\n';
    // The line is the tool's whole answer: one that did not reach its reader
    // (a full disk, a reader gone away) is an error, not a success.
    const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    if (!written || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "tarno-keys: couldn't write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
