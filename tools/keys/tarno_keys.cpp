// tarno-keys [--trace] TOKEN...
//
// Runs key codes and taps through the calculator from power-on and prints
// what the screen would show, as one tab-separated line after the last token
// (after every token with --trace). With no tokens in the arguments they are
// read from standard input. A bad token is reported and nothing is printed.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tokens.h"

namespace {

bool looks_like_option(const std::string& arg) {
    // "-1" and "-5,-5" are tokens: a key code or a tap left of the screen.
    return arg.size() >= 2 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

}  // namespace

int main(int argc, char** argv) {
    bool trace = false;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            trace = true;
        } else if (looks_like_option(arg)) {
            std::fprintf(stderr, "tarno-keys: unknown option '%s' (usage: tarno-keys [--trace] TOKEN...)\n",
                         arg.c_str());
            return 2;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        const std::string input{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
        words = tarno::split_words(input);
    }

    std::vector<tarno::Token> tokens(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!tarno::parse_token(words[i], tokens[i])) {
            std::fprintf(stderr, "tarno-keys: '%s' is neither a key code nor a tap X,Y\n", words[i].c_str());
            return 2;
        }
    }

    tarno::power_on();
    std::string out;
    for (const tarno::Token& token : tokens) {
        tarno::run_token(token);
        if (trace) out += tarno::status_line(tarno::calc_state()) + '\n';
    }
    if (!trace || tokens.empty()) out += tarno::status_line(tarno::calc_state()) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
