#include "host/web/BridgeReading.h"

#include <QString>
#include <limits>

#include "abi/ComPtr.h"
#include "abi/IEntryList.h"
#include "host/session/OutputDetailsReader.h"
#include "host/session/OutputStatusReader.h"
#include "host/session/SharedCommands.h"

namespace notecast::host {
namespace {

ComPtr<IEntryList> entryList(const PluginSession& session) {
  return ComPtr<lumo::ILumoPlugin>::share(&session.plugin()).query<IEntryList>();
}

}  // namespace

QJsonObject dmxJson(const DmxInputStatus& status) {
  return {
      {"source", status.source},        {"state", status.state},
      {"rate", status.framesPerSecond}, {"frames", status.frames},
      {"changes", status.changes},      {"lastChannel", status.lastChannel},
      {"lastValue", status.lastValue},  {"folded", status.folded},
  };
}

std::optional<QJsonObject> readMidiJson(const PluginSession& session) {
  const std::optional<OutputStatusSnapshot> status = readOutputStatus(session);
  if (!status) return std::nullopt;
  QJsonArray connections;
  for (const auto& [port, state] : readConnectionStates(session))
    connections.append(QJsonObject{{"port", QString::fromStdString(port)},
                                   {"state", QString::fromStdString(state)}});
  return QJsonObject{
      {"name", QString::fromStdString(status->name)},
      {"ownPort", QString::fromStdString(status->ownPort)},
      {"state", outputStateWord(status->state)},
      {"sent", static_cast<qint64>(status->sent)},
      {"notSent", static_cast<qint64>(status->notSent)},
      {"connections", connections},
  };
}

std::optional<std::int64_t> readEntryListRevision(const PluginSession& session) {
  const ComPtr<IEntryList> list = entryList(session);
  std::int64_t revision = 0;
  if (!list || FAILED(list->get_EntryListRevision(&revision))) return std::nullopt;
  return revision;
}

QJsonArray readEntryLines(const PluginSession& session) {
  const ComPtr<IEntryList> list = entryList(session);
  std::string lines;
  if (!list || FAILED(list->get_EntryLines(0, std::numeric_limits<std::int32_t>::max(), &lines)))
    return {};
  QJsonArray array;
  for (const QString& line : QString::fromStdString(lines).split('\n', Qt::SkipEmptyParts))
    array.append(line);
  return array;
}

QJsonArray readSharedCommands(PluginSession& session) {
  QJsonArray commands;
  try {
    auto server = session.commandServer();
    for (const SharedCommand& command : fetchSharedCommands(*server))
      commands.append(QJsonObject{{"caption", command.caption}, {"value", command.value}});
  } catch (const std::exception&) {
    // A plug-in that offers no commands now shows none.
  }
  return commands;
}

}  // namespace notecast::host
