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
            "unknown DMX source \"Stdin\": expected ola:UNIVERSE[,UNIVERSE...], stdin or "
            "replay:FILE");
}

}  // namespace
}  // namespace notecast::host
