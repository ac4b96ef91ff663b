#pragma once
// The DMX input the operator chose for each project, kept in the host's own settings,
// $XDG_CONFIG_HOME/notecast-host/projects.ini (beside the class registry), never in the
// project's event file:
//
//   [DmxInput]
//   home\me\shows\spring=ola:1,2      <- the project's absolute path, "/" written as "\"
//   home\me\shows\tour=ola:1@192.168.1.20:9010
//   home\me\shows\test=none
//
// Only OLA universes or none are kept: standard input and replays are for one run.
//
// Contract: user-interface thread only; one store per file at a time in this process.

#include <QString>
#include <optional>

namespace notecast::host {

class DmxChoiceStore {
 public:
  // The settings file of this user: honours XDG_CONFIG_HOME, then HOME.
  static QString defaultPath();

  // `path`: the settings file; `projectBase`: the project's base, made absolute.
  DmxChoiceStore(QString path, const QString& projectBase);

  // The source kept for the project ("ola:1,2[@HOST[:PORT]]", empty for none); nothing when no
  // choice was ever kept. Throws std::runtime_error naming the file for a kept value that is no
  // OLA source or "none" (a hand-edited file).
  std::optional<QString> load() const;
  // Keeps `source` ("ola:1,2", empty for none) for the project. Throws std::runtime_error naming
  // the file when it cannot be written.
  void save(const QString& source) const;

  const QString& path() const noexcept { return path_; }

 private:
  QString path_;
  QString key_;
};

}  // namespace notecast::host
