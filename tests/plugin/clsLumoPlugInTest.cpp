// The plug-in object as the host sees it, in process: results of every operation, the module
// information record, the shared window and the tear-down on the last release.

#include <gtest/gtest.h>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/ModuleLock.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"
#include "tests/plugin/FakeHelper.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::FakeHelper;

class clsLumoPlugInTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    object_ = makeComObject<clsLumoPlugIn>();
    plugin_ = object_.query<lumo::ILumoPlugin>();
    module_ = object_.query<lumo::ILumoModule>();
  }
  void TearDown() override {
    object_.reset();
    plugin_.reset();
    module_.reset();
    EXPECT_TRUE(PluginGlobals::isTornDown()) << "the last release tears the plug-in down";
    setMidiOutputFactory({});
  }

  VARIANT_BOOL init(IUnknown* helper) {
    VARIANT_BOOL result = 0;
    EXPECT_EQ(plugin_->Init("host", "/x/Notecast.so", helper, &result), S_OK);
    return result;
  }

  ComPtr<lumo::IModuleInformation> moduleInfo() {
    ComPtr<lumo::IModuleInformation> info;
    EXPECT_EQ(module_->get_ModuleInfo(info.put()), S_OK);
    return info;
  }

  testing::TempDir dir_;
  RecordingMidiOutput midi_;
  ComPtr<clsLumoPlugIn> object_;
  ComPtr<lumo::ILumoPlugin> plugin_;
  ComPtr<lumo::ILumoModule> module_;
};

TEST_F(clsLumoPlugInTest, PluginNameThroughBothInterfaces) {
  std::string name;
  EXPECT_EQ(plugin_->get_PluginName(&name), S_OK);
  EXPECT_EQ(name, "Notecast Plugin");
  auto defaultInterface = object_.query<_clsLumoPlugIn>();
  ASSERT_TRUE(defaultInterface);
  name.clear();
  EXPECT_EQ(defaultInterface->get_PluginName(&name), S_OK);
  EXPECT_EQ(name, "Notecast Plugin");
}

