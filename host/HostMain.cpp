// The stand-in lighting host's main, loaded by the notecast-host program (main.cpp). It loads the
// plug-in library through its entry points only and drives it in one of three modes: desktop (a
// window of its own, fed by the DMX input), headless (a bridge without windows) or script (one
// host call per line). It also registers and unregisters plug-ins and lists the plug-in's
// outputs. The exit statuses are in ExitStatus.h.

#include <QApplication>
#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "host/CommandLine.h"
#include "host/DisplayProbe.h"
#include "host/ExitStatus.h"
#include "host/HostModes.h"
#include "host/QtEnvironment.h"
#include "host/Registration.h"
#include "host/SignalWatcher.h"
#include "host/script/ScriptRunner.h"
#include "host/session/EventFileReport.h"
#include "host/session/HostError.h"
#include "host/session/PluginLocator.h"
#include "host/session/PluginSession.h"
#include "host/session/ResultFormat.h"

namespace {

using namespace notecast::host;

constexpr const char* kStandardInput = "-";

// Opens the script before anything is loaded, so a wrong name costs nothing.
std::istream& openScript(const std::string& path, std::ifstream& file) {
  if (path == kStandardInput) return std::cin;
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw HostError("cannot read script " + path + ": is a folder");
  }
  file.open(path, std::ios::binary);
  if (!file) throw HostError("cannot read script " + path + ": " + std::strerror(errno));
  return file;
}

// Init, then the script.
void runScript(PluginSession& session, std::istream& script) {
  ScriptRunner runner(session, std::cout);
  notecast::VARIANT_BOOL initialised = notecast::VARIANT_FALSE;
  const notecast::HRESULT result = runner.initialise(&initialised);
  if (notecast::FAILED(result) || initialised == notecast::VARIANT_FALSE) {
    std::cerr << "notecast-host: warning: Init of " << session.libraryPath() << " answered "
              << (notecast::FAILED(result) ? explainFailure(result) : formatBoolean(initialised))
              << '\n';
  }
  runner.run(script);
}

// Headless when asked, and wherever there is no screen to show a window on.
bool runsHeadless(const HostOptions& options) {
  if (options.headless) return true;
  return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A desktop or headless run without --project works on the user's default project, so that
// nothing lands in whatever folder the host was started from. Script mode keeps no project: a
// script names its own with project lines.
void useDefaultProject(HostOptions& options) {
  if (options.scriptPath || options.listOutputs || !options.projectBase.empty()) return;
  options.projectBase = defaultProjectBase(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  const std::filesystem::path folder = std::filesystem::path(options.projectBase).parent_path();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    throw HostError("cannot make the folder of the default project " + folder.string() + ": " +
                    error.message());
  }
  std::cerr << "notecast-host: no --project given: using " << options.projectBase << '\n';
}

int runPlugin(HostOptions options, bool headless) {
  std::ifstream file;
  std::istream* script = options.scriptPath ? &openScript(*options.scriptPath, file) : nullptr;
  useDefaultProject(options);
  const PluginLocation location =
      locatePlugin(options.pluginPath, notecast::ClassRegistry(), installedPluginPath());
  PluginSession session(location.path, location.clsid, options.projectBase);
  if (const auto mistake = projectBaseMistake(session, options.projectBase)) {
    std::cerr << "notecast-host: " << *mistake << '\n' << kUsage;
    return kExitUsage;
  }
  if (options.listOutputs) return listOutputs(session, options);
  if (script) {
    runScript(session, *script);
    session.close();
    return kExitSuccess;
  }
  return headless ? runHeadless(session, options) : runDesktop(session, options);
}

}  // namespace

// Whether the run shows windows, and where: a desktop run whose display cannot be reached goes on
// headless, saying why; a run that asked for windows with --show ends (nullopt).
std::optional<bool> chooseHeadless(const HostOptions& options) {
  const bool headless = !options.scriptPath && runsHeadless(options);
  if (!options.show && (options.scriptPath || headless || options.listOutputs)) return headless;
  const std::optional<std::string> unreachable = unreachableDisplay();
  if (!unreachable) return headless;
  if (options.show) {
    std::cerr << "notecast-host: cannot show windows: " << *unreachable << '\n';
    return std::nullopt;
  }
  std::cerr << "notecast-host: " << *unreachable << ": running headless\n";
  return true;
}

extern "C" __attribute__((visibility("default"))) int notecastHostMain(int argc, char** argv) {
  // A stop signal that came while the host was loading waits, blocked, until it is caught here.
  SignalWatcher::catchFromStart();
  // A reader of the host's output that goes away (a log pipe closed) must not end a show: writes
  // to it fail quietly instead.
  std::signal(SIGPIPE, SIG_IGN);
  HostOptions options;
  try {
    options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const HostError& error) {
    std::cerr << "notecast-host: " << error.what() << '\n' << kUsage;
    return kExitUsage;
  }
  if (options.help) {
    std::cout << kUsage << kHelp;
    return kExitSuccess;
  }
  if (options.version) {
    std::cout << versionLine() << '\n';
    return kExitSuccess;
  }
  // Script mode and registration keep the system's own handling of the signals.
  const bool watchesSignals = !options.scriptPath && !options.registerPath &&
                              !options.unregisterPath && !options.listOutputs;
  if (!watchesSignals) SignalWatcher::releaseToSystem();
  if (options.registerPath) {
    return runRegistration(*options.registerPath, RegistrationAction::Register, std::cout,
                           std::cerr);
  }
  if (options.unregisterPath) {
    return runRegistration(*options.unregisterPath, RegistrationAction::Unregister, std::cout,
                           std::cerr);
  }

  const std::optional<bool> headless = chooseHeadless(options);
  if (!headless) return kExitFailure;
  // Qt reads options of its own from the command line (it would take "--plugin" as a request to
  // load a Qt plug-in), so it sees the program name only.
  int qtArgc = 1;
  // The headless run and the listing of the outputs show no window: no widgets and no display
  // platform, only Qt's event loop. Script mode runs on the offscreen platform unless --show
  // asks for a screen.
  std::unique_ptr<QCoreApplication> application;
  if ((*headless && !options.scriptPath) || options.listOutputs) {
    application = std::make_unique<QCoreApplication>(qtArgc, argv);
  } else {
    prepareQtEnvironment(options.show || !options.scriptPath);
    application = std::make_unique<QApplication>(qtArgc, argv);
  }
  try {
    return runPlugin(options, *headless);
  } catch (const std::exception& error) {
    // A HostError says what went wrong; anything else of the host's own is told the same way
    // rather than ending it without a word.
    std::cerr << "notecast-host: " << error.what() << '\n';
    return kExitFailure;
  }
}
