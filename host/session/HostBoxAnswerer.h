#pragma once
// Answers the plug-in's message boxes for a host that runs unattended (headless, script mode,
// --list-outputs): the plug-in asks it instead of showing a box (IBoxRequests), so nothing waits
// for a person. Each box is reported as one line. Script mode's line shows it as a person would
// see it, with the buttons in the box's order and the default one starred,
//   box "TITLE" "TEXT" [Yes*,No,Cancel] question -> Yes
// a host running on its own says it in its own words, on one line,
//   notecast-host: the plug-in says: "TEXT" (answered Yes)
// Each box is answered with its default button unless setNextAnswer chose another.
//
// Contract: user-interface thread. offerTo() hands it to the plug-in, which holds it until the
// plug-in is released: the answerer MUST outlive the plug-in object; `out` MUST outlive it.

#include <optional>
#include <ostream>

#include "abi/IBoxRequests.h"
#include "abi/LumoTypeLib/ILumoPlugin.h"

namespace notecast::host {

class HostBoxAnswerer final : public IBoxAnswerer {
 public:
  enum class Lines { kScript, kHost };

  HostBoxAnswerer(std::ostream& out, Lines lines) : out_(out), lines_(lines) {}
  HostBoxAnswerer(const HostBoxAnswerer&) = delete;
  HostBoxAnswerer& operator=(const HostBoxAnswerer&) = delete;
  ~HostBoxAnswerer() = default;

  // Hands the answerer to the plug-in; false when the plug-in does not take one (its boxes are
  // then real ones).
  bool offerTo(lumo::ILumoPlugin& plugin);

  // The button the next box gets; nothing (and a button the box lacks) means its default
  // button. Used up by that one box.
  void setNextAnswer(std::optional<BoxAnswer> answer) { nextAnswer_ = answer; }
  // How many boxes it answered.
  int answered() const noexcept { return answered_; }

  BoxAnswer AnswerBox(const char* title, const char* text, BoxButtons buttons, BoxIcon icon,
                      BoxAnswer defaultAnswer) noexcept override;

 private:
  std::ostream& out_;
  Lines lines_;
  std::optional<BoxAnswer> nextAnswer_;
  int answered_ = 0;
};

}  // namespace notecast::host
