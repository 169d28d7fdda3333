// The real main window on the offscreen platform with the 8000-channel
// workspace: each case times one user command up to the end of the repaint
// of the channel list's visible rows. One frame at 60 Hz is 16.7 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>
#include <ctime>
#include <memory>
#include <string>

#include "app/CDragDropListCtrl.h"
#include "app/CMainFrame.h"
#include "app/CModalHost.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "view/CVortanView.h"

namespace pelagor {
namespace {

// Nothing modal may stop a benchmark: every question gets its quiet answer.
class QuietHost : public CModalHost {
 public:
  MessageAnswer ShowMessage(const std::string&, MessageIcon, MessageButtons) override { return MessageAnswer::kOk; }
  DialogAnswer RunDialog(DialogModel) override { return DialogAnswer::kCancel; }
  std::optional<std::string> AskOpenFile(const FileRequest&) override { return std::nullopt; }
  std::optional<std::string> AskSaveFile(const FileRequest&) override { return std::nullopt; }
  SaveChangesAnswer AskSaveChanges() override { return SaveChangesAnswer::kDiscard; }
};

QTemporaryDir* gDir = nullptr;

std::string FullFile() {
  static std::string path;
  if (path.empty()) {
    path = gDir->filePath("full.bin").toStdString();
    if (WriteDownloadImage(FullWorkspace(1), path) != 1) path.clear();
  }
  return path;
}

// Counts the paint events of the list's rows, to show that each step paints.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
  long paints = 0;
};

// A shown main window with the full workspace open.
struct Window {
  Window() {
    List().viewport()->installEventFilter(&counter);
    frame.Form()->SetModalHost(std::make_unique<QuietHost>());
    frame.Form()->View().SetSideFileFolder(gDir->path().toStdString());
    frame.resize(1200, 760);
    frame.show();
    // Painting starts once the platform has exposed the window.
    for (int i = 0; i < 100 && !(frame.windowHandle() != nullptr && frame.windowHandle()->isExposed()); ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ok = !FullFile().empty() && View().OpenFile(FullFile());
    Paint();
  }
  CVortanView& View() { return frame.Form()->View(); }
  CDragDropListCtrl& List() { return *frame.Form()->ChannelTable(); }
  // What a command leaves for the event loop: the posted update request,
  // which lays out and paints the dirty part of the window (the list's
  // visible rows) and hands it to the platform.
  void Paint() { QCoreApplication::sendPostedEvents(); }
  void Select(int first, int count) {
    std::vector<int> rows;
    for (int r = first; r < first + count; ++r) rows.push_back(r);
    frame.Form()->SelectRows(ListId::kChannels, rows);
  }
  CMainFrame frame;
  PaintCounter counter;
  bool ok = false;
};

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs prepare() untimed and step() timed, each iteration.
template <class Prepare, class Step>
void Timed(benchmark::State& state, Window& w, Prepare prepare, Step step) {
  if (!w.ok) {
    state.SkipWithError("the full workspace did not open");
    return;
  }
  QElapsedTimer t;
  const long paintsBefore = w.counter.paints;
  double cpu = 0;
  for (auto _ : state) {
    prepare();
    w.Paint();
    t.start();
    const double cpuStart = ThreadCpuSeconds();
    step();
    w.Paint();
    cpu += ThreadCpuSeconds() - cpuStart;
    state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
  }
  // The step's own processor time: on a busy machine the wall time also
  // holds the waits for a core.
  state.counters["step_cpu_ms"] = benchmark::Counter(1000 * cpu / double(state.iterations()));
  state.counters["rows"] = w.View().RowCount();
  // Paints of the list an iteration: after the preparation and after the step.
  state.counters["paints/iter"] =
      benchmark::Counter(double(w.counter.paints - paintsBefore) / double(state.iterations()));
}

void BM_Open(benchmark::State& state) {
  Window w;
  Timed(
      state, w, [] {},
      [&] {
        if (!w.View().OpenFile(FullFile())) state.SkipWithError("the file was not opened");
      });
}

void BM_FilterChange(benchmark::State& state) {
  Window w;
  int cas = 0;
  // All -> FTA and FTA -> All in turn: each is one filter change.
  Timed(
      state, w, [] {},
      [&] {
        cas = cas == 0 ? 1 : 0;
        w.View().OnCasComboChanged(cas);
      });
}

void BM_FindOneCharacter(benchmark::State& state) {
  Window w;
  QLineEdit* find = w.frame.Form()->FindField();
  Timed(
      state, w, [&] { find->clear(); }, [&] { find->setText("7"); });
}

void BM_SortByName(benchmark::State& state) {
  Window w;
  Timed(
      state, w, [&] { w.View().OnEditUndo(); }, [&] { w.View().OnChannelMenuCommand(ChanMenuItem::kSortByName); });
}

void BM_CutPaste1000(benchmark::State& state) {
  Window w;
  Timed(
      state, w,
      [&] {
        w.View().OnEditUndo();
        w.Select(0, 1000);
      },
      [&] {
        w.View().OnChannelMenuCommand(ChanMenuItem::kCutChannel);
        w.Select(3000, 1);
        w.View().OnChannelMenuCommand(ChanMenuItem::kPasteChannel);
      });
}

void BM_Undo(benchmark::State& state) {
  Window w;
  Timed(
      state, w,
      [&] {
        w.Select(0, 1000);
        w.View().OnChannelMenuCommand(ChanMenuItem::kCutChannel);
        w.Select(3000, 1);
        w.View().OnChannelMenuCommand(ChanMenuItem::kPasteChannel);
      },
      [&] { w.View().OnEditUndo(); });
}

void BM_ScrollOnePage(benchmark::State& state) {
  Window w;
  QScrollBar* bar = w.List().verticalScrollBar();
  Timed(
      state, w,
      [&] {
        if (bar->value() >= bar->maximum()) bar->setValue(0);
      },
      [&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); });
}

BENCHMARK(BM_Open)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterChange)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindOneCharacter)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByName)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutPaste1000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Undo)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollOnePage)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelagor

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
  QApplication app(argc, argv);
  pelagor::CVortanApp::InitApplication();
  pelagor::gDir = &home;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
