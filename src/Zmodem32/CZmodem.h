#pragma once

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

  // Session control. Both return 1; nothing starts without an open handle.
  int StartSend(CTransferDlg* host, SerialHandle port, const std::string& path, uint16_t value);
  int StartReceive(CTransferDlg* host, SerialHandle port, const std::string& receiveDir, uint16_t value);
  // Waits for the worker, if one was started.
  void Join();
  bool Started() const { return m_started; }
  bool Running() const { return m_running.load(); }
  int AbortSession();
  void ShowProgress(int32_t position);
  void ShowFileName(const std::string& text);
  void ShowStatus(const std::string& text);

  // Stop: the host's flag (tested by the protocol) and the byte-wait flag.
  void RequestStop();
  void ClearStop();
  bool StopTest() const { return m_hostStop.load(); }

  // Where protocol text goes; may be null. Set before the worker starts.
  void SetUi(TransferUi* ui) { m_ui = ui; }

  // Thread procedures (also callable on the current thread once a handle is attached).
  static void SendZmodemThreadProc(CZmodem* session);
  static void ReceiveZmodemThreadProc(CZmodem* session);
  void RunSend();
  void RunReceive();

  // Results; read only after the worker has ended.
  int32_t Result() const { return m_result; }
  int32_t CancelResult() const { return m_cancelResult; }
  int32_t StateCode() const { return m_stateCode; }
  int64_t StartTime() const { return m_startTime; }
  int64_t EndTime() const { return m_endTime; }
  const std::string& ReceivedNames() const { return m_receivedNames; }
  const ZmodemState& State() const { return m_state; }
  ZmodemState& MutableState() { return m_state; }
  // Received data with the length handed over (dataBytes); the caller owns it.
  std::vector<uint8_t> TakeData();
  int32_t DataLength() const { return m_dataLength; }
  int32_t Mode() const { return m_mode; }

  // Framing.
  int ReadByte();
  int ReadStripped();
  int ReadHexByte();
  int ReadEscaped();
  void ClearTx() { m_txLen = 0; }
  void FlushTx();
  void PutRaw(int c);
  void PutEscaped(int c);
  void PutHex(int c);
  void SendHexHeader(int length, int type, const uint8_t* hdr);
  // Builds a hex header at the end of TxBuffer without writing it.
  void AppendHexHeader(int length, int type, const uint8_t* hdr);
  void SendBinaryHeader(int length, int type, const uint8_t* hdr);
  int ReceiveHeader(uint8_t* hdr);
  void SendSubpacket(const uint8_t* data, int length, int terminator);
  int ReceiveSubpacket(uint8_t* buf, int maxLength);
  bool LastHeaderCrc32() const { return m_rxCrc32; }

  // Header helpers: a position travels little-endian in the four bytes.
  static void StorePos(uint8_t* hdr, int32_t pos);
  static int32_t LoadPos(const uint8_t* hdr);

  // The engine reads ahead from the port; these include what it holds.
  int32_t WaitCommData(uint32_t seconds);
  // Drops queued bytes that cannot start a header, without waiting; true when a frame
  // start (ZPAD) is queued.
  bool HeaderPending();
  void PurgeReceive();

  // The sender's and the receiver's building blocks.
  void SendFileInfo();
  int SendFileData(const std::vector<uint8_t>* image, int32_t length, int32_t offset, int count);
  int ParseFileInfo(bool headerRead);
  int ReceiveFileData(std::vector<uint8_t>& buf);

  // Largest frame built: a full subpacket with every byte escaped, ZDLE, terminator,
  // an escaped CRC-32 and XON, with room to spare.
  static constexpr size_t kTxBufferSize = 2 * 1024 + 64;
  // The receive buffer is allocated from the peer's announced length; refuse absurd ones.
  static constexpr int32_t kMaxReceiveSize = 256 * 1024 * 1024;

  // The line is gone or the transfer stalled: a write did not complete, the device
  // reported a failure, or, once the peer has answered, nothing moved the transfer on
  // for the stall time. Every byte wait then ends at once.
  bool LineDown();

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
  void FinishSend();
  void FinishReceive();
  bool AcceptFile(bool first);
  void AppendReceivedName();
  void SetReceivedFileTime();
  bool CountError();

  ZmodemState m_state;
  std::array<uint8_t, kTxBufferSize> m_tx{};
  size_t m_txLen = 0;
  std::array<uint8_t, 4096> m_in{};
  size_t m_inPos = 0, m_inLen = 0;
  bool m_rxCrc32 = false;
  bool m_stallArmed = false;
  bool m_readFailed = false;  // the last ReadByte found no byte (silence, stop, lost line)
  uint32_t m_replyPolls = 0;  // nonzero: byte waits cut to this many polls (mid-stream replies)
  std::chrono::steady_clock::time_point m_lastProgress{};
  int32_t m_progressMark = 0;     // furthest data position reached in this session
  int32_t m_askedMark = 0;        // sending: furthest position the receiver has asked for
  bool m_windowed = false;        // sending: acknowledged subpackets, a bounded window ahead
  int32_t m_ackPos = 0;           // sending: position the receiver last confirmed
  int32_t m_cleanSubpackets = 0;  // full subpackets sent since the receiver last asked again

  std::string m_receiveDir;
  std::string m_sendPath;
  int32_t m_mode = kModeReceive;
  CTransferDlg* m_host = nullptr;
  TransferUi* m_ui = nullptr;
  std::thread m_thread;
  bool m_started = false;
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_hostStop{false};
  std::atomic<bool> m_stopRequested{false};
  int32_t m_result = 0;
  int32_t m_cancelResult = 0;
  int32_t m_stateCode = 0;
  int64_t m_startTime = 0;
  int64_t m_endTime = 0;
  std::string m_receivedNames;
  std::string m_peerName;  // name as the peer sent it, before the receive directory
  uint16_t m_value = 0;

  std::vector<uint8_t> m_data;  // receiver's pDataBuf
  bool m_haveData = false;
  int32_t m_dataLength = 0;
  std::vector<uint8_t> m_image;  // sender's file image
};

}  // namespace pelagor
