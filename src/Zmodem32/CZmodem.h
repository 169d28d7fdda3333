#pragma once
// The ZMODEM engine: one session on a borrowed serial handle, with its framing, the
// sender, the receiver and the worker thread they run on.

#include "Zmodem32/ZmodemResult.h"
#include "Zmodem32/ZmodemState.h"
#include "link/CSerialPort.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace pelagor {

class CTransferDlg;
class TransferUi;

// A serial port with the ZMODEM engine added. It borrows the link port's handle for one
// transfer and runs the sender or the receiver on its own worker thread. State, buffers
// and stop flags belong to the session, so two sessions can talk to each other in one
// process (tests); the program still runs one transfer at a time.
class CZmodem : public CSerialPort {
 public:
  enum Mode : int32_t { kModeReceive = 0, kModeSend = 2 };

  explicit CZmodem(LinkTiming timing = {});
  ~CZmodem();
  CZmodem(const CZmodem&) = delete;
  CZmodem& operator=(const CZmodem&) = delete;

  // Session control: start the worker. Nothing starts without an open handle or while a
  // session has already started; Started() tells which.
  void StartSend(CTransferDlg* host, SerialHandle port, const std::string& path, uint16_t value);
  void StartReceive(CTransferDlg* host, SerialHandle port, const std::string& receiveDir, uint16_t value);
  // Waits for the worker, if one was started.
  void Join();
  bool Started() const { return started_; }
  bool Running() const { return running_.load(); }
  void AbortSession();
  void ShowProgress(int32_t position);
  void ShowFileName(const std::string& text);
  void ShowStatus(const std::string& text);

  // Stop: the host's flag (tested by the protocol) and the byte-wait flag.
  void RequestStop();
  void ClearStop();
  bool StopTest() const { return hostStop_.load(); }

  // Where protocol text goes; may be null. Set before the worker starts.
  void SetUi(TransferUi* ui) { ui_ = ui; }

  // Thread procedures (also callable on the current thread once a handle is attached).
  static void SendZmodemThreadProc(CZmodem* session);
  static void ReceiveZmodemThreadProc(CZmodem* session);
  void RunSend();
  void RunReceive();

  // Results; read only after the worker has ended.
  ZmodemCode Result() const { return result_; }
  ZmodemCode CancelResult() const { return cancelResult_; }
  int32_t StateCode() const { return stateCode_; }
  int64_t StartTime() const { return startTime_; }
  int64_t EndTime() const { return endTime_; }
  const std::string& ReceivedNames() const { return receivedNames_; }
  const ZmodemState& State() const { return state_; }
  ZmodemState& MutableState() { return state_; }
  // Received data with the length handed over (dataBytes); the caller owns it.
  [[nodiscard]] std::vector<uint8_t> TakeData();
  int32_t DataLength() const { return dataLength_; }
  int32_t Mode() const { return mode_; }

  // Framing.
  [[nodiscard]] int ReadByte();
  [[nodiscard]] int ReadStripped();
  [[nodiscard]] int ReadHexByte();
  [[nodiscard]] int ReadEscaped();
  void ClearTx() { txLen_ = 0; }
  void FlushTx();
  void PutRaw(int c);
  void PutEscaped(int c);
  void PutHex(int c);
  void SendHexHeader(int length, int type, const uint8_t* hdr);
  // Builds a hex header at the end of TxBuffer without writing it.
  void AppendHexHeader(int length, int type, const uint8_t* hdr);
  void SendBinaryHeader(int length, int type, const uint8_t* hdr);
  [[nodiscard]] int ReceiveHeader(uint8_t* hdr);
  void SendSubpacket(const uint8_t* data, int length, int terminator);
  [[nodiscard]] int ReceiveSubpacket(uint8_t* buf, int maxLength);
  bool LastHeaderCrc32() const { return rxCrc32_; }

  // Header helpers: a position travels little-endian in the four bytes.
  static void StorePos(uint8_t* hdr, int32_t pos);
  static int32_t LoadPos(const uint8_t* hdr);

