#pragma once
// The plug-in's name in the MIDI system, so that several plug-ins (several bridges) on one MIDI
// system can be told apart: its client is called NAME and its own port NAME:out. An optional
// interface of the plug-in object: a host asks for it with QueryInterface; a plug-in without it
// answers E_NOINTERFACE and keeps its own name ("Notecast").
//
// Contract: the host's user-interface thread, after Init. put_ClientName before LoadProjectData
// names the client from its first connection on; later, the plug-in leaves the MIDI system and
// connects again under the new name, reopening its output. E_INVALIDARG for a name that
// clientNameProblem refuses. get_OwnPort tells the own port as the MIDI system named it: JACK
// renames a client whose name is taken ("spring-01:out"); ALSA keeps equal names side by side.
// "" while the plug-in is not connected to a MIDI system. E_POINTER for a null pointer. Calls
// MUST NOT show a box.

#include <string>
#include <string_view>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class IClientName : public IUnknown {
 public:
  static constexpr Iid iid{
      0x92eed909, 0x493a, 0x4531, {0xae, 0xf9, 0x2e, 0x50, 0x7c, 0xb0, 0x74, 0xf4}};

  virtual HRESULT put_ClientName(const char* name) noexcept = 0;
  virtual HRESULT get_OwnPort(std::string* port) noexcept = 0;

 protected:
  ~IClientName() = default;
};

// Why `name` cannot name a MIDI client; empty when it can. JACK takes client names of up to 63
// bytes and adds "-NN" to a taken one; ':' separates the client from the port in every port
// name.
inline std::string clientNameProblem(std::string_view name) {
  constexpr std::size_t kMaxBytes = 48;
  if (name.empty()) return "a MIDI client needs a name";
  if (name.size() > kMaxBytes) return "a MIDI client's name has at most 48 characters";
  for (const char c : name) {
    if (c == ':') return "a MIDI client's name cannot hold ':' (it separates client and port)";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return "a MIDI client's name cannot hold control characters";
  }
  if (name.front() == ' ' || name.back() == ' ')
    return "a MIDI client's name cannot begin or end with a blank";
  return {};
}

}  // namespace notecast
