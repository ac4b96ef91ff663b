#pragma once
// The plug-in takes one sink for the messages it sends (abi/IOutputDetails.h); this one tells
// each of several (--monitor, the web page) in turn.
//
// Contract: user-interface thread; every sink added outlives its place here, and this object
// outlives its place in the plug-in.

#include <vector>

#include "abi/IOutputDetails.h"

namespace notecast::host {

class MessageSinks final : public IMessageSink {
 public:
  // Null adds nothing.
  void add(IMessageSink* sink) {
    if (sink) sinks_.push_back(sink);
  }
  // What to hand the plug-in: null when no sink was added.
  IMessageSink* asSink() noexcept { return sinks_.empty() ? nullptr : this; }

  void MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept override {
    for (IMessageSink* sink : sinks_) sink->MessageSent(bytes, length);
  }

 private:
  std::vector<IMessageSink*> sinks_;
};

}  // namespace notecast::host
