// pelagor-cli download and upload as a built binary, against the built
// receiver simulator through the built line simulator.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "integration/SimulatedReceiver.h"
#include "zmodem/ZmodemTestSupport.h"

namespace pelagor::test {
namespace {

using zmtest::Bytes;
namespace fs = std::filesystem;

constexpr const char* kDownloadSuccess =
    "Download Success !\n\nDo not power off the receiver until reboot automatically !\n";

// The CLI as a child: standard output on a pipe, standard error on a pipe or
// on a terminal (the pty's other end), both collected as they come.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, bool errOnTerminal) {
    int out[2], err[2] = {-1, -1};
    if (::pipe(out) != 0) return;
    if (errOnTerminal) {
      if (!tty_.Ok()) return;
    } else if (::pipe(err) != 0) {
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::dup2(errOnTerminal ? tty_.Slave() : err[1], STDERR_FILENO);
      std::vector<std::string> argv{PELAGOR_CLI};
      argv.insert(argv.end(), args.begin(), args.end());
      std::vector<char*> p;
      for (auto& a : argv) p.push_back(const_cast<char*>(a.c_str()));
      p.push_back(nullptr);
      ::execv(p[0], p.data());
      ::_exit(127);
    }
    ::close(out[1]);
    out_ = out[0];
    if (errOnTerminal) {
      err_ = tty_.Master();
    } else {
      ::close(err[1]);
      err_ = err[0];
      ownErr_ = true;
    }
  }
  ~CliProcess() {
    if (pid_ > 0 && status_ < -1) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
    if (ownErr_ && err_ >= 0) ::close(err_);
  }

  // Collects output until standard error holds text or waitMs passed.
  bool WaitErr(const std::string& text, int waitMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (err.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= until) return false;
      Pump(20);
    }
    return true;
  }
  void Interrupt() { ::kill(pid_, SIGINT); }
  // Waits for the exit (at most waitMs) and collects the rest of the output.
  int Finish(int waitMs = 60000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (status_ < -1 && std::chrono::steady_clock::now() < until) {
      int st = 0;
      if (::waitpid(pid_, &st, WNOHANG) == pid_) status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
      Pump(20);
    }
    Pump(0);
    return status_;
  }

  std::string out, err;

 private:
  void Pump(int ms) {
    pollfd p[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (::poll(p, 2, ms) <= 0) return;
    char buf[4096];
    for (int i = 0; i < 2; ++i) {
      if (!(p[i].revents & POLLIN)) continue;
      const ssize_t r = ::read(p[i].fd, buf, sizeof buf);
      if (r > 0) (i == 0 ? out : err).append(buf, size_t(r));
    }
  }

  zmtest::PtyLine tty_;
  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  bool ownErr_ = false;
  int status_ = -2;
};

struct CliResult {
  int status;
  std::string out, err;
};

CliResult RunCli(const std::vector<std::string>& args) {
  CliProcess p(args, false);
  const int status = p.Finish();
  return {status, p.out, p.err};
}

class CliTransfer : public ::testing::TestWithParam<const char*> {
 protected:
  std::string File(const std::string& name) const { return dir.File(name); }
  zmtest::TempDir dir;
};

