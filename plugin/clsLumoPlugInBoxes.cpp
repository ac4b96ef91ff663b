// The plug-in object's boxes: the host's answerer, asked instead of a real box from now on.

#include "core/BoxRequests.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {

HRESULT clsLumoPlugIn::put_BoxAnswerer(IBoxAnswerer* answerer) noexcept {
  BoxRequests::setHostAnswerer(answerer);
  return S_OK;
}

}  // namespace notecast
