// How notecast-host finds and loads the plug-in, and how it says what went wrong.

#include <gtest/gtest.h>

#include "tests/support/HostProcess.h"

namespace notecast::host {
namespace {

void expectLoadFailure(const HostRun& run, const QString& message) {
  EXPECT_NE(run.exitCode, 0);
  EXPECT_TRUE(run.out.isEmpty()) << run.out.join('\n').toStdString();
  EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
}

TEST(PluginLoadingTest, EachLoadFailureHasItsOwnMessage) {
  HostProcess host;
  const QString script = host.writeFile("script.txt", "plugin-name\n");
  const QString notALibrary = host.writeFile("text.so", "not a library\n");

  expectLoadFailure(host.run({"--plugin", "/no/such/Notecast.so", "--script", script}),
                    "cannot load plug-in /no/such/Notecast.so: no such file");
  expectLoadFailure(host.run({"--plugin", notALibrary, "--script", script}),
                    "not a loadable library");
  // A real library, but not an in-process server.
  expectLoadFailure(
      host.run({"--plugin", HostProcess::binDir() + "/libLumoTypeLib.so", "--script", script}),
      "missing entry point DllGetClassObject");
  expectLoadFailure(host.run({"--plugin", HostProcess::pluginPath(), "--script", "/no/script"}),
                    "cannot read script /no/script");
}

TEST(PluginLoadingTest, RegisteredPluginIsFoundWithoutPluginOption) {
  HostProcess host;
  const QString script = host.writeFile("script.txt", "plugin-name\n");
  expectLoadFailure(host.run({"--script", script}), "is not registered");

  const HostRun registered = host.run({"--register", HostProcess::pluginPath()});
  ASSERT_EQ(registered.exitCode, 0) << registered.err.toStdString();
  const HostRun found = host.run({"--script", script});
  EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
  EXPECT_EQ(found.out, QStringList{R"(plugin-name -> "Notecast Plugin")"});

  const HostRun unregistered = host.run({"--unregister", HostProcess::pluginPath()});
  EXPECT_EQ(unregistered.exitCode, 0) << unregistered.err.toStdString();
  expectLoadFailure(host.run({"--script", script}), "is not registered");
}

TEST(PluginLoadingTest, RegisteredClassTheLibraryLacksIsNamed) {
  HostProcess host;
  host.writeFile("config/notecast-host/registry.ini",
                 "[Notecast.clsLumoPlugIn]\nCLSID={00000000-0000-0000-0000-0000000000aa}\nPath=" +
                     HostProcess::pluginPath().toUtf8() + "\n");
  expectLoadFailure(host.run({}),
                    "class {00000000-0000-0000-0000-0000000000aa} not available: error 0x80040111");
}

}  // namespace
}  // namespace notecast::host
