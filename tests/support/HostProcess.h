#pragma once
// Runs the built notecast-host as a separate process, the way a user or CI does, with its own
// registry folder so no test touches the user's registry.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

namespace notecast::host {

struct HostRun {
  int exitCode = -1;
  QStringList out;  // standard output, one entry per line
  QString err;
};

class HostProcess {
 public:
  HostProcess();

  static QString binDir();
  static QString pluginPath();

  // Runs notecast-host with `arguments`, feeding `input` to its standard input.
  HostRun run(const QStringList& arguments, const QByteArray& input = {}) const;
  // Writes `script` to a file and runs it against the built plug-in.
  HostRun runScript(const QByteArray& script, const QStringList& moreArguments = {}) const;

  // A file in this test's own folder.
  QString writeFile(const QString& name, const QByteArray& content) const;
  // The folder the host's registry lives in for this test.
  QString configHome() const;

 private:
  QTemporaryDir folder_;
};

}  // namespace notecast::host

// Lets failing comparisons show output lines as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << text.toStdString();
}
