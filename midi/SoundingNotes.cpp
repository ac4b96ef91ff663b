#include "midi/SoundingNotes.h"

namespace notecast {
namespace {

constexpr unsigned char kNoteOffKind = 0x80, kNoteOnKind = 0x90, kNoteKindMask = 0xF0,
                        kNoteChannelMask = 0x0F;

}  // namespace

void SoundingNotes::track(std::span<const unsigned char> message) noexcept {
  if (message.size() < 3) return;
  const unsigned char kind = message[0] & kNoteKindMask;
  if (kind != kNoteOnKind && kind != kNoteOffKind) return;
  const std::size_t bit = (message[0] & kNoteChannelMask) * kKeys + (message[1] & 0x7F);
  const bool sounds = kind == kNoteOnKind && message[2] > 0;
  if (on_[bit] == sounds) return;
  on_[bit] = sounds;
  if (sounds) {
    ++count_;
  } else {
    --count_;
  }
}

std::vector<SoundingNotes::Note> SoundingNotes::takeAll() {
  std::vector<Note> notes;
  notes.reserve(count_);
  for (std::size_t bit = 0; bit < on_.size() && notes.size() < count_; ++bit) {
    if (on_[bit])
      notes.push_back(
          {static_cast<unsigned char>(bit / kKeys), static_cast<unsigned char>(bit % kKeys)});
  }
  on_.reset();
  count_ = 0;
  return notes;
}

}  // namespace notecast
