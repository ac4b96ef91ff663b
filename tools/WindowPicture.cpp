// Renders the configuration window offscreen, as it opens on a project and with one event
// selected, into two PNG files for a person to look at: layout, fonts and captions at a glance.
//
//   window-picture PROJECT_BASE OUTPUT_FOLDER [ROW]
//
// writes OUTPUT_FOLDER/configfrm.png and OUTPUT_FOLDER/configfrm-selected.png (ROW selected,
// 1 by default). The MIDI output is a recording one, so no MIDI system is needed and no box
// can wait for an answer.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "abi/HResult.h"
#include "tests/support/RecordingMidiOutput.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"

namespace {

bool save(QWidget& window, const QString& path) {
  if (window.grab().save(path)) {
    std::cout << path.toStdString() << "\n";
    return true;
  }
  std::cerr << "window-picture: cannot write " << path.toStdString() << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::cerr << "usage: window-picture PROJECT_BASE OUTPUT_FOLDER [ROW]\n";
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string projectBase = argv[1];
  const QDir folder(QString::fromLocal8Bit(argv[2]));
  const int row = argc == 4 ? std::atoi(argv[3]) : 1;

  notecast::RecordingMidiOutput midi;
  notecast::setMidiOutputFactory(
      [&midi] { return std::make_unique<notecast::RecordingMidiOutput::Handle>(midi); });
  bool written = false;
  {
    notecast::Configfrm window;
    window.setProjectBaseSource([projectBase] { return projectBase; });
    window.LoadProjectData();
    notecast::VARIANT_BOOL shown = notecast::VARIANT_FALSE;
    window.showWindow(&shown);
    QWidget& form = window.form();
    written = save(form, folder.filePath(QStringLiteral("configfrm.png")));
    // Clicked, as a user picks it: the editing controls show the entry.
    notecast::EntryListWidget& list = *window.form().lstView;
    const QRect place = list.visualRect(list.model()->index(row, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    QApplication::processEvents();
    written = save(form, folder.filePath(QStringLiteral("configfrm-selected.png"))) && written;
  }
  notecast::setMidiOutputFactory({});
  return written ? EXIT_SUCCESS : EXIT_FAILURE;
}
