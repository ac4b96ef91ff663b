#pragma once
// A DMX input of one universe fed by the test itself, frame by frame.

#include <QString>
#include <cstdint>
#include <vector>

#include "host/dmx/DmxInput.h"

namespace notecast::host {

class FedInput : public DmxInput {
 public:
  FedInput() : DmxInput(QStringLiteral("test frames"), 1) {}
  void start() override {}
  using DmxInput::takeChannel;
  using DmxInput::takeFrame;

  void takeFrame(std::vector<std::uint8_t> values) { takeFrame(1, values); }

 private:
  void stopSource() override {}
};

}  // namespace notecast::host
