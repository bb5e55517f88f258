#pragma once
// zor-sim and other programs as child processes for the integration tests:
// their output on pipes, every wait bounded.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zor::test {

using Clock = std::chrono::steady_clock;

inline constexpr int kProgramWaitMs = 10000;

// A child process with its standard output and error on pipes.
class Child {
public:
    explicit Child(const std::vector<std::string>& args)
    {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int rc = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
        if (rc != 0)
            throw std::runtime_error("cannot start " + args[0]);
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    // The first line of standard output, without its end; "" after a time-out.
    std::string firstLine()
    {
        std::string line;
        char c;
        const auto deadline = Clock::now() + std::chrono::milliseconds(kProgramWaitMs);
        while (readable(out_, deadline) && ::read(out_, &c, 1) == 1) {
            if (c == '\n')
                return line;
            line += c;
        }
        return "";
    }

    // Reads both outputs to their end, then waits for the exit; -1 after a
    // time-out.
    int finish()
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kProgramWaitMs);
        drain(out_, out, deadline);
        drain(err_, err, deadline);
        const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
        const bool ended = pidfd >= 0 && readable(pidfd, deadline);
        if (pidfd >= 0)
            ::close(pidfd);
        if (!ended)
            return -1;
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void signal(int sig) { ::kill(pid_, sig); }

    std::string out, err;

private:
    static bool readable(int fd, Clock::time_point deadline)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p { fd, POLLIN, 0 };
        return left > 0 && ::poll(&p, 1, static_cast<int>(left)) == 1;
    }
    static void drain(int fd, std::string& into, Clock::time_point deadline)
    {
        char buf[4096];
        ssize_t n;
        while (readable(fd, deadline) && (n = ::read(fd, buf, sizeof buf)) > 0)
            into.append(buf, static_cast<size_t>(n));
    }

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
};

struct Outcome {
    int status;
    std::string out, err;
};

inline Outcome run(const std::vector<std::string>& args)
{
    Child c(args);
    const int status = c.finish();
    return { status, c.out, c.err };
}

// zor-sim for the length of a test; path() is the first line it prints: its
// pseudo-terminal, or the name of its TCP port.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args = {})
        : child_([&] {
            args.insert(args.begin(), ZOR_SIM_BINARY);
            return args;
        }())
        , path_(child_.firstLine())
    {
    }
    const std::string& path() const { return path_; }
    // SIGTERM, then the exit status.
    int stop()
    {
        child_.signal(SIGTERM);
        return child_.finish();
    }

private:
    Child child_;
    std::string path_;
};

} // namespace zor::test
