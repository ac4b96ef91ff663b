// Notecast.so loaded with dlopen, the way a host loads it: entry points, class factory,
// unload safety, registration and version.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "abi/ComPtr.h"
#include "abi/EntryPoints.h"
#include "abi/IClassFactory.h"
#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/NotecastClasses.h"
#include "os/ClassRegistry.h"

namespace notecast {
namespace {

class LoadedLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(NOTECAST_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    getClassObject_ = entry<DllGetClassObjectFn>(kDllGetClassObject);
    canUnloadNow_ = entry<DllCanUnloadNowFn>(kDllCanUnloadNow);
  }
  void TearDown() override {
    if (handle_) {
      EXPECT_EQ(canUnloadNow_(), S_OK) << "every test leaves the library unloadable";
      dlclose(handle_);
    }
  }

  template <class Fn>
  Fn entry(const char* name) {
    void* symbol = dlsym(handle_, name);
    EXPECT_NE(symbol, nullptr) << name;
    return reinterpret_cast<Fn>(symbol);
  }

  ComPtr<IClassFactory> factory() {
    ComPtr<IClassFactory> result;
    EXPECT_EQ(getClassObject_(&kClsidLumoPlugIn, &IClassFactory::iid, result.putVoid()), S_OK);
    return result;
  }

  void* handle_ = nullptr;
  DllGetClassObjectFn getClassObject_ = nullptr;
  DllCanUnloadNowFn canUnloadNow_ = nullptr;
};

TEST_F(LoadedLibraryTest, FactoryCreatesThePluginForKnownClassOnly) {
  void* object = reinterpret_cast<void*>(0x1);
  const Clsid other{0x12345678, 0, 0, {}};
  EXPECT_EQ(getClassObject_(&other, &IClassFactory::iid, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);

  auto classFactory = factory();
  ASSERT_TRUE(classFactory);
  ComPtr<lumo::ILumoPlugin> plugin;
  ComPtr<IUnknown> outer;
  EXPECT_EQ(classFactory->CreateInstance(reinterpret_cast<IUnknown*>(classFactory.get()),
                                         lumo::ILumoPlugin::iid, plugin.putVoid()),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(classFactory->CreateInstance(nullptr, lumo::ILumoTool::iid, plugin.putVoid()),
            E_NOINTERFACE);
  EXPECT_FALSE(plugin);
  ASSERT_EQ(classFactory->CreateInstance(nullptr, lumo::ILumoPlugin::iid, plugin.putVoid()), S_OK);
  EXPECT_TRUE(plugin.query<lumo::ILumoModule>());
  EXPECT_TRUE(plugin.query<_clsLumoPlugIn>());
  std::string name;
  EXPECT_EQ(plugin->get_PluginName(&name), S_OK);
  EXPECT_EQ(name, "Notecast Plugin");
}

TEST_F(LoadedLibraryTest, CanUnloadOnlyWhenNoObjectAndNoLockIsAlive) {
  EXPECT_EQ(canUnloadNow_(), S_OK);
  auto classFactory = factory();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a live factory";
  ComPtr<lumo::ILumoPlugin> plugin;
  ASSERT_EQ(classFactory->CreateInstance(nullptr, lumo::ILumoPlugin::iid, plugin.putVoid()), S_OK);
  classFactory->LockServer(true);
  classFactory.reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a live plug-in object";

  // The host keeps the window and command server from the module information longer.
  ComPtr<lumo::IModuleInformation> info;
  ASSERT_EQ(plugin.query<lumo::ILumoModule>()->get_ModuleInfo(info.put()), S_OK);
  plugin.reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "the module information holds the window";
  info.reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "the server lock";

  ComPtr<IClassFactory> again = factory();
  again->LockServer(false);
  again.reset();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(LoadedLibraryTest, ModuleInformationOutlivesTheLibraryObjects) {
  ComPtr<lumo::ILumoPlugin> plugin;
  ASSERT_EQ(factory()->CreateInstance(nullptr, lumo::ILumoPlugin::iid, plugin.putVoid()), S_OK);
  ComPtr<lumo::IModuleInformation> info;
  ASSERT_EQ(plugin.query<lumo::ILumoModule>()->get_ModuleInfo(info.put()), S_OK);
  ASSERT_EQ(info->putref_Window(nullptr), S_OK);
  ASSERT_EQ(info->putref_CommandServer(nullptr), S_OK);
  plugin.reset();
  EXPECT_EQ(canUnloadNow_(), S_OK) << "the record itself belongs to the host's library";
  std::string name;
  EXPECT_EQ(info->get_ModuleName(&name), S_OK);
  EXPECT_EQ(name, "Notecast");
}

TEST_F(LoadedLibraryTest, RegistrationRoundTrip) {
  const auto config = std::filesystem::temp_directory_path() /
                      ("notecast-registration-" + std::to_string(::getpid()));
  std::filesystem::remove_all(config);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);

  ASSERT_EQ(entry<DllRegisterServerFn>(kDllRegisterServer)(), S_OK);
  auto registration = ClassRegistry().find("Notecast.clsLumoPlugIn");
  ASSERT_TRUE(registration);
  EXPECT_EQ(registration->values["CLSID"], toString(kClsidLumoPlugIn));
  EXPECT_EQ(std::filesystem::path(registration->values["Path"]),
            std::filesystem::canonical(NOTECAST_PLUGIN_PATH));
  EXPECT_EQ(registration->values["Version"], "0.08.0001");
  EXPECT_EQ(registration->values["TypeLib"], "Notecast");
  EXPECT_EQ(registration->values["HelpString"], "Connection between LumoStage and Raywell");

  ASSERT_EQ(entry<DllUnregisterServerFn>(kDllUnregisterServer)(), S_OK);
  EXPECT_FALSE(ClassRegistry().find("Notecast.clsLumoPlugIn"));

  ::unsetenv("XDG_CONFIG_HOME");
  std::filesystem::remove_all(config);
}

TEST_F(LoadedLibraryTest, VersionRecordIs0_08_0001) {
  DllVersionInfo info;
  ASSERT_EQ(entry<DllGetVersionFn>(kDllGetVersion)(&info), S_OK);
  EXPECT_EQ(info.majorVersion, 0u);
  EXPECT_EQ(info.minorVersion, 8u);
  EXPECT_EQ(info.buildNumber, 1u);
}

TEST_F(LoadedLibraryTest, OnlyTheEntryPointsAreExported) {
  EXPECT_EQ(dlsym(handle_, "_ZN8notecast13PluginGlobals6windowEv"), nullptr);
  EXPECT_NE(dlsym(handle_, kDllUnregisterServer), nullptr);
}

}  // namespace
}  // namespace notecast
