#include "host/session/TypingHints.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "host/session/CloseName.h"

namespace notecast::host {
namespace {

constexpr const char* kListOutputs = "notecast-host --list-outputs lists the ports there are";

// The listed names, each also without ALSA's " client:port" numbers.
std::vector<std::string> portNames(const std::string& outputList) {
  static const QRegularExpression alsaNumbers(QStringLiteral(" \\d+:\\d+$"));
  std::vector<std::string> names;
  for (const QString& line : QString::fromStdString(outputList).split('\n', Qt::SkipEmptyParts)) {
    names.push_back(line.toStdString());
    QString bare = line;
    bare.remove(alsaNumbers);
    if (bare != line) names.push_back(bare.toStdString());
  }
  return names;
}

// A port given by its ALSA numbers alone ("20:0") has no name to be close to.
bool isNumbers(const std::string& port) {
  static const QRegularExpression numbers(QStringLiteral("^\\d+:\\d+$"));
  return numbers.match(QString::fromStdString(port)).hasMatch();
}

// The waiting itself is told elsewhere (the plug-in's box, the connection's state line).
std::optional<std::string> portHint(const std::string& option, const std::string& port,
                                    const std::vector<std::string>& names) {
  if (std::find(names.begin(), names.end(), port) != names.end() || isNumbers(port))
    return std::nullopt;
  const std::string lead = option + " " + port + ": no such port now";
  if (const auto meant = closeName(port, names))
    return lead + "; did you mean " + *meant + "? " + kListOutputs;
  return lead + "; " + kListOutputs;
}

}  // namespace

std::optional<std::string> projectHint(const std::string& projectBase,
                                       const std::string& eventFile) {
  const QFileInfo file(QString::fromStdString(eventFile));
  if (file.exists() || !eventFile.starts_with(projectBase)) return std::nullopt;
  const QString suffix = QString::fromStdString(eventFile.substr(projectBase.size()));
  std::vector<std::string> there;
  for (const QString& name : file.dir().entryList(QDir::Files | QDir::Readable)) {
    if (name.endsWith(suffix, Qt::CaseInsensitive) && name.size() > suffix.size())
      there.push_back(name.toStdString());
  }
  const auto meant = closeName(file.fileName().toStdString(), there);
  if (!meant) return std::nullopt;
  const std::size_t slash = projectBase.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : projectBase.substr(0, slash + 1);
  return "did you mean --project " + folder + meant->substr(0, meant->size() - suffix.size()) +
         "? (" + folder + *meant + " is there)";
}

std::vector<std::string> portHints(const std::string& outputList,
                                   const std::optional<std::string>& midiOut,
                                   const std::vector<std::string>& connectPorts) {
  const std::vector<std::string> names = portNames(outputList);
  std::vector<std::string> hints;
  if (midiOut) {
    if (auto hint = portHint("--midi-out", *midiOut, names)) hints.push_back(std::move(*hint));
  }
  for (const std::string& port : connectPorts) {
    if (auto hint = portHint("--connect", port, names)) hints.push_back(std::move(*hint));
  }
  return hints;
}

}  // namespace notecast::host
