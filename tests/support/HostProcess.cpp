#include "tests/support/HostProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace notecast::host {
namespace {

// Generous: the host starts in well under a second, but CI machines can be slow.
constexpr int kRunTimeoutMs = 60000;

}  // namespace

HostProcess::HostProcess() {
  EXPECT_TRUE(folder_.isValid());
}

QString HostProcess::binDir() {
  return QStringLiteral(NOTECAST_BIN_DIR);
}

QString HostProcess::pluginPath() {
  return binDir() + QStringLiteral("/Notecast.so");
}

HostRun HostProcess::run(const QStringList& arguments, const QByteArray& input) const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(binDir() + QStringLiteral("/notecast-host"), arguments);
  HostRun result;
  if (!process.waitForStarted(kRunTimeoutMs)) {
    ADD_FAILURE() << "notecast-host did not start: " << process.errorString().toStdString();
    return result;
  }
  process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(kRunTimeoutMs)) {
    ADD_FAILURE() << "notecast-host did not finish; stopping it";
    process.kill();
    process.waitForFinished();
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
  if (result.out.last().isEmpty()) result.out.removeLast();
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

HostRun HostProcess::runScript(const QByteArray& script, const QStringList& moreArguments) const {
  const QString file = writeFile(QStringLiteral("script.txt"), script);
  return run(QStringList{"--plugin", pluginPath(), "--script", file} + moreArguments);
}

QString HostProcess::writeFile(const QString& name, const QByteArray& content) const {
  const QString path = folder_.filePath(name);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(content);
  return path;
}

QString HostProcess::configHome() const {
  return folder_.filePath(QStringLiteral("config"));
}

}  // namespace notecast::host
