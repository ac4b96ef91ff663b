#include "persistence/profile/ProfileDocument.h"

#include <algorithm>

#include "os/FileSaveError.h"
#include "persistence/profile/ProfileName.h"
#include "persistence/profile/Windows1252.h"

namespace notecast {
namespace {

bool isLineBreak(char c) {
  return c == '\r' || c == '\n';
}

// Bytes as one line of the file holds them: line breaks written as blanks.
std::string_view oneLine(std::string_view bytes, std::string& storage) {
  if (std::none_of(bytes.begin(), bytes.end(), isLineBreak)) return bytes;
  storage.assign(bytes);
  std::replace_if(storage.begin(), storage.end(), isLineBreak, ' ');
  return storage;
}

// Text as the file holds it: Windows-1252, with line breaks written as blanks. ASCII text
// without line breaks (the usual) is used as it is; other text is converted into storage.
std::string_view fileText(std::string_view utf8, std::string& storage) {
  if (Windows1252::asciiPrefix(utf8) == utf8.size()) return oneLine(utf8, storage);
  storage = Windows1252::fromUtf8(utf8);
  std::replace_if(storage.begin(), storage.end(), isLineBreak, ' ');
  return storage;
}

std::string_view fileName(std::string_view utf8, std::string& storage) {
  return ProfileLine::trim(fileText(utf8, storage));
}

// Where the line that starts at `start` ends: at LF, CR LF or a lone CR, as the Windows
// functions read it. Returns the position of the line end (text.size() when there is none).
std::size_t lineEnd(std::string_view text, std::size_t start, ProfileLine::End& end) {
  std::size_t i = start;
  while (i < text.size() && text[i] != '\n' && text[i] != '\r') ++i;
  if (i == text.size()) {
    end = ProfileLine::End::None;
  } else if (text[i] == '\n') {
    end = ProfileLine::End::Lf;
  } else {
    const bool crLf = i + 1 < text.size() && text[i + 1] == '\n';
    end = crLf ? ProfileLine::End::CrLf : ProfileLine::End::Cr;
  }
  return i;
}

// Calls visit with each line of text from start on, classified, its place in text.
template <class Visit>
void forEachLine(std::string_view text, std::size_t start, Visit&& visit) {
  while (start < text.size()) {
    ProfileLine line;
    const std::size_t stop = lineEnd(text, start, line.end);
    line.begin = static_cast<std::uint32_t>(start);
    line.size = static_cast<std::uint32_t>(stop - start);
    line.classify(line.text(text));
    visit(line);
    start = stop + ProfileLine::endText(line.end).size();
  }
}

}  // namespace

ProfileDocument::ProfileDocument() {
  clear();
}

ProfileDocument ProfileDocument::parse(std::string fileBytes) {
  ProfileDocument document;
  document.buffer_ = std::move(fileBytes);
  const std::string_view text(document.buffer_);
  // A byte-order mark is not part of the first line, as the Windows functions read it; lines
  // hold the file's bytes, so a save writes the file without it.
  const std::size_t start = byteOrderMarkSize(text);
  // Counted first, so that the tables are allocated once and at their size.
  std::size_t lines = 0, sections = 0;
  bool blankBefore = false;
  forEachLine(text, start, [&](const ProfileLine& line) {
    const bool blank = line.kind == ProfileLine::Kind::Blank;
    if (!blank || !blankBefore) ++lines;
    if (line.kind == ProfileLine::Kind::Section) ++sections;
    blankBefore = blank;
  });
  document.lines_.reserve(lines + 1);
  document.sections_.reserve(sections + 1);
  document.sectionIndex_.reserve(sections + 1);
  forEachLine(text, start, [&](const ProfileLine& line) { document.addParsedLine(line); });
  return document;
}

std::string_view ProfileDocument::readValue(std::string_view value) noexcept {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value.substr(0, std::min(value.size(), kMaxValueBytes));
}

std::size_t ProfileDocument::byteOrderMarkSize(std::string_view text) noexcept {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  return text.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
}

std::string ProfileDocument::getString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) const {
  const std::optional<std::string_view> bytes = valueBytes(section, key);
  return bytes ? Windows1252::toUtf8(*bytes) : std::string(defaultValue);
}

bool ProfileDocument::setString(std::string_view section, std::string_view key,
                                std::string_view value) {
  std::string storage;
  return setBytes(section, key, fileText(value, storage));
}

