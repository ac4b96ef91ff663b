#include "host/script/ScriptGrammar.h"

#include <vector>

namespace notecast::host {
namespace {

constexpr ArgumentKind kNumber = ArgumentKind::Number;
constexpr ArgumentKind kWord = ArgumentKind::Word;
constexpr ArgumentKind kText = ArgumentKind::Text;
constexpr ArgumentKind kRest = ArgumentKind::Rest;

const std::vector<CallSyntax>& grammar() {
  static const std::vector<CallSyntax> calls = {
      // The plug-in object.
      {"init", {}},
      {"plugin-name", {}},
      {"enable", {}},
      {"disable", {}},
      {"configure", {}},
      {"term", {}},
      {"message", {kNumber, kNumber, kNumber}},
      {"dmx", {kNumber, kNumber}},
      {"module-info", {}},
      // Project data, through the window's tool interface.
      {"clear", {}},
      {"load", {}},
      {"save", {}},
      {"ask-to-save", {}},
      {"view-mode", {kNumber}},
      // The window.
      {"is-open", {}},
      {"load-window", {}},
      {"unload-window", {}},
      {"hide-window", {}},
      {"show-window", {}},
      {"window-state", {}},
      {"set-window-state", {kNumber}},
      // The command server. Option values may hold blanks, so the last one is text.
      {"command-name", {}},
      {"first-options", {}},
      {"second-options", {kText}},
      {"execute", {kWord, kText}},
      // The host itself.
      {"project", {kText}},
      {"answer", {kWord}},
      {"sleep", {kNumber}},
      {"quit", {}},
      // The user at the window; its sub-calls are taken apart by the call itself.
      {"ui", {kRest}},
  };
  return calls;
}

const std::vector<CallSyntax>& uiCalls() {
  // Control names have no blanks; typed text may have any.
  static const std::vector<CallSyntax> calls = {
      {"type", {kWord, kText}},
      {"clear", {kWord}},
      {"click", {kWord}},
      {"pick", {kWord, kNumber}},
      {"select", {kWord, kNumber}},
      {"dump", {}},
      {"window", {}},
  };
  return calls;
}

}  // namespace

std::span<const CallSyntax> scriptGrammar() {
  return grammar();
}

std::span<const CallSyntax> uiGrammar() {
  return uiCalls();
}

}  // namespace notecast::host
