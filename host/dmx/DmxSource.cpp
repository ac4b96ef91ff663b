#include "host/dmx/DmxSource.h"

#include <QStringList>
#include <algorithm>
#include <stdexcept>

#include "host/dmx/ChannelState.h"

namespace notecast::host {
namespace {

const QString kReplayPrefix = QStringLiteral("replay:");
const QString kStdin = QStringLiteral("stdin");

[[noreturn]] void reject(const QString& reason) {
  throw std::invalid_argument(reason.toStdString());
}

std::vector<unsigned> parseUniverses(const QString& list) {
  std::vector<unsigned> universes;
  for (const QString& item : list.split(QLatin1Char(','))) {
    bool ok = false;
    const uint universe = item.toUInt(&ok);
    // toUInt accepts blanks and a sign around the digits; a universe is digits only.
    const bool digitsOnly = !item.isEmpty() && std::all_of(item.begin(), item.end(),
                                                           [](QChar c) { return c.isDigit(); });
    if (!ok || !digitsOnly || universe < 1 || universe > ChannelState::kMaxUniverse) {
      reject(QStringLiteral("DMX source ola: \"%1\" is not a universe 1..%2")
                 .arg(item)
                 .arg(ChannelState::kMaxUniverse));
    }
    if (std::find(universes.begin(), universes.end(), universe) != universes.end()) {
      reject(QStringLiteral("DMX source ola: universe %1 is given twice").arg(universe));
    }
    universes.push_back(universe);
  }
  return universes;
}

}  // namespace

DmxSource DmxSource::parse(const QString& text) {
  DmxSource source;
  if (text.startsWith(kOlaPrefix)) {
    const QString rest = text.mid(kOlaPrefix.size());
    const qsizetype at = rest.indexOf(QLatin1Char('@'));
    source.kind = Kind::kOla;
    source.universes = parseUniverses(rest.left(at));
    if (at >= 0) source.daemon = OlaDaemonAddress::parse(rest.mid(at + 1));
    return source;
  }
  if (text == kStdin) return source;
  if (text.startsWith(kReplayPrefix)) {
    source.kind = Kind::kReplay;
    source.path = text.mid(kReplayPrefix.size());
    if (source.path.isEmpty()) reject(QStringLiteral("DMX source replay: names no file"));
    return source;
  }
  reject(QStringLiteral(
             "unknown DMX source \"%1\": expected ola:UNIVERSE[,UNIVERSE...][@HOST[:PORT]], "
             "stdin or replay:FILE")
             .arg(text));
}

}  // namespace notecast::host