TEST_F(clsLumoPlugInTest, OperationResultsAreThoseTheHostExpects) {
  EXPECT_EQ(init(FakeHelper::withProject(dir_.file("show"), nullptr).get()), VARIANT_TRUE);
  VARIANT_BOOL result = 0;
  EXPECT_EQ(plugin_->Enable(&result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  EXPECT_FALSE(PluginGlobals::hasWindow()) << "Enable does nothing";

  result = 0;
  EXPECT_EQ(plugin_->Configure(&result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  EXPECT_EQ(PluginGlobals::window().presence(), Configfrm::Presence::Shown);

  result = 0;
  midi_.clearLog();
  EXPECT_EQ(plugin_->Term(&result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  EXPECT_EQ(PluginGlobals::window().presence(), Configfrm::Presence::Hidden)
      << "Term hides but does not unload";
  EXPECT_EQ(midi_.log(), (std::vector<std::string>{"Action=2"})) << "and closes the device";

  result = VARIANT_TRUE;
  EXPECT_EQ(plugin_->Disable(&result), S_OK);
  EXPECT_EQ(result, VARIANT_FALSE) << "Disable answers False although it succeeds";
  EXPECT_EQ(PluginGlobals::window().presence(), Configfrm::Presence::NotLoaded);
}

TEST_F(clsLumoPlugInTest, InitReplacesTheEarlierHelperAndTearDownReleasesTheLast) {
  bool firstReleased = false, secondReleased = false;
  init(FakeHelper::withProject("/a", &firstReleased).get());
  EXPECT_FALSE(firstReleased);
  init(FakeHelper::withProject("/b", &secondReleased).get());
  EXPECT_TRUE(firstReleased);
  EXPECT_EQ(lumo::readProjectBaseFilename(PluginGlobals::helper().asObject().get()), "/b");
  object_.reset();
  plugin_.reset();
  EXPECT_FALSE(secondReleased);
  module_.reset();
  EXPECT_TRUE(secondReleased);
}

TEST_F(clsLumoPlugInTest, MessagesOtherThan15AreIgnored) {
  for (std::int32_t message : {0, 9, 14, 16, -15, 2147483647}) {
    std::int32_t msg = message, arg1 = 123456, arg2 = -7, result = -1;
    EXPECT_EQ(plugin_->MessageHandle(&msg, &arg1, &arg2, &result), S_OK) << message;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(msg, message);
  }
  EXPECT_FALSE(PluginGlobals::hasWindow()) << "an ignored message does not even create the window";
}

TEST_F(clsLumoPlugInTest, ModuleInformationValuesInOrder) {
  auto info = moduleInfo();
  ASSERT_TRUE(info);
  std::string text;
  std::int32_t number = 0;
  info->get_ModuleId(&text);
  EXPECT_EQ(text, "{6f1c2d8e-93a4-4b57-b0de-5a7c41e2f903}");
  info->get_ModuleName(&text);
  EXPECT_EQ(text, "Notecast");
  info->get_Description(&text);
  EXPECT_EQ(text, "Sendet Midi Daten");
  info->get_Author(&text);
  EXPECT_FALSE(text.empty());
  info->get_Setting5(&number);
  EXPECT_EQ(number, 0);
  info->get_Setting6(&number);
  EXPECT_EQ(number, -1);
  info->get_Setting7(&number);
  EXPECT_EQ(number, 2);
  info->get_WindowClassName(&text);
  EXPECT_EQ(text, "Configfrm");
  info->get_Setting10(&number);
  EXPECT_EQ(number, -1);
  info->get_Setting12(&number);
  EXPECT_EQ(number, 0);
  info->get_Setting13(&number);
  EXPECT_EQ(number, 0);
  info->get_Setting14(&number);
  EXPECT_EQ(number, -1);

  ComPtr<IUnknown> window;
  info->get_Window(window.put());
  EXPECT_TRUE(window.query<lumo::ILumoTool>());
  EXPECT_TRUE(window.query<lumo::IExternalWindow>());
  EXPECT_FALSE(window.query<lumo::ILumoPlugin>());
  ComPtr<lumo::ICommandServer> commands;
  info->get_CommandServer(commands.put());
  ASSERT_TRUE(commands);
  commands->get_Name(&text);
  EXPECT_EQ(text, "Notecast");

  ComPtr<IIntegerCollection> codes;
  info->get_MessageCodes(codes.put());
  std::int32_t count = 0;
  codes->get_Count(&count);
  std::vector<std::int32_t> items;
  for (std::int32_t i = 1; i <= count; ++i) {
    codes->get_Item(i, &number);
    items.push_back(number);
  }
  EXPECT_EQ(items, (std::vector<std::int32_t>{9,  15, 3, 22, 21, 14, 35, 17, 28, 25, 33,
                                              23, 34, 4, 20, 30, 8,  7,  6,  29, 31}));
}

TEST_F(clsLumoPlugInTest, EachModuleInfoIsNewWithItsOwnCommandServerButOneWindow) {
  auto first = moduleInfo();
  auto second = moduleInfo();
  EXPECT_FALSE(sameObject(first.get(), second.get()));
  ComPtr<lumo::ICommandServer> commandsA, commandsB;
  first->get_CommandServer(commandsA.put());
  second->get_CommandServer(commandsB.put());
  EXPECT_FALSE(sameObject(commandsA.get(), commandsB.get()));
  ComPtr<IUnknown> windowA, windowB;
  first->get_Window(windowA.put());
  second->get_Window(windowB.put());
  EXPECT_TRUE(sameObject(windowA.get(), windowB.get()));
}

TEST_F(clsLumoPlugInTest, WindowHeldByTheHostKeepsThePluginUntilReleased) {
  ComPtr<IUnknown> window;
  moduleInfo()->get_Window(window.put());
  const auto windowAddress = &PluginGlobals::hostWindow();
  object_.reset();
  plugin_.reset();
  module_.reset();
  EXPECT_FALSE(PluginGlobals::isTornDown()) << "the host still holds the window";
  EXPECT_EQ(&PluginGlobals::hostWindow(), windowAddress);
  EXPECT_GT(ModuleLock::liveObjects(), 0);
  window.reset();
  EXPECT_EQ(ModuleLock::liveObjects(), 0);
  EXPECT_TRUE(PluginGlobals::isTornDown());
}

}  // namespace
}  // namespace notecast

namespace notecast {
namespace {

// What the host's status line and window read: the output, and what went out and what did not.
TEST_F(clsLumoPlugInTest, OutputStatusTellsWhatWasSentWithoutLoadingTheWindow) {
  auto status = object_.query<IOutputStatus>();
  ASSERT_TRUE(status) << "the plug-in object offers its output status";
  std::string name = "x";
  std::int32_t state = -1;
  std::int64_t sent = -1, notSent = -1;
  EXPECT_EQ(status->get_OutputName(&name), S_OK);
  EXPECT_EQ(status->get_OutputState(&state), S_OK);
  EXPECT_EQ(status->get_MessagesSent(&sent), S_OK);
  EXPECT_EQ(name, "");
  EXPECT_EQ(state, static_cast<std::int32_t>(OutputState::kNone));
  EXPECT_EQ(sent, 0);
  EXPECT_EQ(PluginGlobals::window().presence(), Configfrm::Presence::NotLoaded)
      << "reading the status never loads the window";
  EXPECT_EQ(status->get_OutputName(nullptr), E_POINTER);

  // Channel 1 sends a note-on; channel 2's status byte 240 starts no MIDI message.
  testing::writeBytes(dir_.file("show.Notecast"),
                      "[General]\r\nMIDIOutputDevice=Notecast virtual output\r\nCount=1\r\n"
                      "[Entry_0]\r\nDMXChannel=1\r\nMIDIMessage=144\r\nData1=60\r\nData2=100\r\n"
                      "Typ=2\r\n[Entry_1]\r\nDMXChannel=2\r\nMIDIMessage=240\r\nTyp=2\r\n");
  init(FakeHelper::withProject(dir_.file("show"), nullptr).get());
  ASSERT_EQ(static_cast<lumo::ILumoTool&>(PluginGlobals::hostWindow()).LoadProjectData(), S_OK);
  for (std::int32_t channel : {1, 2}) {
    std::int32_t msg = lumo::kMessageChannelValue, value = 7, result = 0;
    plugin_->MessageHandle(&msg, &channel, &value, &result);
  }
  std::string recent;
  EXPECT_EQ(status->get_OutputName(&name), S_OK);
  EXPECT_EQ(status->get_OutputState(&state), S_OK);
  EXPECT_EQ(status->get_MessagesSent(&sent), S_OK);
  EXPECT_EQ(status->get_MessagesNotSent(&notSent), S_OK);
  EXPECT_EQ(status->get_RecentMessages(&recent), S_OK);
  EXPECT_EQ(name, "Notecast virtual output");
  EXPECT_EQ(state, static_cast<std::int32_t>(OutputState::kOpen));
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(notSent, 1);
  EXPECT_EQ(recent, "90 3C 64\n");
}

// What a host asks before Init, answered from the file alone.
TEST_F(clsLumoPlugInTest, EventFileCheckNeedsNeitherInitNorTheWindow) {
  auto check = object_.query<IEventFileCheck>();
  ASSERT_TRUE(check) << "the plug-in object offers its event file check";
  std::string path = "x", problem = "x";
  EXPECT_EQ(check->get_EventFilePath("", &path), S_OK);
  EXPECT_EQ(check->CheckEventFile("", &problem), S_OK);
  EXPECT_EQ(path + problem, "") << "no project, no file";
  EXPECT_EQ(check->CheckEventFile(dir_.file("show").c_str(), &problem), S_OK);
  EXPECT_NE(problem, "") << "no file yet";
  EXPECT_FALSE(PluginGlobals::hasWindow()) << "asking makes no window";

  EXPECT_EQ(check->CheckEventFile(nullptr, &problem), E_INVALIDARG);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(check->get_EventFilePath("show", nullptr), E_POINTER);
}

}  // namespace
}  // namespace notecast
