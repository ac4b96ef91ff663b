#pragma once
// --register / --unregister: loads a plug-in library and lets it add or remove its classes in the
// host's registry.

#include <ostream>
#include <string>

namespace notecast::host {

enum class RegistrationAction { Register, Unregister };

// Calls DllRegisterServer or DllUnregisterServer of the library at `path`; reports the outcome
// to `out` on success and to `err` otherwise. Returns the process exit status.
int runRegistration(const std::string& path, RegistrationAction action, std::ostream& out,
                    std::ostream& err);

}  // namespace notecast::host
