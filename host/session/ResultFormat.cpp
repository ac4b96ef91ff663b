#include "host/session/ResultFormat.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/RuntimeError.h"

namespace notecast::host {
namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

struct NamedInterface {
  const char* name;
  const Iid* iid;
};

// The order in which an object's interfaces are named.
constexpr std::array<NamedInterface, 5> kNamedInterfaces{{
    {"ILumoPlugin", &lumo::ILumoPlugin::iid},
    {"ILumoModule", &lumo::ILumoModule::iid},
    {"ILumoTool", &lumo::ILumoTool::iid},
    {"IExternalWindow", &lumo::IExternalWindow::iid},
    {"ICommandServer", &lumo::ICommandServer::iid},
}};

bool answersTo(IUnknown* object, const Iid& iid) {
  ComPtr<IUnknown> answer;
  return SUCCEEDED(object->QueryInterface(iid, answer.putVoid())) && answer;
}

std::string formatSingle(float value) {
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
  return std::string(text.data(), end);
}

}  // namespace

std::string quoteText(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < kFirstPrintable || byte == kDelete) {
          char escape[5];
          std::snprintf(escape, sizeof escape, "\\x%02X", byte);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string formatBoolean(VARIANT_BOOL value) {
  return value != VARIANT_FALSE ? "True" : "False";
}

std::string formatNumber(std::int32_t value) {
  return std::to_string(value);
}

std::string formatError(HRESULT result) {
  char text[32];
  std::snprintf(text, sizeof text, "error 0x%08X", static_cast<std::uint32_t>(result));
  return text;
}

std::string formatBad(std::string_view reason) {
  return "bad " + quoteText(reason);
}

std::string explainFailure(HRESULT result) {
  return formatError(result) + " (" + describeResult(result) + ")";
}

std::string formatObject(IUnknown* object) {
  if (!object) return std::string(kEmptyResult);
  std::string names;
  for (const auto& candidate : kNamedInterfaces) {
    if (!answersTo(object, *candidate.iid)) continue;
    if (!names.empty()) names += ',';
    names += candidate.name;
  }
  return names.empty() ? "(object)" : "(object " + names + ")";
}

std::string formatCollection(IIntegerCollection* collection) {
  if (!collection) return std::string(kEmptyResult);
  std::int32_t count = 0;
  throwIfFailed(collection->get_Count(&count));
  std::string out;
  // Collections count from 1.
  for (std::int32_t index = 1; index <= count; ++index) {
    std::int32_t item = 0;
    throwIfFailed(collection->get_Item(index, &item));
    if (index > 1) out += ',';
    out += formatNumber(item);
  }
  return out;
}

std::string formatVariant(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
      return std::string(kEmptyResult);
    case Variant::Kind::Int16:
    case Variant::Kind::Int32:
      return formatNumber(value.asInt32());
    case Variant::Kind::Single:
      return formatSingle(value.asSingle());
    case Variant::Kind::String:
      return quoteText(value.asString());
    case Variant::Kind::Object:
      return formatObject(value.asObject().get());
    case Variant::Kind::IntegerCollection:
      return formatCollection(value.asCollection().get());
  }
  return std::string(kEmptyResult);
}

namespace {

const char* boxIconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Information:
      return "information";
    case BoxIcon::Question:
      return "question";
    case BoxIcon::Warning:
      return "warning";
    case BoxIcon::Critical:
      return "critical";
    case BoxIcon::None:
      break;
  }
  return "none";
}

}  // namespace

std::string formatBox(std::string_view title, std::string_view text, std::string_view buttons,
                      BoxIcon icon, std::string_view pressed) {
  return "box " + quoteText(title) + ' ' + quoteText(text) + " [" + std::string(buttons) + "] " +
         boxIconName(icon) + " -> " + std::string(pressed);
}

const char* boxButtonCaption(BoxAnswer button) {
  switch (button) {
    case BoxAnswer::Yes:
      return "Yes";
    case BoxAnswer::No:
      return "No";
    case BoxAnswer::Cancel:
      return "Cancel";
    case BoxAnswer::Ok:
      break;
  }
  return "OK";
}

}  // namespace notecast::host
