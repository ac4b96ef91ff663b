#include "host/session/ModuleInfoReport.h"

#include <array>

#include "abi/Boundary.h"
#include "abi/LumoTypeLib/ICommandServer.h"
#include "abi/RuntimeError.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

using lumo::IModuleInformation;
using Reader = std::string (*)(IModuleInformation&);

template <HRESULT (IModuleInformation::*Get)(std::string*) noexcept>
std::string readString(IModuleInformation& info) {
  std::string value;
  throwIfFailed((info.*Get)(&value));
  return quoteText(value);
}

template <HRESULT (IModuleInformation::*Get)(std::int32_t*) noexcept>
std::string readNumber(IModuleInformation& info) {
  std::int32_t value = 0;
  throwIfFailed((info.*Get)(&value));
  return formatNumber(value);
}

template <class Interface, HRESULT (IModuleInformation::*Get)(Interface**) noexcept>
std::string readObject(IModuleInformation& info) {
  ComPtr<Interface> value;
  throwIfFailed((info.*Get)(value.put()));
  return formatObject(value.get());
}

std::string readMessageCodes(IModuleInformation& info) {
  ComPtr<IIntegerCollection> codes;
  throwIfFailed(info.get_MessageCodes(codes.put()));
  return formatCollection(codes.get());
}

// One reader per property, in property order.
constexpr std::array<Reader, kModuleInfoProperties> kReaders{
    &readString<&IModuleInformation::get_ModuleId>,
    &readString<&IModuleInformation::get_ModuleName>,
    &readString<&IModuleInformation::get_Description>,
    &readString<&IModuleInformation::get_Author>,
    &readNumber<&IModuleInformation::get_Setting5>,
    &readNumber<&IModuleInformation::get_Setting6>,
    &readNumber<&IModuleInformation::get_Setting7>,
    &readString<&IModuleInformation::get_WindowClassName>,
    &readObject<IUnknown, &IModuleInformation::get_Window>,
    &readNumber<&IModuleInformation::get_Setting10>,
    &readObject<lumo::ICommandServer, &IModuleInformation::get_CommandServer>,
    &readNumber<&IModuleInformation::get_Setting12>,
    &readNumber<&IModuleInformation::get_Setting13>,
    &readNumber<&IModuleInformation::get_Setting14>,
    &readMessageCodes,
};

}  // namespace

std::vector<std::string> reportModuleInfo(IModuleInformation& info) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < kReaders.size(); ++i) {
    std::string value;
    try {
      value = kReaders[i](info);
    } catch (...) {
      value = formatError(resultFromCurrentException());
    }
    lines.push_back(std::to_string(i + 1) + ": " + value);
  }
  return lines;
}

}  // namespace notecast::host
