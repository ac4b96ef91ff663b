// The rule of the kept connections on a graph of the test's own: a connection is made when the
// own port or a destination appears, and a connection the user removed stays removed until one
// of its ports comes back.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "midi/KeptConnections.h"

namespace notecast {
namespace {

// Ports by name with an identity that changes each time a port is made again; records every
// connection asked for. Connecting fails for the ports named in `refuse`.
class FakeGraph final : public KeptConnections::Graph {
 public:
  void add(const std::string& name) { ports_[name] = ++made_; }
  void remove(const std::string& name) { ports_.erase(name); }

  std::optional<KeptConnections::Port> ownPort() override { return findPort("own:out"); }
  std::optional<KeptConnections::Port> findPort(const std::string& name) override {
    const auto found = ports_.find(name);
    if (found == ports_.end()) return std::nullopt;
    return KeptConnections::Port{name, std::to_string(found->second)};
  }
  bool connect(const std::string& from, const std::string& to) override {
    asked.push_back(from + ">" + to);
    return refuse.count(to) == 0;
  }

  std::vector<std::string> asked;
  std::set<std::string> refuse;

 private:
  std::map<std::string, int> ports_;
  int made_ = 0;
};

using Asked = std::vector<std::string>;

TEST(KeptConnectionsTest, ConnectsWhenEitherPortAppearsAndOnlyThen) {
  KeptConnections kept;
  FakeGraph graph;
  kept.setDestinations({"synth:in", "", "rec:in"});
  graph.add("synth:in");
  kept.update(graph);
  EXPECT_TRUE(graph.asked.empty()) << "no own port, nothing to connect";

  graph.add("own:out");
  kept.update(graph);
  EXPECT_EQ(graph.asked, (Asked{"own:out>synth:in"})) << "the empty name is no port";

  graph.asked.clear();
  kept.update(graph);
  EXPECT_TRUE(graph.asked.empty()) << "a connection the user removed stays removed";

  graph.add("rec:in");
  kept.update(graph);
  EXPECT_EQ(graph.asked, (Asked{"own:out>rec:in"}));

  // The synthesizer quits and starts again between two looks: it is back all the same.
  graph.asked.clear();
  graph.remove("synth:in");
  graph.add("synth:in");
  kept.update(graph);
  EXPECT_EQ(graph.asked, (Asked{"own:out>synth:in"}));

  // Our own port made again (the output opened again, the server restarted) connects all.
  graph.asked.clear();
  graph.remove("own:out");
  kept.update(graph);
  graph.add("own:out");
  kept.update(graph);
  EXPECT_EQ(graph.asked, (Asked{"own:out>synth:in", "own:out>rec:in"}));

  graph.asked.clear();
  kept.forget();
  kept.update(graph);
  EXPECT_EQ(graph.asked, (Asked{"own:out>synth:in", "own:out>rec:in"}))
      << "after forget() the own port counts as new";
}

TEST(KeptConnectionsTest, RefusedConnectionIsPendingAndTriedAgain) {
  KeptConnections kept;
  FakeGraph graph;
  graph.add("own:out");
  graph.add("synth:in");
  graph.refuse.insert("synth:in");
  kept.setDestinations({"synth:in"});
  kept.update(graph);
  EXPECT_TRUE(kept.pending());

  graph.refuse.clear();
  kept.update(graph);
  EXPECT_FALSE(kept.pending());
  EXPECT_EQ(graph.asked, (Asked{"own:out>synth:in", "own:out>synth:in"}));

  graph.asked.clear();
  kept.setDestinations({"synth:in"});
  kept.update(graph);
  EXPECT_EQ(graph.asked, (Asked{"own:out>synth:in"})) << "naming a port again connects it again";
}

}  // namespace
}  // namespace notecast
