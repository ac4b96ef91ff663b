#pragma once
// The fixture of the desktop window tests: the built plug-in loaded in this process as the host
// loads it, started the way the host starts it (Init, ModuleInfo, LoadProjectData), and the
// window on top, shown offscreen. A private JACK server gives the plug-in its MIDI output, and
// every event file names the plug-in's virtual output, so no device box gets in the way.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>

#include "abi/NotecastClasses.h"
#include "host/desktop/HostMainWindow.h"
#include "host/session/PluginSession.h"
#include "midi/MidiApiChoice.h"
#include "persistence/EventFileName.h"
#include "tests/support/PrivateJackServer.h"
#include "tests/support/TempDir.h"

namespace notecast::host {

// The status byte the desktop tests' events send: a note-on on channel 1.
inline constexpr int kNoteOn = 0x90;

// One [Entry_n] section with every key; `name` empty for an event that is not shared.
inline std::string eventEntry(int index, int midiMessage, int data1, int data2,
                              const std::string& name) {
  return "[Entry_" + std::to_string(index) + "]\r\nDMXChannel=" + std::to_string(index + 1) +
         "\r\nData1=" + std::to_string(data1) + "\r\nData2=" + std::to_string(data2) +
         "\r\nMIDIMessage=" + std::to_string(midiMessage) +
         "\r\nValue=127\r\nSendNoteOff=0\r\nSendOnlyOnce=0\r\nShare=" + (name.empty() ? "0" : "1") +
         "\r\nShareName=" + name + "\r\nTyp=0\r\n";
}

// The [General] section for entries 0..highest.
inline std::string eventHeader(int highest) {
  return "[General]\r\nMIDIOutputDevice=Notecast virtual output\r\nCount=" +
         std::to_string(highest) + "\r\n";
}

class DesktopFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    jack_ = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-desktop"), &error_);
  }
  static void TearDownTestSuite() { jack_.reset(); }
  void SetUp() override { ASSERT_TRUE(jack_) << error_; }
  void TearDown() override { closeHost(); }

  // A project base in the test's folder, and the event file the plug-in forms from it.
  std::string base(const std::string& name = "show") const { return dir_.file(name); }
  std::string eventFile(const std::string& name = "show") const {
    return eventFilePath(base(name));
  }

  // Starts the plug-in for the project `projectBase` and shows the window.
  void openHost(const std::string& projectBase,
                DmxStatusPanel::StatusProvider dmxStatus = nullptr) {
    session_ = std::make_unique<PluginSession>(std::string(NOTECAST_BIN_DIR) + "/Notecast.so",
                                               kClsidLumoPlugIn, projectBase);
    VARIANT_BOOL initialised = VARIANT_FALSE;
    ASSERT_EQ(session_->init(&initialised), S_OK);
    session_->fetchModuleInfo();
    ASSERT_EQ(session_->windowAs<lumo::ILumoTool>()->LoadProjectData(), S_OK);
    window_ = std::make_unique<HostMainWindow>(*session_, QString::fromStdString(projectBase),
                                               std::move(dmxStatus));
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }

  // As the host ends: the window goes, Term, then every reference and the library.
  void closeHost() {
    window_.reset();
    if (!session_) return;
    VARIANT_BOOL terminated = VARIANT_FALSE;
    EXPECT_EQ(session_->plugin().Term(&terminated), S_OK);
    session_.reset();
  }

  template <class Widget>
  Widget* find(const char* objectName) const {
    auto* widget = window_->findChild<Widget*>(objectName);
    EXPECT_NE(widget, nullptr) << objectName;
    return widget;
  }
  void click(const char* buttonName) const {
    QTest::mouseClick(find<QPushButton>(buttonName), Qt::LeftButton);
  }
  // The newest message, whole, as its tool tip shows it.
  QString status() const { return find<QLabel>(StatusMessages::kMessageName)->toolTip(); }

  testing::TempDir dir_;
  std::unique_ptr<PluginSession> session_;
  std::unique_ptr<HostMainWindow> window_;

 private:
  static inline std::unique_ptr<PrivateJackServer> jack_;
  static inline std::string error_;
};

}  // namespace notecast::host

// Lets failing comparisons show Qt texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << text.toStdString();
}
