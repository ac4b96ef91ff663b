#include "midi/RtMidiClient.h"

#include <chrono>
#include <thread>
#include <utility>

#include "midi/BoundedClose.h"
#include "midi/QuietMidiLibraries.h"

namespace notecast {
namespace {

constexpr const char* kUnknownFailure = "the MIDI system failed without saying why";
constexpr const char* kNoSuchPort = "the port is no longer there";

// Longer than any processing cycle's run of RtMidi's callback.
constexpr std::chrono::milliseconds kCycleEnds{20};

void ignoreError(RtMidiError::Type, const std::string&, void*) {}

}  // namespace

std::unique_ptr<RtMidiClient> RtMidiClient::create(RtMidi::Api api, const std::string& clientName,
                                                   std::string* complaint) {
  QuietMidiLibraries::ensure();
  try {
    // Until the callback is installed RtMidi throws its errors (and prints them).
    std::unique_ptr<RtMidiClient> client(
        new RtMidiClient(std::make_unique<RtMidiOut>(api, clientName), clientName));
    client->out_->setErrorCallback(&RtMidiClient::noteError, client.get());
    return client;
  } catch (const RtMidiError& error) {
    *complaint = error.getMessage();
  } catch (const std::exception& error) {
    *complaint = error.what();
  }
  return nullptr;
}

RtMidiClient::RtMidiClient(std::unique_ptr<RtMidiOut> out, std::string clientName)
    : out_(std::move(out)),
      clientName_(std::move(clientName)),
      closeDeadline_(BoundedClose::kDeadline) {}

// RtMidi may complain while it closes, when this object may be gone (a close left behind).
// RtMidi's JACK output frees its buffer before it closes its client, while a processing cycle
// may still be reading that buffer. With the port closed first, a cycle no longer looks at the
// buffer, and one that began before has ended a moment later.
RtMidiClient::~RtMidiClient() noexcept {
  out_->setErrorCallback(&ignoreError, nullptr);
  BoundedClose::run(
      "closing the MIDI client " + clientName_,
      [out = std::shared_ptr<RtMidiOut>(std::move(out_))]() mutable {
        out->closePort();
        std::this_thread::sleep_for(kCycleEnds);
        out.reset();
      },
      closeDeadline_);
}

void RtMidiClient::noteError(RtMidiError::Type type, const std::string& text, void* client) {
  if (type == RtMidiError::DEBUG_WARNING) return;
  auto* self = static_cast<RtMidiClient*>(client);
  if (self->complaint_.empty()) self->complaint_ = text.empty() ? kUnknownFailure : text;
}

template <class Call>
std::string RtMidiClient::attempt(Call&& call) {
  complaint_.clear();
  try {
    call();
  } catch (const RtMidiError& error) {
    if (complaint_.empty()) complaint_ = error.getMessage();
  } catch (const std::exception& error) {
    if (complaint_.empty()) complaint_ = error.what();
  }
  return std::exchange(complaint_, {});
}

unsigned int RtMidiClient::portCount() {
  unsigned int count = 0;
  const std::string complaint = attempt([&] { count = out_->getPortCount(); });
  return complaint.empty() ? count : 0;
}

std::string RtMidiClient::portName(unsigned int index) {
  std::string name;
  // RtMidi reads past the end of JACK's port list for an index beyond it: check it first.
  if (index >= portCount()) return name;
  const std::string complaint = attempt([&] { name = out_->getPortName(index); });
  return complaint.empty() ? name : std::string();
}

std::string RtMidiClient::openVirtualPort(const std::string& portName) {
  return attempt([&] { out_->openVirtualPort(portName); });
}

std::string RtMidiClient::openPort(unsigned int index, const std::string& portName) {
  if (index >= portCount()) return kNoSuchPort;
  return attempt([&] { out_->openPort(index, portName); });
}

std::string RtMidiClient::send(const std::vector<unsigned char>& bytes) {
  return attempt([&] { out_->sendMessage(&bytes); });
}

}  // namespace notecast
