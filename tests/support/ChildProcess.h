// Programs run as child processes by the tests (POSIX only): a built tool whose
// standard output is read line by line with bounded waits, or a peer program
// (sz, rz) with its standard input and output on a terminal; each is ended and
// reaped when the test is done with it. Also the built line and receiver
// simulators, whose pseudo-terminals the tests connect to.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pelagor::test {

class ChildProcess {
 public:
  // A built program (argv[0] its path) with its standard output on a pipe.
  explicit ChildProcess(const std::vector<std::string>& argv) {
    int out[2];
    if (::pipe(out) != 0) return;
    std::vector<char*> args = Args(argv);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
    ::close(out[1]);
    if (pid_ < 0) {
      ::close(out[0]);
      return;
    }
    out_ = out[0];
    ::fcntl(out_, F_SETFL, O_NONBLOCK);
  }

  // A program found on the PATH with its standard input and output on a terminal:
  // ttyFd, or ttyPath opened in the child when ttyFd is -1. It runs in workDir with
  // its standard error in the file errLog, and is killed outright if it outlives
  // the test.
  ChildProcess(const std::vector<std::string>& argv, int ttyFd, const std::string& ttyPath, const std::string& workDir,
               const std::string& errLog)
      : endSignal_(SIGKILL) {
    std::vector<char*> args = Args(argv);
    pid_ = ::fork();
    if (pid_ == 0) {
      int fd = ttyFd >= 0 ? ttyFd : ::open(ttyPath.c_str(), O_RDWR | O_NOCTTY);
      if (fd < 0 || ::chdir(workDir.c_str()) != 0) ::_exit(126);
      int flags = ::fcntl(fd, F_GETFL);
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
      ::dup2(fd, 0);
      ::dup2(fd, 1);
      int err = ::open(errLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (err >= 0) ::dup2(err, 2);
      ::execvp(args[0], args.data());
      ::_exit(127);
    }
  }

  ~ChildProcess() {
    Stop();
    if (out_ >= 0) ::close(out_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0 || done_; }
  bool Running() const { return pid_ > 0; }

  // The next output line, or nothing if none is complete within waitMs.
  std::optional<std::string> ReadLine(int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
      const auto nl = buffer_.find('\n');
      if (nl != std::string::npos) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        return line;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || out_ < 0) return std::nullopt;
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char buf[256];
      const ssize_t r = ::read(out_, buf, sizeof buf);
      if (r == 0) return std::nullopt;  // the child closed its output
      if (r > 0) buffer_.append(buf, static_cast<size_t>(r));
    }
  }

  // Skips lines until one starts with prefix; returns the rest of that line. The wait
  // ends with the line, so the default bound is roomy enough for a loaded machine.
  std::optional<std::string> WaitFor(const std::string& prefix, int waitMs = 30000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      auto line = ReadLine(static_cast<int>(std::max<long long>(left.count(), 0)));
      if (!line) return std::nullopt;
      if (line->rfind(prefix, 0) == 0) return line->substr(prefix.size());
    }
  }

  // Waits for the child to end by itself: its exit status (128 + the signal when a
  // signal ended it), or -1 if it still ran after waitMs (it is then killed).
  int Wait(int waitMs) {
    if (done_) return status_;
    if (pid_ <= 0) return -1;
    for (int i = 0; i < waitMs / 5 + 1; ++i) {
      int st = 0;
      if (::waitpid(pid_, &st, WNOHANG) == pid_) {
        Reaped(WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st));
        return status_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    Reaped(-1);
    return -1;
  }

  // Ends the child (SIGTERM for a built tool, and SIGKILL if it is still there after
  // 20 s) and reaps it; its exit status (-1 when it did not exit normally).
  int Stop() {
    if (pid_ <= 0) return status_;
    ::kill(pid_, endSignal_);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    pid_t done = 0;
    while ((done = ::waitpid(pid_, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
      ::usleep(2000);
    if (done == 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      status = -1;
    }
    Reaped(done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return status_;
  }

 private:
  // argv as execv wants it; built before the fork, as the child of a threaded
  // test may not allocate.
  static std::vector<char*> Args(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
  }
  void Reaped(int status) {
    pid_ = -1;
    done_ = true;
    status_ = status;
  }

  pid_t pid_ = -1;
  int endSignal_ = SIGTERM;
  int out_ = -1;
  bool done_ = false;
  int status_ = -1;
  std::string buffer_;
};

// The built line simulator: two pseudo-terminals joined, Path(0) and Path(1) its
// A and B ends. Stop takes the line away: both ends hang up, as a pulled cable
// does. PELAGOR_LINESIM names the simulator in the targets that run it.
class LineSimProcess {
 public:
  explicit LineSimProcess(const std::vector<std::string>& options, const std::string& program = LineSimPath())
      : sim_(Argv(program, options)) {
    if (auto a = sim_.WaitFor("A ")) paths_[0] = *a;
    if (auto b = sim_.WaitFor("B ")) paths_[1] = *b;
  }
  void Stop() { sim_.Stop(); }
  bool Ok() const { return sim_.Running() && !paths_[0].empty() && !paths_[1].empty(); }
  const std::string& Path(int i) const { return paths_[i]; }

 private:
  static std::string LineSimPath() {
#ifdef PELAGOR_LINESIM
    return PELAGOR_LINESIM;
#else
    return {};
#endif
  }
  static std::vector<std::string> Argv(const std::string& program, const std::vector<std::string>& options) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
  }

  ChildProcess sim_;
  std::string paths_[2];
};

#ifdef PELAGOR_STBSIM
// The built receiver simulator on a pseudo-terminal of its own; fills path with
// its port (empty when it did not come up).
inline std::unique_ptr<ChildProcess> StartStbSim(std::vector<std::string> args, std::string& path) {
  args.insert(args.begin(), PELAGOR_STBSIM);
  auto sim = std::make_unique<ChildProcess>(args);
  if (auto port = sim->WaitFor("PORT ")) path = *port;
  if (!sim->WaitFor("READY")) path.clear();
  return sim;
}
#endif

}  // namespace pelagor::test
