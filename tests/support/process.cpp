// Starting a program with fork and exec: its standard input from a file
// holding the given text, its standard output and error through pipes that
// poll reads together, so that neither can fill up while the other is read.
#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <thread>

extern char** environ;

namespace tarno_test {

namespace {

using Clock = std::chrono::steady_clock;

// The test's environment with env set on top, as "NAME=value" strings.
std::vector<std::string> environment_with(const Environment& env) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool replaced = false;
        for (const auto& [name, value] : env)
            replaced = replaced || std::strncmp(*entry, (name + "=").c_str(), name.size() + 1) == 0;
        if (!replaced) entries.emplace_back(*entry);
    }
    for (const auto& [name, value] : env) entries.push_back(name + "=" + value);
    return entries;
}

std::vector<char*> pointers_to(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// A descriptor of an unnamed file holding text, read from its start.
int file_holding(const std::string& text) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return -1;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
    const int fd = dup(fileno(file));
    std::fclose(file);
    lseek(fd, 0, SEEK_SET);
    return fd;
}

int exit_status(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

// In the child between fork and exec, so only calls that are safe there:
// the descriptors in place, signals as a shell leaves them, then the program.
[[noreturn]] void become(const Command& command, int in, int out, int err, char** argv, char** envp) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &plain, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != command.keep_fd) close(fd);
    if (!command.directory.empty() && chdir(command.directory.c_str()) != 0) _exit(127);
    execvpe(argv[0], argv, envp);
    _exit(127);
}

}  // namespace

std::vector<std::string> command_line(const std::string& program, const std::string& arguments) {
    std::vector<std::string> argv{program};
    std::istringstream words(arguments);
    for (std::string word; words >> word;) argv.push_back(word);
    return argv;
}

Child::Child(const Command& command) {
    std::vector<std::string> args = command.argv, env = environment_with(command.env);
    std::vector<char*> argv = pointers_to(args), envp = pointers_to(env);
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    const int in = command.input.empty() ? null : file_holding(command.input);
    int out[2] = {-1, -1}, err[2] = {-1, -1};
    const bool collecting = !command.discard_output;
    if (argv.size() > 1 && in >= 0 && (!collecting || (pipe2(out, O_CLOEXEC) == 0 && pipe2(err, O_CLOEXEC) == 0))) {
        const int out_to = command.out_fd >= 0 ? command.out_fd : collecting ? out[1] : null;
        pid_ = fork();
        if (pid_ == 0) become(command, in, out_to, collecting ? err[1] : null, argv.data(), envp.data());
    }
    for (int fd : {out[1], err[1], in == null ? -1 : in, null})
        if (fd >= 0) close(fd);
    out_pipe_ = out[0];
    err_pipe_ = err[0];
}

Child::~Child() {
    if (pid_ > 0 && !ended_) {
        kill(pid_, SIGKILL);
        reap(0);
    }
    for (int fd : {out_pipe_, err_pipe_})
        if (fd >= 0) close(fd);
}

// Reads what has come on the open pipes within timeout_ms, closing those
// that have ended; whether anything came (or ended). With no pipe open it
// only waits.
bool Child::collect(int timeout_ms) {
    pollfd fds[2];
    int* pipes[2];
    std::string* texts[2];
    nfds_t n = 0;
    auto watch = [&](int& pipe, std::string& text) {
        if (pipe < 0) return;
        fds[n] = {pipe, POLLIN, 0};
        pipes[n] = &pipe;
        texts[n++] = &text;
    };
    watch(out_pipe_, out_);
    watch(err_pipe_, err_);
    if (n == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
        return false;
    }
    if (poll(fds, n, timeout_ms) <= 0) return false;
    for (nfds_t i = 0; i < n; ++i) {
        if (fds[i].revents == 0) continue;
        char buffer[65536];
        const ssize_t got = read(*pipes[i], buffer, sizeof buffer);
        if (got > 0) {
            texts[i]->append(buffer, static_cast<std::size_t>(got));
        } else {
            close(*pipes[i]);
            *pipes[i] = -1;
        }
    }
    return true;
}

bool Child::reap(int options) {
    int status = 0;
    if (ended_ || pid_ <= 0 || waitpid(pid_, &status, options) != pid_) return ended_;
    ended_ = true;
    status_ = exit_status(status);
    return true;
}

bool Child::wait_for_err(const std::string& text, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (err_.find(text) == std::string::npos && Clock::now() < end && (out_pipe_ >= 0 || err_pipe_ >= 0)) collect(20);
    return err_.find(text) != std::string::npos;
}

int Child::wait(double seconds) {
    if (pid_ <= 0) return -1;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!reap(WNOHANG)) {
        if (Clock::now() >= end) return -1;
        collect(10);
    }
    while (collect(0)) {
    }
    return status_;
}

void Child::signal(int number) {
    if (pid_ > 0 && !reap(WNOHANG)) kill(pid_, number);
}

void Child::stop() {
    if (pid_ <= 0 || reap(WNOHANG)) return;
    kill(pid_, SIGTERM);
    if (wait(2) == -1) {
        kill(pid_, SIGKILL);
        reap(0);
    }
}

Finished run(const Command& command, double seconds) {
    Child child(command);
    const int status = child.wait(seconds);
    if (status == -1) child.stop();
    return {status, child.out(), child.err()};
}

}  // namespace tarno_test
