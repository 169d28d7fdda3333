#pragma once
// The lengths of every wait on the link, in one record a test can shrink.

#include <cstdint>
#include <functional>

namespace pelagor {

// Every wait of the serial layer and the ZMODEM engine reads its length from here,
// so tests can run multi-second time-outs in milliseconds.
struct LinkTiming {
  uint32_t writeWaitMs = 5000;         // WriteCommBlock bound on a pending write
  uint32_t readBlockWaitMs = 4000;     // ReadCommBlock bound on a pending read
  uint32_t waitDataPollMs = 50;        // WaitCommData: one poll; S seconds = S*20 polls
  uint32_t infoReplyWaitMs = 3000;     // QueryReceiverInfo reply bound
  uint32_t zmodemBytePollMs = 100;     // ZMODEM byte read: poll interval
  uint32_t zmodemBytePollCount = 140;  // ... and number of polls (14 s)
  // A transfer whose peer has answered once ends when it makes no progress this long.
  uint32_t zmodemStallMs = 30000;
  uint32_t pauseLongMs = 1000;
  uint32_t pauseMediumMs = 50;
  uint32_t pauseShortMs = 30;
  // Replaces the plain sleep of every poll and pause when set, so a test can count polls.
  std::function<void(uint32_t ms)> pause;
};

}  // namespace pelagor
