#include "midi/QuietMidiLibraries.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <atomic>
#include <string_view>

namespace notecast {
namespace {

using JackMessageHandler = void (*)(const char*);

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
void ignoreJackMessage(const char*) {}

constexpr std::string_view kJackCleanup = "Jack server was closed but clients are still allocated";
std::atomic<std::uint64_t> jackCleanupCount{0};

void noteJackError(const char* message) {
  if (message && std::string_view(message).starts_with(kJackCleanup)) jackCleanupCount.fetch_add(1);
}

// What was installed before; static so the class needs no library types in its header.
snd_lib_error_handler_t previousAlsaError = nullptr;
JackMessageHandler previousJackError = nullptr;
JackMessageHandler previousJackInfo = nullptr;

}  // namespace

void QuietMidiLibraries::ensure() noexcept {
  static QuietMidiLibraries quiet;
}

std::uint64_t QuietMidiLibraries::jackCleanups() noexcept {
  return jackCleanupCount.load();
}

QuietMidiLibraries::QuietMidiLibraries() noexcept {
  previousAlsaError = snd_lib_error;
  previousJackError = jack_error_callback;
  previousJackInfo = jack_info_callback;
  snd_lib_error_set_handler(ignoreAlsaMessage);
  jack_set_error_function(noteJackError);
  jack_set_info_function(ignoreJackMessage);
}

// Runs when this library is unloaded; a handler someone else installed since stays.
QuietMidiLibraries::~QuietMidiLibraries() noexcept {
  if (snd_lib_error == ignoreAlsaMessage) snd_lib_error_set_handler(previousAlsaError);
  if (jack_error_callback == noteJackError) jack_set_error_function(previousJackError);
  if (jack_info_callback == ignoreJackMessage) jack_set_info_function(previousJackInfo);
}

}  // namespace notecast