std::string ProfileDocument::getWholeText(std::string_view section, std::string_view key,
                                          std::string_view defaultValue) const {
  const std::optional<std::string_view> bytes = valueBytes(section, key);
  return bytes ? Windows1252::fromFileText(*bytes) : std::string(defaultValue);
}

bool ProfileDocument::setWholeText(std::string_view section, std::string_view key,
                                   std::string_view value) {
  const std::string bytes = Windows1252::toFileText(value);
  std::string storage;
  return setBytes(section, key, oneLine(bytes, storage));
}

std::optional<std::string_view> ProfileDocument::valueBytes(std::string_view section,
                                                            std::string_view key) const {
  std::string sectionStorage, keyStorage;
  const std::uint32_t found = findSection(fileName(section, sectionStorage));
  if (found == ProfileIndex::kNone) return std::nullopt;
  const std::uint32_t id = findKey(found, fileName(key, keyStorage));
  if (id == ProfileIndex::kNone || !lines_[id].hasValue()) return std::nullopt;
  return readValue(lines_[id].value(buffer_));
}

bool ProfileDocument::setBytes(std::string_view section, std::string_view key,
                               std::string_view text) {
  std::string sectionStorage, keyStorage;
  const std::string_view name = fileName(section, sectionStorage);
  const std::string_view keyName = fileName(key, keyStorage);
  std::uint32_t found = findSection(name);
  if (found == ProfileIndex::kNone) found = appendSection(name);
  const std::uint32_t id = findKey(found, keyName);
  if (id == ProfileIndex::kNone) {
    insertKey(found, keyName, text);
    return true;
  }
  ProfileLine& line = lines_[id];
  if (line.hasValue() && line.value(buffer_) == text) return false;
  rewriteKey(line, text);
  return true;
}

std::vector<std::string> ProfileDocument::sectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size() - 1);
  // Section 0 stands for the lines before the first header; the others are in file order.
  for (std::size_t s = 1; s < sections_.size(); ++s)
    names.push_back(Windows1252::toUtf8(lines_[sections_[s].header].name(buffer_)));
  return names;
}

void ProfileDocument::clear() {
  buffer_.clear();
  lines_.assign(1, ProfileLine{});
  sections_.assign(1, Section{kStart, kStart, kStart});
  sectionIndex_.clear();
  keyIndex_.clear();
  sectionIndex_.insert(ProfileName::hash(""), 0);
  lastSection_ = ProfileIndex::kNone;
  tail_ = kStart;
  loadError_ = 0;
}

std::string ProfileDocument::bytes() const {
  std::size_t size = 0;
  for (std::uint32_t id = lines_[kStart].next; id != ProfileLine::kNoLine; id = lines_[id].next)
    size += lines_[id].size + ProfileLine::endText(lines_[id].end).size();
  std::string out;
  out.reserve(size);
  for (std::uint32_t id = lines_[kStart].next; id != ProfileLine::kNoLine; id = lines_[id].next) {
    out += lines_[id].text(buffer_);
    out += ProfileLine::endText(lines_[id].end);
  }
  return out;
}

std::uint32_t ProfileDocument::findSection(std::string_view name) const {
  if (lastSection_ != ProfileIndex::kNone && ProfileName::equal(lastSectionName_, name))
    return lastSection_;
  const std::uint32_t found = sectionIndex_.find(ProfileName::hash(name), [&](std::uint32_t s) {
    return ProfileName::equal(lines_[sections_[s].header].name(buffer_), name);
  });
  if (found != ProfileIndex::kNone) {
    lastSectionName_.assign(name);
    lastSection_ = found;
  }
  return found;
}

std::uint32_t ProfileDocument::findKey(std::uint32_t section, std::string_view name) const {
  const Section& s = sections_[section];
  if (s.indexed) {
    return keyIndex_.find(ProfileName::hash(name, section), [&](std::uint32_t id) {
      return lines_[id].section == section && ProfileName::equal(lines_[id].name(buffer_), name);
    });
  }
  for (std::uint32_t id = s.header;; id = lines_[id].next) {
    const ProfileLine& line = lines_[id];
    if (line.kind == ProfileLine::Kind::Key && ProfileName::equal(line.name(buffer_), name))
      return id;
    if (id == s.last) return ProfileIndex::kNone;
  }
}

