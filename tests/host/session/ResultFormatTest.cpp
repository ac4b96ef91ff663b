#include "host/session/ResultFormat.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "abi/ComObject.h"
#include "abi/IntegerCollection.h"
#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/RuntimeError.h"

namespace notecast::host {
namespace {

using namespace std::string_literals;

// An object that answers QueryInterface for exactly the interfaces it is given.
class InterfaceProbe final : public IUnknown {
 public:
  explicit InterfaceProbe(std::initializer_list<Iid> answers) : answers_(answers) {}
  HRESULT QueryInterface(const Iid& iid, void** object) noexcept override {
    *object = nullptr;
    for (const Iid& answer : answers_) {
      if (answer == iid) {
        *object = this;
        return S_OK;
      }
    }
    return E_NOINTERFACE;
  }
  std::uint32_t AddRef() noexcept override { return 2; }
  std::uint32_t Release() noexcept override { return 1; }

 private:
  std::vector<Iid> answers_;
};

ComPtr<IIntegerCollection> collectionOf(std::initializer_list<std::int32_t> items) {
  auto collection = makeComObject<IntegerCollection>();
  for (std::int32_t item : items) collection->Add(item);
  return collection;
}

TEST(ResultFormatTest, QuotedTextUsesCEscapes) {
  EXPECT_EQ(quoteText(""), R"("")");
  EXPECT_EQ(quoteText(R"(say "hi" \ bye)"), R"("say \"hi\" \\ bye")");
  EXPECT_EQ(quoteText("a\r\nb\tc"), R"("a\r\nb\tc")");
  EXPECT_EQ(quoteText("\x01\x1b\x1f\x7f"), R"("\x01\x1B\x1F\x7F")");
  EXPECT_EQ(quoteText("nul\0end"s), R"("nul\x00end")");
  EXPECT_EQ(quoteText("Grüße ~ "), "\"Grüße ~ \"");
}

TEST(ResultFormatTest, ScalarsAndFailures) {
  EXPECT_EQ(formatBoolean(VARIANT_TRUE), "True");
  EXPECT_EQ(formatBoolean(1), "True");
  EXPECT_EQ(formatBoolean(VARIANT_FALSE), "False");
  EXPECT_EQ(formatNumber(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(formatError(E_NOTIMPL), "error 0x80004001");
  EXPECT_EQ(formatError(resultFromErrorNumber(91)), "error 0x800A005B");
  EXPECT_EQ(formatBad("not \"here\""), R"(bad "not \"here\"")");
}

TEST(ResultFormatTest, VariantsPrintByTheirKind) {
  EXPECT_EQ(formatVariant(Variant()), "(empty)");
  EXPECT_EQ(formatVariant(Variant::fromInt16(-7)), "-7");
  EXPECT_EQ(formatVariant(Variant::fromInt32(70000)), "70000");
  EXPECT_EQ(formatVariant(Variant::fromSingle(0.1f)), "0.1");
  EXPECT_EQ(formatVariant(Variant::fromString("a\nb")), R"("a\nb")");
  EXPECT_EQ(formatVariant(Variant::fromCollection(collectionOf({9, 15, 3}))), "9,15,3");
  EXPECT_EQ(formatVariant(Variant::fromCollection(collectionOf({}))), "");
}

TEST(ResultFormatTest, ObjectsNameTheirInterfacesInFixedOrder) {
  InterfaceProbe window{lumo::IExternalWindow::iid, IUnknown::iid, lumo::ILumoTool::iid};
  InterfaceProbe everything{lumo::ICommandServer::iid, lumo::IExternalWindow::iid,
                            lumo::ILumoTool::iid, lumo::ILumoModule::iid, lumo::ILumoPlugin::iid};
  InterfaceProbe plain{IUnknown::iid};
  EXPECT_EQ(formatObject(&window), "(object ILumoTool,IExternalWindow)");
  EXPECT_EQ(formatObject(&everything),
            "(object ILumoPlugin,ILumoModule,ILumoTool,IExternalWindow,ICommandServer)");
  EXPECT_EQ(formatObject(&plain), "(object)");
  EXPECT_EQ(formatObject(nullptr), "(empty)");
  EXPECT_EQ(formatVariant(Variant::fromObject(ComPtr<IUnknown>::share(&window))),
            "(object ILumoTool,IExternalWindow)");
}

}  // namespace
}  // namespace notecast::host
