#include "host/NoteRelease.h"

#include <cmath>

#include "abi/ComPtr.h"
#include "abi/INoteRelease.h"

namespace notecast::host {
namespace {

constexpr int kLookMs = 250;

ComPtr<INoteRelease> noteReleaseOf(const PluginSession& session) {
  return ComPtr<lumo::ILumoPlugin>::share(&session.plugin()).query<INoteRelease>();
}

std::string notes(std::int64_t count) {
  return std::to_string(count) + (count == 1 ? " note" : " notes");
}

std::string seconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g s", value);
  return text;
}

}  // namespace

NoteRelease::NoteRelease(PluginSession& session, const HostOptions& options, const DmxFeed& feed,
                         Report report)
    : session_(session),
      feed_(feed),
      report_(std::move(report)),
      on_(!options.keepNotes),
      releaseAfter_(options.releaseAfter) {
  timer_.setInterval(kLookMs);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

void NoteRelease::turnOn() {
  const auto release = noteReleaseOf(session_);
  if (!on_ || !release) {
    on_ = false;
    return;
  }
  on_ = SUCCEEDED(release->put_NoteRelease(VARIANT_TRUE));
}

void NoteRelease::start() {
  if (on_) timer_.start();
}

void NoteRelease::beforeReload() {
  if (!on_) return;
  const PluginGate::Call call(session_.gate());
  release("before the reload");
}

void NoteRelease::tellReleasedSince() {
  if (!on_) return;
  std::int64_t total = 0;
  if (FAILED(noteReleaseOf(session_)->get_NotesReleased(&total)) || total <= told_) return;
  report_("released " + notes(total - told_) + " as the MIDI output closed or changed");
  told_ = total;
}

void NoteRelease::release(const std::string& why) {
  tellReleasedSince();
  std::int32_t released = 0;
  if (FAILED(noteReleaseOf(session_)->ReleaseNotes(&released)) || released <= 0) return;
  report_("released " + notes(released) + " " + why);
  told_ += released;
}

// Each look while the plug-in is free: what it released by itself, and whether DMX stopped.
void NoteRelease::tick() {
  if (session_.gate().busy()) return;
  const PluginGate::Call call(session_.gate());
  tellReleasedSince();
  if (!releaseAfter_) return;
  const qint64 frames = feed_.status().frames;
  if (frames != lastFrames_) {
    lastFrames_ = frames;
    sinceFrame_.start();
    releasedSinceFrame_ = false;
    return;
  }
  if (releasedSinceFrame_ || sinceFrame_.elapsed() < std::lround(*releaseAfter_ * 1000)) return;
  releasedSinceFrame_ = true;
  release("after " + seconds(*releaseAfter_) + " without DMX");
}

}  // namespace notecast::host
