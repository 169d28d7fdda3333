#pragma once
// The built receiver simulator on end B of the built line simulator, for
// tests that connect to end A as the PC.

#include <memory>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace pelagor::test {

// The simulator on end B of a line simulator; the view connects to end A.
class SimulatedReceiver {
 public:
  explicit SimulatedReceiver(std::vector<std::string> options, std::vector<std::string> lineOptions = {})
      : line_(lineOptions) {
    if (!line_.Ok()) return;
    std::vector<std::string> argv{PELAGOR_STBSIM, "--device", line_.Path(1), "--byte-wait-ms", "2000", "--no-pauses"};
    argv.insert(argv.end(), options.begin(), options.end());
    sim_ = std::make_unique<ChildProcess>(argv);
    ready_ = sim_->WaitFor("READY").has_value();
  }
  bool Ok() const { return ready_; }
  const std::string& PcPort() const { return line_.Path(0); }
  ChildProcess& Sim() { return *sim_; }

 private:
  LineSimProcess line_;
  std::unique_ptr<ChildProcess> sim_;
  bool ready_ = false;
};

}  // namespace pelagor::test