void ProfileDocument::addParsedLine(ProfileLine line) {
  // Blank lines mean nothing and are never rewritten: a run of them is one line, so a file of
  // line ends alone costs no more than its bytes.
  if (line.kind == ProfileLine::Kind::Blank && tail_ != kStart &&
      lines_[tail_].kind == ProfileLine::Kind::Blank) {
    ProfileLine& run = lines_[tail_];
    run.size = line.begin + line.size - run.begin;
    run.end = line.end;
    return;
  }
  if (line.kind == ProfileLine::Kind::Section) {
    const auto section = static_cast<std::uint32_t>(sections_.size());
    line.section = section;
    const std::uint32_t id = link(line, tail_);
    sections_.push_back(Section{id, id, id});
    const std::string_view name = line.name(buffer_);
    if (findSection(name) == ProfileIndex::kNone)
      sectionIndex_.insert(ProfileName::hash(name), section);
    return;
  }
  const auto section = static_cast<std::uint32_t>(sections_.size() - 1);
  line.section = section;
  const std::uint32_t id = link(line, tail_);
  Section& current = sections_[section];
  current.last = id;
  if (line.kind == ProfileLine::Kind::Blank) return;
  current.lastContent = id;
  if (line.kind == ProfileLine::Kind::Key) addKey(id);
}

void ProfileDocument::addKey(std::uint32_t id) {
  const std::uint32_t section = lines_[id].section;
  Section& s = sections_[section];
  ++s.keys;
  if (!s.indexed && s.keys <= kMaxScannedKeys) return;
  const bool indexAll = !s.indexed;
  s.indexed = true;
  // Only the first line of each name goes in; the index finds nothing else.
  const auto add = [&](std::uint32_t key) {
    const std::string_view name = lines_[key].name(buffer_);
    if (findKey(section, name) == ProfileIndex::kNone)
      keyIndex_.insert(ProfileName::hash(name, section), key);
  };
  if (!indexAll) {
    add(id);
    return;
  }
  for (std::uint32_t line = s.header;; line = lines_[line].next) {
    if (lines_[line].kind == ProfileLine::Kind::Key) add(line);
    if (line == s.last) break;
  }
}

std::uint32_t ProfileDocument::appendSection(std::string_view name) {
  terminate(tail_);
  std::string text;
  text.reserve(name.size() + 2);
  text.append("[").append(name).append("]");
  ProfileLine line;
  line.end = ProfileLine::End::CrLf;
  store(line, text);
  line.classify(text);
  const auto section = static_cast<std::uint32_t>(sections_.size());
  line.section = section;
  const std::uint32_t id = link(line, tail_);
  sections_.push_back(Section{id, id, id});
  sectionIndex_.insert(ProfileName::hash(name), section);
  lastSectionName_.assign(name);
  lastSection_ = section;
  return section;
}

void ProfileDocument::insertKey(std::uint32_t section, std::string_view key,
                                std::string_view value) {
  const std::uint32_t after = sections_[section].lastContent;
  terminate(after);
  std::string text;
  text.reserve(key.size() + 1 + value.size());
  text.append(key).append("=").append(value);
  ProfileLine line;
  line.end = ProfileLine::End::CrLf;
  store(line, text);
  line.setKeyLine(key.size());
  line.section = section;
  const std::uint32_t id = link(line, after);
  Section& current = sections_[section];
  if (current.last == after) current.last = id;
  current.lastContent = id;
  addKey(id);
}

void ProfileDocument::rewriteKey(ProfileLine& line, std::string_view value) {
  // The key as the file spells it; copied, since the buffer may move while it grows.
  const std::string key(line.name(buffer_));
  std::string text;
  text.reserve(key.size() + 1 + value.size());
  text.append(key).append("=").append(value);
  store(line, text);
  line.setKeyLine(key.size());
}

std::uint32_t ProfileDocument::link(ProfileLine line, std::uint32_t after) {
  const auto id = static_cast<std::uint32_t>(lines_.size());
  line.next = lines_[after].next;
  lines_.push_back(line);
  lines_[after].next = id;
  if (tail_ == after) tail_ = id;
  return id;
}

void ProfileDocument::terminate(std::uint32_t line) {
  if (line != kStart && lines_[line].end == ProfileLine::End::None)
    lines_[line].end = ProfileLine::End::CrLf;
}

void ProfileDocument::store(ProfileLine& line, std::string_view text) {
  line.begin = static_cast<std::uint32_t>(buffer_.size());
  line.size = static_cast<std::uint32_t>(text.size());
  buffer_ += text;
}

}  // namespace notecast
