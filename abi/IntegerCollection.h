#pragma once
// The IIntegerCollection every module can create (makeComObject), empty at first; a module
// information record keeps its message codes in one. Its code is compiled into each module that
// links notecast_abi, so an instance is counted in its creator's ModuleLock and MUST be released
// before that module may unload.

#include <vector>

#include "abi/ComObject.h"
#include "abi/IIntegerCollection.h"

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
