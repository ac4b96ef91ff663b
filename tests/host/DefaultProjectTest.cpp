// notecast-host as its own process without --project: the desktop and headless modes work on
// the user's default project and write nothing into the folder they were started from; script
// mode keeps starting with no project. Also --quiet and --version as a user sees them.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "tests/host/script/ScriptFixture.h"

namespace notecast::host {
namespace {

constexpr int kDeadlineMs = 30000;  // generous: each run takes well under a second

class DefaultProjectTest : public ScriptFixture {
 protected:
  // Runs the host in an empty current folder of its own, with its own data and config folders
  // and no display, feeding `input` to its standard input.
  HostRun runHost(const QStringList& arguments, const QByteArray& input = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome());
    environment.insert("XDG_CONFIG_HOME", host.configHome());
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(current_.path());
    process.start(HostProcess::binDir() + "/notecast-host", arguments);
    EXPECT_TRUE(process.waitForStarted(kDeadlineMs));
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(kDeadlineMs)) {
      ADD_FAILURE() << "notecast-host did not finish";
      process.kill();
      process.waitForFinished();
    }
    HostRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
  }

  QString dataHome() const { return data_.path(); }
  QStringList currentFolderEntries() const {
    return QDir(current_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

 private:
  QTemporaryDir current_;
  QTemporaryDir data_;
};

TEST_F(DefaultProjectTest, HeadlessRunWithoutProjectUsesTheDefaultAndLeavesTheCurrentFolder) {
  const HostRun run =
      runHost({"--plugin", HostProcess::pluginPath(), "--headless", "--dmx", "stdin"}, "1 255\n");
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QString base = dataHome() + "/notecast/default";
  EXPECT_TRUE(run.err.contains("no --project given: using " + base)) << run.err.toStdString();
  EXPECT_TRUE(QDir(dataHome() + "/notecast").exists());
  EXPECT_EQ(currentFolderEntries(), QStringList());
  // The default project has no event file yet: said as for any project.
  EXPECT_TRUE(run.err.contains(base + ".Notecast")) << run.err.toStdString();
  EXPECT_FALSE(run.out.isEmpty());  // the status line
}

TEST_F(DefaultProjectTest, ScriptModeWithoutProjectStillHasNone) {
  const HostRun run = runHost({"--plugin", HostProcess::pluginPath(), "--script", "-"}, "");
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_FALSE(run.err.contains("--project")) << run.err.toStdString();
  EXPECT_FALSE(QDir(dataHome() + "/notecast").exists());
  EXPECT_EQ(currentFolderEntries(), QStringList());
}

TEST_F(DefaultProjectTest, QuietHeadlessRunPrintsNoStatusButStillWarns) {
  const HostRun run = runHost(
      {"--plugin=" + HostProcess::pluginPath(), "--headless", "--quiet", "--dmx=stdin"}, "1 255\n");
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, QStringList());
  EXPECT_TRUE(run.err.contains("warning")) << run.err.toStdString();
}

TEST_F(DefaultProjectTest, VersionAndHelpEndAtOnceWithSuccess) {
  const HostRun version = runHost({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, QStringList{"notecast-host " NOTECAST_VERSION});
  const HostRun help = runHost({"--connect", "a:b", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.join('\n').contains("--midi-out NAME"));
  const HostRun wrong = runHost({"--quiet=1"});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_TRUE(wrong.err.contains("--quiet takes no value")) << wrong.err.toStdString();
  EXPECT_FALSE(QDir(dataHome() + "/notecast").exists());
}

}  // namespace
}  // namespace notecast::host
