#include "midi/QuietMidiLibraries.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

namespace notecast {
namespace {

using JackMessageHandler = void (*)(const char*);

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
void ignoreJackMessage(const char*) {}

// What was installed before; static so the class needs no library types in its header.
snd_lib_error_handler_t previousAlsaError = nullptr;
JackMessageHandler previousJackError = nullptr;
JackMessageHandler previousJackInfo = nullptr;

}  // namespace

void QuietMidiLibraries::ensure() noexcept {
  static QuietMidiLibraries quiet;
}

QuietMidiLibraries::QuietMidiLibraries() noexcept {
  previousAlsaError = snd_lib_error;
  previousJackError = jack_error_callback;
  previousJackInfo = jack_info_callback;
  snd_lib_error_set_handler(ignoreAlsaMessage);
  jack_set_error_function(ignoreJackMessage);
  jack_set_info_function(ignoreJackMessage);
}

// Runs when this library is unloaded; a handler someone else installed since stays.
QuietMidiLibraries::~QuietMidiLibraries() noexcept {
  if (snd_lib_error == ignoreAlsaMessage) snd_lib_error_set_handler(previousAlsaError);
  if (jack_error_callback == ignoreJackMessage) jack_set_error_function(previousJackError);
  if (jack_info_callback == ignoreJackMessage) jack_set_info_function(previousJackInfo);
}

}  // namespace notecast
