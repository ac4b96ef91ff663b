#pragma once
// The notes the plug-in's output has left sounding: a note-on with a velocity above 0 that no
// note-off, and no note-on with velocity 0, of the same channel and note has followed. Fed with
// every message that went out, as on the wire, so that the notes can be released before the
// output closes or changes. User-interface thread only; tracking costs a few bit operations.

#include <bitset>
#include <cstddef>
#include <span>
#include <vector>

namespace notecast {

class SoundingNotes {
 public:
  struct Note {
    unsigned char channel;  // 0..15
    unsigned char key;      // 0..127
  };

  // One message that went out, as on the wire.
  void track(std::span<const unsigned char> message) noexcept;
  std::size_t count() const noexcept { return count_; }
  // The sounding notes in channel and key order, forgotten: the caller releases them.
  std::vector<Note> takeAll();

 private:
  static constexpr std::size_t kKeys = 128;
  std::bitset<16 * kKeys> on_;
  std::size_t count_ = 0;
};

}  // namespace notecast
