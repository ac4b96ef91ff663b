#include "abi/LumoTypeLib/OptionList.h"

#include "abi/Boundary.h"

namespace lumo {

HRESULT OptionList::Add(Variant* Caption, Variant* Value) noexcept {
  if (!Caption || !Value) return notecast::E_POINTER;
  return notecast::callGuarded([&] { entries_.emplace_back(*Caption, *Value); });
}

HRESULT OptionList::get_Count(std::int32_t* count) noexcept {
  if (!count) return notecast::E_POINTER;
  *count = static_cast<std::int32_t>(entries_.size());
  return notecast::S_OK;
}

HRESULT OptionList::GetEntry(std::int32_t index, Variant* caption, Variant* value) noexcept {
  if (!caption || !value) return notecast::E_POINTER;
  if (index < 0 || index >= static_cast<std::int32_t>(entries_.size()))
    return notecast::E_INVALIDARG;
  return notecast::callGuarded([&] {
    *caption = entries_[static_cast<std::size_t>(index)].first;
    *value = entries_[static_cast<std::size_t>(index)].second;
  });
}

}  // namespace lumo
