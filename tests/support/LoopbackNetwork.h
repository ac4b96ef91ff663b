#pragma once
// The private network a test program runs in under support/run-isolated.sh (as root), seen from
// inside: its interfaces, their addresses and what they counted. Tests that let a lighting
// console and OLA's network plugins talk (Art-Net, sACN) run only where every interface but lo
// is one the test made itself, and check afterwards that none of those counted a packet.
//
// Both bind their sockets to every address, whatever they are told: only a network with nothing
// but loopback in it keeps their traffic on this machine.

#include <cstdint>
#include <string>
#include <vector>

namespace notecast::testing {

class LoopbackNetwork {
 public:
  // Why the console tests cannot run here (not root, or interfaces besides lo: not a private
  // network of run-isolated.sh); empty when they can.
  static std::string unavailableReason();

  // True when no interface holds an address outside loopback (127.0.0.0/8, ::1).
  static bool onlyLoopbackAddresses();

  // Adds the interface "sink" (type ifb: what is sent to it goes nowhere) holding 127.0.0.1/32,
  // for a program that wants a network interface other than lo and would take 127.0.0.1 from it
  // (OLA's sACN plugin). lo's address is then added again, so that a multicast group joined on
  // 127.0.0.1 is joined on lo: the kernel finds an address's interface by the newest entry.
  // false with the reason in *error.
  static bool addSink(std::string* error);
  // Removes the sink, if there is one.
  static void removeSink();

  struct Counted {
    std::string interface;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
  };
  // The packets every interface but lo received and sent.
  static std::vector<Counted> countedBesideLoopback();
};

}  // namespace notecast::testing
