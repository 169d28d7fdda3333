#include "CommandZmodemPeer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <utility>

namespace pelagor {

CommandZmodemPeer::CommandZmodemPeer(std::string receiveCommand, std::string sendCommand,
                                     const volatile std::sig_atomic_t* stop)
    : receiveCommand_(std::move(receiveCommand)), sendCommand_(std::move(sendCommand)), stop_(stop) {}

int CommandZmodemPeer::ReceiveFromPc(int fd) { return Run(receiveCommand_, fd); }

int CommandZmodemPeer::SendToPc(int fd) { return Run(sendCommand_, fd); }

int CommandZmodemPeer::Run(const std::string& command, int fd) {
  if (command.empty()) return -1;
  // The program expects an ordinary blocking line; the flag is shared with our
  // descriptor, so it is put back once the program is done.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  const int status = Wait(command, fd);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags);
  return status;
}

int CommandZmodemPeer::Wait(const std::string& command, int fd) {
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::dup2(fd, STDIN_FILENO);
    ::dup2(fd, STDOUT_FILENO);
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0) return -1;
    if (stop_ && *stop_) {
      ::kill(pid, SIGTERM);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace pelagor