  // The engine reads ahead from the port; these include what it holds.
  [[nodiscard]] int32_t WaitCommData(uint32_t seconds);
  // Drops queued bytes that cannot start a header, without waiting; true when a frame
  // start (ZPAD) is queued.
  [[nodiscard]] bool HeaderPending();
  void PurgeReceive();

  // The sender's and the receiver's building blocks.
  void SendFileInfo();
  [[nodiscard]] int SendFileData(const std::vector<uint8_t>* image, int32_t length, int32_t offset, int count);
  [[nodiscard]] int ParseFileInfo(bool headerRead);
  [[nodiscard]] int ReceiveFileData(std::vector<uint8_t>& buf);

  // Largest frame built: a full subpacket with every byte escaped, ZDLE, terminator,
  // an escaped CRC-32 and XON, with room to spare.
  static constexpr size_t kTxBufferSize = 2 * 1024 + 64;
  // The receive buffer is allocated from the peer's announced length; refuse absurd ones.
  static constexpr int32_t kMaxReceiveSize = 256 * 1024 * 1024;

  // The line is gone or the transfer stalled: a write did not complete, the device
  // reported a failure, or, once the peer has answered, nothing moved the transfer on
  // for the stall time. Every byte wait then ends at once.
  [[nodiscard]] bool LineDown();

 private:
  void Sleep(uint32_t ms);
  // Marks the transfer as moving; the first call arms the stall watch.
  void NoteProgress();
  bool FillInput();
  void Status(const std::string& text) { ShowStatus(text); }
  void TakeZrinit(const uint8_t* hdr);
  void SendZrqinit();
  void SendPosHeader(int type, int32_t pos);
  void SendZrinit();
  int AwaitRepeat(uint8_t* hdr);
  // The outcome, times, line-failure mark and progress marks of a new session.
  void BeginSession();
  void FinishSend();
  void FinishReceive();
  bool AcceptFile(bool first);
  void AppendReceivedName();
  void SetReceivedFileTime();
  bool CountError();

  ZmodemState state_;
  std::array<uint8_t, kTxBufferSize> tx_{};
  size_t txLen_ = 0;
  std::array<uint8_t, 4096> in_{};
  size_t inPos_ = 0, inLen_ = 0;
  bool rxCrc32_ = false;
  bool stallArmed_ = false;
  bool readFailed_ = false;  // the last ReadByte found no byte (silence, stop, lost line)
  uint32_t replyPolls_ = 0;  // nonzero: byte waits cut to this many polls (mid-stream replies)
  std::chrono::steady_clock::time_point lastProgress_{};
  int32_t progressMark_ = 0;     // furthest data position reached in this session
  int32_t askedMark_ = 0;        // sending: furthest position the receiver has asked for
  bool windowed_ = false;        // sending: acknowledged subpackets, a bounded window ahead
  int32_t ackPos_ = 0;           // sending: position the receiver last confirmed
  int32_t cleanSubpackets_ = 0;  // full subpackets sent since the receiver last asked again

  std::string receiveDir_;
  std::string sendPath_;
  int32_t mode_ = kModeReceive;
  CTransferDlg* host_ = nullptr;
  TransferUi* ui_ = nullptr;
  std::thread thread_;
  bool started_ = false;
  std::atomic<bool> running_{false};
  std::atomic<bool> hostStop_{false};
  std::atomic<bool> stopRequested_{false};
  ZmodemCode result_ = ZMODEM_OK;
  ZmodemCode cancelResult_ = ZMODEM_OK;
  int32_t stateCode_ = 0;
  int64_t startTime_ = 0;
  int64_t endTime_ = 0;
  std::string receivedNames_;
  std::string peerName_;  // name as the peer sent it, before the receive directory
  uint16_t value_ = 0;

  std::vector<uint8_t> data_;  // receiver's pDataBuf
  bool haveData_ = false;
  int32_t dataLength_ = 0;
  std::vector<uint8_t> image_;  // sender's file image
};

}  // namespace pelagor
