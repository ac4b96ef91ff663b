#include "persistence/profile/ProfileScan.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>

#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

constexpr std::size_t kScanChunk = 1 << 16;

bool isLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// Hands one line to visit. Every CR and LF ends a line here: the empty line between the two of a
// CR LF is blank, which means nothing.
void deliver(std::string_view text, bool& first, const ProfileScan::Visit& visit) {
  if (first) {
    text.remove_prefix(ProfileDocument::byteOrderMarkSize(text));
    first = false;
  }
  ProfileLine line;
  line.size = static_cast<std::uint32_t>(text.size());
  line.classify(text);
  if (line.kind != ProfileLine::Kind::Blank) visit(line, text);
}

}  // namespace

int ProfileScan::read(int descriptor, const Visit& visit) {
  std::array<char, kScanChunk> chunk{};
  std::string pending;  // the start of a line whose end is still to come
  bool first = true;
  for (;;) {
    const ssize_t count = ::read(descriptor, chunk.data(), chunk.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    if (count == 0) break;
    std::string_view data(chunk.data(), static_cast<std::size_t>(count));
    for (auto end = std::find_if(data.begin(), data.end(), isLineEnd); end != data.end();
         end = std::find_if(data.begin(), data.end(), isLineEnd)) {
      const auto length = static_cast<std::size_t>(end - data.begin());
      if (pending.empty()) {
        deliver(data.substr(0, length), first, visit);
      } else {
        pending.append(data.substr(0, length));
        deliver(pending, first, visit);
        pending.clear();
      }
      data.remove_prefix(length + 1);
    }
    pending.append(data);
  }
  if (!pending.empty()) deliver(pending, first, visit);
  return 0;
}

}  // namespace notecast
