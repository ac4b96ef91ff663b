#pragma once

#include <utility>
#include <vector>

#include "platform/ComObject.h"
#include "plugin/LumoTypeLib/IOptionList.h"

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
