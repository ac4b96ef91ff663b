#include "host/ChangeDispatcher.h"

#include <exception>
#include <optional>
#include <utility>

namespace notecast::host {

ChangeDispatcher::ChangeDispatcher(DmxInput& input, PluginGate& gate, Delivery delivery,
                                   FailureHandler onFailure)
    : gate_(gate), delivery_(std::move(delivery)), onFailure_(std::move(onFailure)) {
  input.setDeliveryGate({[&gate] { return gate.busy(); },
                         [&gate](QObject* context, std::function<void()> resume) {
                           gate.whenFree(context, std::move(resume));
                         }});
  connect(&input, &DmxInput::changed, this, &ChangeDispatcher::deliver);
}

void ChangeDispatcher::deliver(int channel, int value) {
  std::optional<Failure> failure;
  {
    const PluginGate::Call call(gate_);
    try {
      const HRESULT result = delivery_(channel, value);
      if (FAILED(result)) failure = Failure{channel, value, result, {}};
    } catch (const std::exception& error) {
      failure = Failure{channel, value, E_FAIL, error.what()};
    }
  }
  if (failure) onFailure_(*failure);
}

}  // namespace notecast::host
