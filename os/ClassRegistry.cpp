#include "os/ClassRegistry.h"

#include "abi/TextCompare.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "os/AtomicFile.h"

namespace notecast {
namespace {

std::string trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::string> sectionName(const std::string& line) {
  const std::string text = trim(line);
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return std::nullopt;
  return trim(text.substr(1, text.size() - 2));
}

std::vector<std::string> readLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// All lines except the section of progId.
std::vector<std::string> withoutSection(const std::vector<std::string>& lines,
                                        const std::string& progId) {
  std::vector<std::string> kept;
  bool skipping = false;
  for (const auto& line : lines) {
    if (const auto name = sectionName(line)) skipping = equalsIgnoringCase(*name, progId);
    if (!skipping) kept.push_back(line);
  }
  return kept;
}

void writeAtomically(const std::string& path, const std::vector<std::string>& lines) {
  const std::filesystem::path target(path);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
  std::string content;
  for (const auto& line : lines) content += line + "\n";
  AtomicFile::replace(path, content);
}

}  // namespace

std::string ClassRegistry::defaultPath() {
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = ".";
  }
  return base + "/notecast-host/registry.ini";
}

ClassRegistry::ClassRegistry(std::string path) : path_(std::move(path)) {}

void ClassRegistry::write(const ClassRegistration& registration) const {
  auto lines = withoutSection(readLines(path_), registration.progId);
  lines.push_back('[' + registration.progId + ']');
  for (const auto& [key, value] : registration.values) lines.push_back(key + '=' + value);
  writeAtomically(path_, lines);
}

void ClassRegistry::remove(const std::string& progId) const {
  if (!find(progId)) return;
  writeAtomically(path_, withoutSection(readLines(path_), progId));
}

std::optional<ClassRegistration> ClassRegistry::find(const std::string& progId) const {
  std::optional<ClassRegistration> found;
  bool inside = false;
  for (const auto& line : readLines(path_)) {
    if (const auto name = sectionName(line)) {
      inside = equalsIgnoringCase(*name, progId);
      if (inside && !found) found = ClassRegistration{*name, {}};
      continue;
    }
    const auto equals = line.find('=');
    if (!inside || equals == std::string::npos) continue;
    found->values[trim(line.substr(0, equals))] = trim(line.substr(equals + 1));
  }
  return found;
}

}  // namespace notecast
