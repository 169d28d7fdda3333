#pragma once

// Runs sz or rz (lrzsz) as a child with its standard input and output on a tty, in a
// working folder of the test's choosing; kills it if it outlives the test.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zmtest {

class PeerProcess {
 public:
  // ttyFd: an open tty end for the child's stdin/stdout, or -1 to open ttyPath in the child.
  PeerProcess(const std::vector<std::string>& argv, int ttyFd, const std::string& ttyPath, const std::string& workDir,
              const std::string& errLog) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
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
  ~PeerProcess() {
    if (m_pid > 0 && !m_done) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  bool Started() const { return m_pid > 0; }

  // Exit status, or -1 if still running after waitMs (the child is then killed).
  int Wait(int waitMs) {
    if (m_pid <= 0) return -1;
    if (m_done) return m_status;
    for (int i = 0; i < waitMs / 5 + 1; ++i) {
      int st = 0;
      pid_t r = ::waitpid(m_pid, &st, WNOHANG);
      if (r == m_pid) {
        m_done = true;
        m_status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return m_status;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_done = true;
    m_status = -1;
    return -1;
  }

 private:
  pid_t m_pid = -1;
  bool m_done = false;
  int m_status = -1;
};

// pelagor-linesim as a child: two ptys joined; Path(0) and Path(1) are its A and B ends.
class LineSimProcess {
 public:
  explicit LineSimProcess(const std::vector<std::string>& options) {
    int out[2];
    if (::pipe(out) != 0) return;
    std::vector<std::string> argv{PELAGOR_LINESIM};
    argv.insert(argv.end(), options.begin(), options.end());
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(out[1], 1);
      ::close(out[0]);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
    ::close(out[1]);
    // Two lines: "A /dev/pts/N" and "B /dev/pts/M".
    std::string text;
    char c;
    while (std::count(text.begin(), text.end(), '\n') < 2 && ::read(out[0], &c, 1) == 1) text += c;
    ::close(out[0]);
    size_t a = text.find("A "), nl = text.find('\n'), b = text.find("B ");
    if (a != std::string::npos && b != std::string::npos && nl != std::string::npos) {
      m_paths[0] = text.substr(a + 2, nl - a - 2);
      m_paths[1] = text.substr(b + 2, text.find('\n', b) - b - 2);
    }
  }
  ~LineSimProcess() { Stop(); }
  // Takes the line away: both ends hang up, as a pulled cable does.
  void Stop() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGTERM);
      ::waitpid(m_pid, nullptr, 0);
      m_pid = -1;
    }
  }
  bool Ok() const { return m_pid > 0 && !m_paths[0].empty() && !m_paths[1].empty(); }
  const std::string& Path(int i) const { return m_paths[i]; }

 private:
  pid_t m_pid = -1;
  std::string m_paths[2];
};

}  // namespace zmtest
