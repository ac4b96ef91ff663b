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
  separator = kNoValue;
  if (text.empty()) {
    kind = Kind::Blank;
  } else if (text.front() == '[' && text.rfind(']') != std::string_view::npos) {
    kind = Kind::Section;
  } else {
    kind = Kind::Key;
    if (const auto equals = text.find('='); equals != std::string_view::npos)
      separator = offsetIn(all, text) + static_cast<std::uint32_t>(equals);
  }
}

void ProfileLine::setKeyLine(std::size_t nameSize) noexcept {
  kind = Kind::Key;
  separator = static_cast<std::uint32_t>(nameSize);
}

std::string_view ProfileLine::name(std::string_view buffer) const noexcept {
  const std::string_view all = text(buffer);
  switch (kind) {
    case Kind::Section: {
      const std::string_view header = trim(all);
      return trim(header.substr(1, header.rfind(']') - 1));
    }
    case Kind::Key:
      return trim(all.substr(0, separator));
    case Kind::Blank:
      break;
  }
  return {};
}

std::string_view ProfileLine::value(std::string_view buffer) const noexcept {
  if (kind != Kind::Key || !hasValue()) return {};
  return trim(text(buffer).substr(separator + 1));
}

}  // namespace notecast
