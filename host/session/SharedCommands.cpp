#include "host/session/SharedCommands.h"

#include <stdexcept>
#include <string>

#include "abi/ComPtr.h"
#include "abi/RuntimeError.h"

namespace notecast::host {
namespace {

struct OptionEntry {
  Variant caption;
  Variant value;
};

std::vector<OptionEntry> readOptions(lumo::IOptionList* options) {
  if (!options) throw FailedResult(E_POINTER);
  std::int32_t count = 0;
  throwIfFailed(options->get_Count(&count));
  std::vector<OptionEntry> entries;
  for (std::int32_t index = 0; index < count; ++index) {
    OptionEntry entry;
    throwIfFailed(options->GetEntry(index, &entry.caption, &entry.value));
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

std::vector<SharedCommand> fetchSharedCommands(lumo::ICommandServer& server) {
  ComPtr<lumo::IOptionList> options;
  throwIfFailed(server.GetFirstOptions(options.put()));
  std::vector<SharedCommand> commands;
  for (const OptionEntry& entry : readOptions(options.get()))
    commands.push_back({optionText(entry.caption), optionText(entry.value)});
  return commands;
}

void fireSharedCommand(lumo::ICommandServer& server, const QString& value) {
  std::string first = value.toStdString();
  ComPtr<lumo::IOptionList> options;
  throwIfFailed(server.GetSecondOptions(&first, options.put()));
  const std::vector<OptionEntry> seconds = readOptions(options.get());
  // The plug-in offers exactly one way to run a shared event; with none there is nothing the
  // user could have picked.
  if (seconds.empty()) throw std::runtime_error("the command offers no second option");
  std::string second = optionText(seconds.front().value).toStdString();
  Variant newValue, stream, additionalData, answer;
  throwIfFailed(
      server.ExecuteCommand(&first, &second, &newValue, &stream, &additionalData, &answer));
}

QString optionText(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
      return {};
    case Variant::Kind::Int16:
    case Variant::Kind::Int32:
      return QString::number(value.asInt32());
    case Variant::Kind::Single:
      return QString::number(value.asSingle());
    case Variant::Kind::String:
      return QString::fromStdString(value.asString());
    case Variant::Kind::Object:
    case Variant::Kind::IntegerCollection:
      break;
  }
  throw std::runtime_error("an option's value is neither text nor a number");
}

}  // namespace notecast::host
