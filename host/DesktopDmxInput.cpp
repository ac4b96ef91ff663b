#include "host/DesktopDmxInput.h"

#include <stdexcept>

#include "host/session/HostError.h"

namespace notecast::host {
namespace {

std::optional<std::string> sourceOf(const QString& source) {
  if (source.isEmpty()) return std::nullopt;
  return source.toStdString();
}

}  // namespace

QString takeKeptInput(DmxFeed& feed, const std::optional<DmxChoiceStore>& store) {
  const std::optional<QString> kept = store ? store->load() : std::nullopt;
  if (!kept || kept->isEmpty()) return {};
  feed.replaceInput(sourceOf(*kept));
  return *kept;
}

DesktopDmxInput::DesktopDmxInput(DmxFeed& feed, HostMainWindow& window,
                                 std::optional<DmxChoiceStore> store, const HostOptions& options,
                                 DmxFeed::Report report)
    : feed_(feed), window_(window), store_(std::move(store)), report_(std::move(report)) {
  connect(&window_, &HostMainWindow::dmxInputChosen, this, &DesktopDmxInput::apply);
  if (options.dmxSource) {
    showInput(QString::fromStdString(*options.dmxSource));
  } else {
    startWithKeptChoice();
  }
}

void DesktopDmxInput::startWithKeptChoice() {
  QString source;
  try {
    source = takeKeptInput(feed_, store_);
  } catch (const std::runtime_error& error) {
    tellFailure(tr("DMX input of the project not used: %1").arg(error.what()));
  }
  showInput(source);
}

void DesktopDmxInput::apply(const QString& source) {
  try {
    feed_.replaceInput(sourceOf(source));
  } catch (const HostError& error) {
    tellFailure(tr("DMX input not changed: %1").arg(error.what()));
    return;
  }
  showInput(source);
  try {
    if (store_) store_->save(source);
  } catch (const std::runtime_error& error) {
    tellFailure(tr("DMX input not kept for the project: %1").arg(error.what()));
    return;
  }
  window_.showSuccess(feed_.input() ? tr("DMX input: %1").arg(feed_.status().source)
                                    : tr("No DMX input"));
}

void DesktopDmxInput::showInput(const QString& source) {
  DmxInput* input = feed_.input();
  window_.showDmxInput(
      input ? DmxStatusPanel::StatusProvider([this] { return feed_.status(); }) : nullptr, source);
  if (!input) return;
  connect(input, &DmxInput::statusChanged, &window_, &HostMainWindow::refreshDmxStatus);
  // The window stays: the operator sees the input's state and may choose another or quit.
  connect(input, &DmxInput::failed, &window_,
          [this](const QString& reason) { tellFailure(tr("DMX input failed: %1").arg(reason)); });
}

void DesktopDmxInput::tellFailure(const QString& text) const {
  report_(text.toStdString());
  window_.showFailure(text);
}

}  // namespace notecast::host
