#include "persistence/profile/ProfileLine.h"

namespace notecast {
namespace {

// Where part starts inside whole, which it MUST be a piece of.
std::uint32_t offsetIn(std::string_view whole, std::string_view part) {
  return static_cast<std::uint32_t>(part.data() - whole.data());
}

}  // namespace

std::string_view ProfileLine::trim(std::string_view text) noexcept {
  std::size_t first = 0, last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string_view ProfileLine::endText(End end) noexcept {
  switch (end) {
    case End::Lf:
      return "\n";
    case End::CrLf:
      return "\r\n";
    case End::Cr:
      return "\r";
    case End::None:
      break;
  }
  return {};
}

void ProfileLine::classify(std::string_view all) noexcept {
  const std::string_view text = trim(all);
  hasValue = false;
  nameBegin = nameSize = valueBegin = valueSize = 0;
  if (text.empty()) {
    kind = Kind::Blank;
    return;
  }
  std::string_view name;
  if (const auto close = text.rfind(']'); text.front() == '[' && close != std::string_view::npos) {
    kind = Kind::Section;
    name = trim(text.substr(1, close - 1));
  } else {
    kind = Kind::Key;
    const auto equals = text.find('=');
    name = trim(text.substr(0, equals));
    if (equals != std::string_view::npos) {
      const std::string_view value = trim(text.substr(equals + 1));
      hasValue = true;
      valueBegin = offsetIn(all, value);
      valueSize = static_cast<std::uint32_t>(value.size());
    }
  }
  nameBegin = offsetIn(all, name);
  nameSize = static_cast<std::uint32_t>(name.size());
}

void ProfileLine::setKeyLine(std::string_view text, std::size_t keySize) noexcept {
  const std::string_view value = trim(text.substr(keySize + 1));
  kind = Kind::Key;
  nameBegin = 0;
  nameSize = static_cast<std::uint32_t>(keySize);
  hasValue = true;
  valueBegin = offsetIn(text, value);
  valueSize = static_cast<std::uint32_t>(value.size());
}

}  // namespace notecast