TEST_P(CliTransfer, DownloadSendsTheFileAndUploadWritesTheReceiversData) {
  const Bytes stbData = BuildDownloadImage(DemoWorkspace());
  ASSERT_TRUE(zmtest::WriteFile(File("stb.bin"), stbData));
  SimulatedReceiver stb({"--peer", GetParam(), "--workspace", File("stb.bin"), "--save-received", File("got.bin")});
  ASSERT_TRUE(stb.Ok());

  const CliResult up = RunCli({"upload", "--port", stb.PcPort(), File("out.bin")});
  EXPECT_EQ(up.status, 0) << up.err;
  EXPECT_EQ(up.out, "");
  EXPECT_EQ(up.err, "");  // no terminal: no progress line
  EXPECT_EQ(stb.Sim().WaitFor("UPLOAD "), "0");
  EXPECT_EQ(zmtest::ReadFile(File("out.bin")), stbData);
  EXPECT_FALSE(fs::exists(File("out.bin.part")));

  const Bytes software = zmtest::ControlHeavyBytes(70 * 1024 + 3);
  ASSERT_TRUE(zmtest::WriteFile(File("main.rom"), software));
  const CliResult down = RunCli({"download", "--port", stb.PcPort(), File("main.rom")});
  EXPECT_EQ(down.status, 0) << down.err;
  EXPECT_EQ(down.out, kDownloadSuccess);
  EXPECT_EQ(down.err, "");
  EXPECT_EQ(stb.Sim().WaitFor("RECEIVED "), std::to_string(software.size()) + " FILE");
  EXPECT_EQ(zmtest::ReadFile(File("got.bin")), software);
}

TEST_P(CliTransfer, UploadWithoutAnnouncementTakesWhatIsSentAtOnce) {
  SimulatedReceiver stb({"--peer", GetParam(), "--send-now"});
  ASSERT_TRUE(stb.Ok());
  const CliResult up = RunCli({"upload", "--port", stb.PcPort(), "--no-announce", File("out.bin")});
  EXPECT_EQ(up.status, 0) << up.err;
  EXPECT_EQ(zmtest::ReadFile(File("out.bin")), BuildDownloadImage(DemoWorkspace()));
}

INSTANTIATE_TEST_SUITE_P(Peers, CliTransfer, ::testing::Values("engine", "lrzsz"));

class CliTransferFailure : public CliTransfer {};

TEST_F(CliTransferFailure, UnreadableFileSendsNothing) {
  SimulatedReceiver stb({});
  ASSERT_TRUE(stb.Ok());
  for (const std::string& path : {File("missing.bin"), dir.Path()}) {
    const CliResult r = RunCli({"download", "--port", stb.PcPort(), path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "File Open Failed !\n");
  }
  EXPECT_FALSE(stb.Sim().WaitFor("PEER", 300));
}

TEST_F(CliTransferFailure, SilentSenderIsAnUploadErrorAndWritesNothing) {
  SimulatedReceiver stb({});  // sends nothing without the frame
  ASSERT_TRUE(stb.Ok());
  const CliResult r =
      RunCli({"upload", "--port", stb.PcPort(), "--no-announce", "--byte-wait-ms", "5", File("out.bin")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Upload Error !\n");
  EXPECT_FALSE(fs::exists(File("out.bin")));
}

TEST_F(CliTransferFailure, UnopenablePortIsNamed) {
  const CliResult r = RunCli({"upload", "--port", "/dev/pelagor-absent", File("out.bin")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Can not open /dev/pelagor-absent !\n");
}

// At the receiver's baud rate the transfer takes long enough to interrupt.
TEST_F(CliTransferFailure, CtrlCStopsADownloadOnATerminalLikeStop) {
  SimulatedReceiver stb({}, {"--baud", "115200"});
  ASSERT_TRUE(stb.Ok());
  ASSERT_TRUE(zmtest::WriteFile(File("big.rom"), zmtest::RandomBytes(300 * 1024, 4)));
  CliProcess cli({"download", "--port", stb.PcPort(), File("big.rom")}, true);
  ASSERT_TRUE(cli.WaitErr("Transferring... : ", 30000)) << cli.err;
  EXPECT_TRUE(cli.WaitErr(" / 307200 bytes (0", 30000)) << cli.err;
  cli.Interrupt();
  EXPECT_EQ(cli.Finish(), 1);
  EXPECT_NE(cli.err.find("\nDownload Cancelled !"), std::string::npos) << cli.err;
  EXPECT_EQ(cli.out, "");
  // What the line still held reaches the receiver before the abort does.
  const auto status = stb.Sim().WaitFor("DOWNLOAD ", 60000);
  ASSERT_TRUE(status);
  EXPECT_NE(*status, "0");
}

}  // namespace
}  // namespace pelagor::test
