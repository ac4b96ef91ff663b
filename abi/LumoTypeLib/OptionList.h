#pragma once
// The host class behind LumoCreateOptionList: the entries in the order they were added, each a
// copy of the caption and value given. It is not exported: host and plug-in reach it only through
// LumoCreateOptionList and IOptionList, so its code is always that of libLumoTypeLib.so and stays
// loaded when the plug-in library goes.

#include <utility>
#include <vector>

#include "abi/ComObject.h"
#include "abi/LumoTypeLib/IOptionList.h"

namespace lumo {

class OptionList final : public notecast::ComObject<OptionList, IOptionList> {
 public:
  HRESULT Add(Variant* Caption, Variant* Value) noexcept override;
  HRESULT get_Count(std::int32_t* count) noexcept override;
  HRESULT GetEntry(std::int32_t index, Variant* caption, Variant* value) noexcept override;

 private:
  std::vector<std::pair<Variant, Variant>> entries_;
};

}  // namespace lumo
