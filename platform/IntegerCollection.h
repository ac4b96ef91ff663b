#pragma once

#include <vector>

#include "platform/ComObject.h"
#include "platform/IIntegerCollection.h"

namespace notecast {

class IntegerCollection final : public ComObject<IntegerCollection, IIntegerCollection> {
 public:
  HRESULT Add(std::int32_t item) noexcept override;
  HRESULT get_Count(std::int32_t* count) noexcept override;
  HRESULT get_Item(std::int32_t index, std::int32_t* item) noexcept override;

 private:
  std::vector<std::int32_t> items_;
};

}  // namespace notecast
