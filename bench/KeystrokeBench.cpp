// The configuration window at work on a large table, offscreen: one keystroke in "Data1:" from
// the key event to the rebuilt and repainted entry list, and one click on a row from the mouse
// event to the filled editing controls (which rebuilds the list for each box whose text changes).
// The MIDI output is a control that does nothing, so the figures are the window's own cost.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "midi/MidiOutputControl.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

class SilentMidiOutput final : public MidiOutputControl {
 public:
  void setAction(std::int32_t) override {}
  void setDeviceNumber(std::int32_t) override {}
  void setDeviceName(const std::string&) override {}
  std::string deviceName() override { return "bench"; }
  void setStatusByte(std::int32_t) override {}
  void setDataByte1(std::int32_t) override {}
  void setDataByte2(std::int32_t) override {}
  std::int16_t deviceCount() override { return 0; }
  void setDeviceReport(DeviceReport) override {}
  MidiOutputStatus status() override { return {}; }
  void setChangeNotifier(std::function<void()>) override {}
  bool recover() override { return false; }
};

constexpr std::int32_t kDmxChannels = 512;

// A shown window whose table holds `entries` new events on DMX channels 1..512 in turn, the
// middle row selected by the user.
class LoadedWindow {
 public:
  explicit LoadedWindow(std::int32_t entries) {
    setMidiOutputFactory([] { return std::make_unique<SilentMidiOutput>(); });
    core_.setProjectBaseSource([this] { return (project_.path() + "/bench").toStdString(); });
    form_ = &window_.form();
    std::vector<MidiEvent> events(static_cast<std::size_t>(entries), MidiEvent::added());
    for (std::int32_t i = 0; i < entries; ++i)
      events[static_cast<std::size_t>(i)].DMXChannel = 1 + i % kDmxChannels;
    core_.table().assign(std::move(events));
    core_.refreshEntryList();
    form_->show();
    QApplication::processEvents();
    selectListRow(form_->lstView, entries / 2);
    window_.lstView_Click();
    QApplication::processEvents();
  }
  ~LoadedWindow() { setMidiOutputFactory({}); }

  PluginCore& core() { return core_; }
  ConfigfrmForm& form() { return *form_; }

 private:
  QTemporaryDir project_;
  PluginCore core_;
  Configfrm window_{core_};
  ConfigfrmForm* form_ = nullptr;
};

// Alternates "5" and Backspace after the "0" shown, so every key stores a value (05, 0) and
// rebuilds the list.
void BM_KeystrokeToRebuiltList(benchmark::State& state) {
  LoadedWindow loaded(static_cast<std::int32_t>(state.range(0)));
  QLineEdit* box = loaded.form().txtData1;
  box->setFocus();
  box->end(false);
  QApplication::processEvents();
  bool append = true;
  for (auto _ : state) {
    QTest::keyClick(box, append ? Qt::Key_5 : Qt::Key_Backspace);
    QApplication::processEvents();  // the list's layout and repaint
    append = !append;
  }
  if (loaded.core().eventTable().record(state.range(0) / 2).Data1 != box->text().toInt())
    state.SkipWithError("the keystrokes did not reach the entry");
}
BENCHMARK(BM_KeystrokeToRebuiltList)->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

// A click on a row other than the highlighted one, alternating between two rows.
void BM_RowClickToFilledControls(benchmark::State& state) {
  const auto entries = static_cast<std::int32_t>(state.range(0));
  LoadedWindow loaded(entries);
  EntryListWidget* list = loaded.form().lstView;
  int selections = 0;
  QObject::connect(list, &EntryListWidget::userSelected, [&selections] { ++selections; });
  int rebuilds = 0;
  QObject::connect(list->model(), &QAbstractItemModel::modelReset, [&rebuilds] { ++rebuilds; });
  int row = entries / 2;
  for (auto _ : state) {
    row = row == entries / 2 ? entries / 2 + 1 : entries / 2;
    const QRect place = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    QApplication::processEvents();
  }
  if (selections != state.iterations() || rebuilds < selections)
    state.SkipWithError("the clicks did not show the entries");
}
BENCHMARK(BM_RowClickToFilledControls)->Arg(10)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace notecast

// The window needs a QApplication; without a display it runs on the offscreen platform.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QByteArray runtime = "/tmp/notecast-bench-runtime-" + QByteArray::number(::getuid());
    ::mkdir(runtime.constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime);
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
