#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/dmx/DmxInput.h"

namespace notecast::host {
namespace {

std::string createError(const QString& source) {
  try {
    DmxInput::create(source, false);
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return {};
}

TEST(DmxInputCreateTest, MalformedSourcesAreRejectedWithTheReason) {
  EXPECT_EQ(DmxInput::create("ola:2,1,7", false)->status().source, "OLA universes 2,1,7");
  EXPECT_EQ(createError("ola:"), "DMX source ola: \"\" is not a universe 1..4194303");
  EXPECT_EQ(createError("ola:0"), "DMX source ola: \"0\" is not a universe 1..4194303");
  EXPECT_EQ(createError("ola:1, 2"), "DMX source ola: \" 2\" is not a universe 1..4194303");
  EXPECT_EQ(createError("ola:4194304"), "DMX source ola: \"4194304\" is not a universe 1..4194303");
  EXPECT_EQ(createError("ola:3,1,3"), "DMX source ola: universe 3 is given twice");
  EXPECT_EQ(createError("replay:"), "DMX source replay: names no file");
  EXPECT_TRUE(createError("replay:/nonexistent/x.show").starts_with("cannot read show file"));
  EXPECT_EQ(createError("Stdin"),
            "unknown DMX source \"Stdin\": expected ola:UNIVERSE[,UNIVERSE...][@HOST[:PORT]], "
            "stdin or replay:FILE");
}

// The source names a daemon that is not the default one; the default keeps its short name.
TEST(DmxInputCreateTest, AnOlaDaemonsAddressIsCheckedAndNamed) {
  EXPECT_EQ(DmxInput::create("ola:1@127.0.0.1:9010", false)->status().source, "OLA universe 1");
  EXPECT_EQ(DmxInput::create("ola:1,2@127.0.0.2", false)->status().source,
            "OLA universes 1,2 at 127.0.0.2:9010");
  EXPECT_EQ(DmxInput::create("ola:3@localhost:9011", false)->status().source,
            "OLA universe 3 at localhost:9011");
  EXPECT_EQ(createError("ola:1@"), "DMX source ola: no host after @");
  EXPECT_EQ(createError("ola:0@127.0.0.1"), "DMX source ola: \"0\" is not a universe 1..4194303");
  for (const char* port : {"0", "65536", "", "+1", "x"}) {
    EXPECT_EQ(createError(QStringLiteral("ola:1@127.0.0.1:") + port),
              "DMX source ola: port \"" + std::string(port) + "\" is not 1..65535");
  }
  for (const char* host : {"10.0.0", "256.1.1.1", "a..b", "-lightpc", "light pc", "desk/1"}) {
    EXPECT_EQ(
        createError(QStringLiteral("ola:1@") + host),
        "DMX source ola: \"" + std::string(host) + "\" is neither an IPv4 address nor a host name");
  }
  for (const char* ipv6 : {"::1", "[::1]:9010"}) {
    EXPECT_EQ(createError(QStringLiteral("ola:1@") + ipv6),
              "DMX source ola: \"" + std::string(ipv6) +
                  "\": IPv6 addresses are not supported; give an IPv4 address or a host name");
  }
}

}  // namespace
}  // namespace notecast::host
