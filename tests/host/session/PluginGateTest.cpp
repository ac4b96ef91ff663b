#include "host/session/PluginGate.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace notecast::host {
namespace {

TEST(PluginGateTest, WaitersRunFromTheEventLoopOnceTheOutermostCallHasEnded) {
  PluginGate gate;
  QObject context;
  int ran = 0;
  gate.whenFree(&context, [&] { ++ran; });
  EXPECT_EQ(ran, 0) << "a free gate runs the waiter from the event loop too";
  QCoreApplication::processEvents();
  EXPECT_EQ(ran, 1);
  {
    const PluginGate::Call outer(gate);
    {
      const PluginGate::Call inner(gate);
      gate.whenFree(&context, [&] { ++ran; });
    }
    EXPECT_TRUE(gate.busy());
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1) << "the inner call's end frees nothing";
  }
  EXPECT_FALSE(gate.busy());
  EXPECT_EQ(ran, 1) << "not from inside the call's end";
  QCoreApplication::processEvents();
  EXPECT_EQ(ran, 2);
}

TEST(PluginGateTest, AWaiterWhoseContextIsGoneIsDropped) {
  PluginGate gate;
  auto context = std::make_unique<QObject>();
  bool ran = false;
  {
    const PluginGate::Call call(gate);
    gate.whenFree(context.get(), [&] { ran = true; });
    context.reset();
  }
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace notecast::host
