#include "abi/IntegerCollection.h"

#include "abi/Boundary.h"

namespace notecast {

HRESULT IntegerCollection::Add(std::int32_t item) noexcept {
  return callGuarded([&] { items_.push_back(item); });
}

HRESULT IntegerCollection::get_Count(std::int32_t* count) noexcept {
  if (!count) return E_POINTER;
  *count = static_cast<std::int32_t>(items_.size());
  return S_OK;
}

HRESULT IntegerCollection::get_Item(std::int32_t index, std::int32_t* item) noexcept {
  if (!item) return E_POINTER;
  if (index < 1 || index > static_cast<std::int32_t>(items_.size())) return E_INVALIDARG;
  *item = items_[static_cast<std::size_t>(index - 1)];
  return S_OK;
}

}  // namespace notecast
