#pragma once

// A built tool run as a child process: its standard output is read line by line with
// bounded waits, and it is stopped (SIGTERM, then waited for) when the test ends.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv) {
    int out[2];
    if (::pipe(out) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
    ::close(out[1]);
    m_out = out[0];
    ::fcntl(m_out, F_SETFL, O_NONBLOCK);
  }
  ~ChildProcess() {
    Stop();
    if (m_out >= 0) ::close(m_out);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return m_pid > 0; }

  // The next output line, or nothing if none is complete within waitMs.
  std::optional<std::string> ReadLine(int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
      const auto nl = m_buffer.find('\n');
      if (nl != std::string::npos) {
        std::string line = m_buffer.substr(0, nl);
        m_buffer.erase(0, nl + 1);
        return line;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || m_out < 0) return std::nullopt;
      pollfd p{m_out, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char buf[256];
      const ssize_t r = ::read(m_out, buf, sizeof buf);
      if (r == 0) return std::nullopt;  // the child closed its output
      if (r > 0) m_buffer.append(buf, static_cast<size_t>(r));
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

  // Ends the child (SIGTERM, and SIGKILL if it is still there after 20 s) and reaps it;
  // its exit status (-1 when it did not exit normally).
  int Stop() {
    if (m_pid <= 0) return m_status;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    pid_t done = 0;
    while ((done = ::waitpid(m_pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
      ::usleep(2000);
    if (done == 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, &status, 0);
      status = -1;
    }
    m_pid = -1;
    m_status = done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m_status;
  }

 private:
  pid_t m_pid = -1;
  int m_out = -1;
  int m_status = -1;
  std::string m_buffer;
};
