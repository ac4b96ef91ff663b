#pragma once
// One client of the MIDI system through RtMidi, with at most one output port. The only place
// that touches RtMidi: every RtMidi error, thrown or handed to its error callback, becomes the
// text an operation returns, so a refusal of the MIDI system is an answer and never a crash.
// User-interface thread only; RtMidi calls its error callback synchronously on that thread.
// Leaving the MIDI system is bounded in time (BoundedClose): RtMidi's JACK client closes through
// jack_client_close, which can block for good.

#include <RtMidi.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace notecast {

class RtMidiClient {
 public:
  // A client named `clientName` of `api`; null when the MIDI system refuses, with its reason in
  // *complaint. The error callback is in place before any other call reaches RtMidi.
  static std::unique_ptr<RtMidiClient> create(RtMidi::Api api, const std::string& clientName,
                                              std::string* complaint);

  RtMidiClient(const RtMidiClient&) = delete;
  RtMidiClient& operator=(const RtMidiClient&) = delete;
  // Closes the port and leaves the MIDI system, in bounded time; ALSA drops a virtual port only
  // here.
  ~RtMidiClient() noexcept;

  // The output ports of the system that this client can send to, in the system's order.
  unsigned int portCount();
  // Empty when there is no port `index` (any more).
  std::string portName(unsigned int index);

  // Each returns an empty text when it succeeded, otherwise what the MIDI system said.
  std::string openVirtualPort(const std::string& portName);
  std::string openPort(unsigned int index, const std::string& portName);
  std::string send(const std::vector<unsigned char>& bytes);
  // How long the close may take before it is left behind (BoundedClose::kDeadline unless set).
  void setCloseDeadline(std::chrono::milliseconds deadline) noexcept { closeDeadline_ = deadline; }

 private:
  RtMidiClient(std::unique_ptr<RtMidiOut> out, std::string clientName);

  // Runs one RtMidi call; returns the first complaint raised during it.
  template <class Call>
  std::string attempt(Call&& call);
  static void noteError(RtMidiError::Type type, const std::string& text, void* client);

  std::unique_ptr<RtMidiOut> out_;
  std::string clientName_;
  std::string complaint_;  // first error of the call in progress
  std::chrono::milliseconds closeDeadline_;
};

}  // namespace notecast
