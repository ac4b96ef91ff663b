#include "host/session/HostHelper.h"

#include <gtest/gtest.h>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/Variant.h"

namespace notecast::host {
namespace {

TEST(HostHelperTest, PluginReadsTheCurrentProjectBase) {
  auto helper = makeComObject<HostHelper>("examples/demo");
  // Read the way the plug-in reads it: helper.Project.BaseFilename, late-bound.
  EXPECT_EQ(lumo::readProjectBaseFilename(helper.get()), "examples/demo");

  Variant projectBefore;
  ASSERT_EQ(helper->GetProperty("Project", &projectBefore), S_OK);
  helper->setProjectBase("/shows/new show");
  EXPECT_EQ(lumo::readProjectBaseFilename(helper.get()), "/shows/new show");

  // A project object kept from before sees the change too: it is the same object.
  Variant base;
  ComPtr<IDispatchByName> project = projectBefore.asObject().query<IDispatchByName>();
  ASSERT_TRUE(project);
  ASSERT_EQ(project->GetProperty("BaseFilename", &base), S_OK);
  EXPECT_EQ(base.asString(), "/shows/new show");
}

TEST(HostHelperTest, NamesMatchIgnoringCase) {
  auto helper = makeComObject<HostHelper>("");
  Variant project, base;
  ASSERT_EQ(helper->GetProperty("pROJECT", &project), S_OK);
  ComPtr<IDispatchByName> late = project.asObject().query<IDispatchByName>();
  ASSERT_EQ(late->GetProperty("basefilename", &base), S_OK);
  EXPECT_EQ(base, Variant::fromString(""));
}

TEST(HostHelperTest, UnknownNamesAreInvalidArguments) {
  auto helper = makeComObject<HostHelper>("x");
  Variant value, project;
  EXPECT_EQ(helper->GetProperty("BaseFilename", &value), E_INVALIDARG);
  EXPECT_EQ(helper->GetProperty("Projects", &value), E_INVALIDARG);
  EXPECT_EQ(helper->GetProperty("Project", nullptr), E_POINTER);
  ASSERT_EQ(helper->GetProperty("Project", &project), S_OK);
  EXPECT_EQ(project.asObject().query<IDispatchByName>()->GetProperty("Project", &value),
            E_INVALIDARG);
}

}  // namespace
}  // namespace notecast::host
