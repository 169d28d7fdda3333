#pragma once
// "Simulated receiver": the receiver simulator on one end of a line simulator,
// the other end of which the link opens like a real port. Both run as child
// processes for as long as the link uses them.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

namespace pelagor {

class CSimulatedReceiver : public QObject {
  Q_OBJECT
 public:
  static constexpr const char* kPortName = "Simulated receiver";

  struct Config {
    QString stbsim;         // pelagor-stbsim
    QString linesim;        // pelagor-linesim
    QString workspace;      // the channel data it holds; empty: its own default
    int baud = 115200;      // 0: as fast as the pseudo-terminals go
    QStringList extraArgs;  // more options for the receiver simulator
  };

  // Pseudo-terminals are needed; elsewhere the entry is not offered.
  static bool Supported();
  // The tools next to this program or in its build tree, and the demo workspace.
  static Config DefaultConfig();

  explicit CSimulatedReceiver(QObject* parent = nullptr);
  ~CSimulatedReceiver() override;

  void SetConfig(Config config) { config_ = std::move(config); }
  const Config& GetConfig() const { return config_; }

  // Starts both processes and waits until the receiver answers on its line.
  // Returns the device path the link opens, or empty with *error set.
  QString Start(QString* error);
  // Ends both processes; nothing when none runs.
  void Stop();
  bool Running() const;
  QString PortPath() const { return portPath_; }
  // The two running processes (receiver, line), for checks that they end.
  QList<qint64> ProcessIds() const;
  // What the receiver simulator has reported so far (its standard output).
  QByteArray Output();

 private:
  bool ReadLines(QProcess& p, QByteArray& buffer, const std::function<bool(const QByteArray&)>& done, int timeoutMs);

  Config config_;
  QProcess* line_ = nullptr;
  QProcess* stb_ = nullptr;
  QString portPath_;
  QByteArray output_;
};

}  // namespace pelagor
