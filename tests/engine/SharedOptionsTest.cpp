// The options a table offers to the host's commands: named shared records, in table order.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "abi/RuntimeError.h"
#include "engine/SharedOptions.h"
#include "tests/support/EventBuilder.h"

namespace notecast {
namespace {

using testing::sharedEvent;

using Options = std::vector<std::pair<std::string, std::int32_t>>;

Options optionsOf(const EventTable& table) {
  Options options;
  for (const SharedOption& option : sharedOptionsOf(table))
    options.emplace_back(option.name, option.row);
  return options;
}

TEST(SharedOptionsTest, NamedSharedRecordsInTableOrderWithTheirRows) {
  EventTable table;
  table.assign({sharedEvent(0, "Fog"), sharedEvent(1, "Strobe"), sharedEvent(1, ""),
                sharedEvent(2, "Haze"), sharedEvent(1, "Strobe"), sharedEvent(-1, "Blinder")});
  EXPECT_EQ(optionsOf(table), (Options{{"Strobe", 1}, {"Haze", 3}, {"Strobe", 4}, {"Blinder", 5}}))
      << "Share 0 and empty names are left out; a repeated name is listed again";
}

TEST(SharedOptionsTest, FollowTheTable) {
  EventTable table;
  table.assign({sharedEvent(0, "Fog")});
  EXPECT_EQ(optionsOf(table), Options{});
  table.append(sharedEvent(1, "Strobe"));
  table.setField(0, MidiEventField::Share, 1);
  EXPECT_EQ(optionsOf(table), (Options{{"Fog", 0}, {"Strobe", 1}}));
  table.remove(0);
  EXPECT_EQ(optionsOf(table), (Options{{"Strobe", 0}}));
}

TEST(SharedOptionsTest, ANeverDimensionedTableIsSubscriptError) {
  try {
    sharedOptionsOf(EventTable());
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 9);
  }
}

}  // namespace
}  // namespace notecast
