// Reference counting, interface lookup and the run-time error mapping of the object model.

#include <gtest/gtest.h>

#include "abi/Boundary.h"
#include "abi/ComObject.h"
#include "abi/IntegerCollection.h"
#include "abi/ModuleLock.h"
#include "abi/Variant.h"

namespace notecast {
namespace {

class IFirst : public IUnknown {
 public:
  static constexpr Iid iid{0x11111111, 0x1111, 0x1111, {1, 1, 1, 1, 1, 1, 1, 1}};
  virtual int first() noexcept = 0;
};

class ISecond : public IUnknown {
 public:
  static constexpr Iid iid{0x22222222, 0x2222, 0x2222, {2, 2, 2, 2, 2, 2, 2, 2}};
  virtual int second() noexcept = 0;
};

class IUnrelated : public IUnknown {
 public:
  static constexpr Iid iid{0x33333333, 0x3333, 0x3333, {3, 3, 3, 3, 3, 3, 3, 3}};
};

class Thing final : public ComObject<Thing, IFirst, ISecond> {
 public:
  explicit Thing(bool* destroyed) : destroyed_(destroyed) {}
  ~Thing() override { *destroyed_ = true; }
  int first() noexcept override { return 1; }
  int second() noexcept override { return 2; }

 private:
  bool* destroyed_;
};

TEST(ComObjectTest, CountStartsAtOneAndTheLastReleaseDestroys) {
  bool destroyed = false;
  Thing* thing = new Thing(&destroyed);
  EXPECT_EQ(thing->AddRef(), 2u);
  EXPECT_EQ(thing->Release(), 1u);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(thing->Release(), 0u);
  EXPECT_TRUE(destroyed);
}

TEST(ComObjectTest, QueryInterfaceHandsOutAddedReferencesAndRefusesUnknownIds) {
  bool destroyed = false;
  auto thing = makeComObject<Thing>(&destroyed);
  ComPtr<ISecond> second = thing.query<ISecond>();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->second(), 2);

  void* raw = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(thing->QueryInterface(IUnrelated::iid, &raw), E_NOINTERFACE);
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(thing->QueryInterface(IFirst::iid, nullptr), E_POINTER);

  thing.reset();
  EXPECT_FALSE(destroyed) << "the queried interface still holds a reference";
  second.reset();
  EXPECT_TRUE(destroyed);
}

TEST(ComObjectTest, EveryInterfaceAnswersTheSameIdentity) {
  bool destroyed = false;
  auto thing = makeComObject<Thing>(&destroyed);
  ComPtr<IFirst> first = thing.query<IFirst>();
  ComPtr<ISecond> second = thing.query<ISecond>();
  EXPECT_EQ(first.query<IUnknown>().get(), second.query<IUnknown>().get());
  EXPECT_TRUE(sameObject(first.get(), second.get()));
  EXPECT_EQ(second.query<IFirst>().get(), first.get());
}

TEST(ComObjectTest, LiveObjectsAreCountedForTheModule) {
  const auto before = ModuleLock::liveObjects();
  {
    bool destroyed = false;
    auto thing = makeComObject<Thing>(&destroyed);
    auto collection = makeComObject<IntegerCollection>();
    EXPECT_EQ(ModuleLock::liveObjects(), before + 2);
  }
  EXPECT_EQ(ModuleLock::liveObjects(), before);
}

TEST(ComPtrTest, CopyMoveAndAdoptKeepTheCountRight) {
  bool destroyed = false;
  ComPtr<IFirst> a = ComPtr<IFirst>::adopt(new Thing(&destroyed));
  {
    ComPtr<IFirst> copy = a;
    ComPtr<IFirst> moved = std::move(copy);
    EXPECT_FALSE(copy);
    ComPtr<IFirst> shared = ComPtr<IFirst>::share(moved.get());
  }
  EXPECT_FALSE(destroyed);
  a = nullptr;
  EXPECT_TRUE(destroyed);
}

TEST(BoundaryTest, RuntimeErrorsBecomeFacilityResults) {
  EXPECT_EQ(callGuarded([] { throw RuntimeError(ErrorNumber::SubscriptOutOfRange); }),
            static_cast<HRESULT>(0x800A0009u));
  EXPECT_EQ(callGuarded([] { throw RuntimeError(ErrorNumber::TypeMismatch); }),
            static_cast<HRESULT>(0x800A000Du));
  EXPECT_EQ(callGuarded([] { throw RuntimeError(ErrorNumber::Overflow); }),
            static_cast<HRESULT>(0x800A0006u));
  EXPECT_EQ(callGuarded([] { throw NotImplemented("x"); }), E_NOTIMPL);
  EXPECT_EQ(callGuarded([] { throw 42; }), E_UNEXPECTED);
  EXPECT_EQ(callGuarded([] {}), S_OK);
  EXPECT_EQ(describeResult(static_cast<HRESULT>(0x800A0009u)),
            "run-time error 9: subscript out of range");
}

TEST(BoundaryTest, RunStepSwallowsItsFailureAndReportsIt) {
  int ran = 0;
  EXPECT_FALSE(runStep([&] {
    ++ran;
    throw RuntimeError(ErrorNumber::Overflow);
  }));
  EXPECT_TRUE(runStep([&] { ++ran; }));
  EXPECT_EQ(ran, 2);
}

TEST(VariantTest, TypedReadsOfTheWrongKindAreTypeMismatches) {
  EXPECT_EQ(Variant::fromInt16(-1).asInt32(), -1);
  EXPECT_EQ(Variant::fromString("x").asString(), "x");
  EXPECT_TRUE(Variant().isEmpty());
  try {
    (void)Variant::fromInt32(5).asString();
    FAIL() << "expected a type mismatch";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 13);
  }
  EXPECT_THROW((void)Variant().asObject(), RuntimeError);
}

TEST(GuidTest, RegistryTextRoundTrips) {
  Guid parsed;
  ASSERT_TRUE(parseGuid("{6F1C2D8E-93A4-4B57-B0DE-5A7C41E2F903}", &parsed));
  EXPECT_EQ(toString(parsed), "{6f1c2d8e-93a4-4b57-b0de-5a7c41e2f903}");
  EXPECT_FALSE(parseGuid("{6f1c2d8e-93a4-4b57-b0de-5a7c41e2f90}", &parsed));
  EXPECT_FALSE(parseGuid("6f1c2d8e+93a4-4b57-b0de-5a7c41e2f903", &parsed));
}

}  // namespace
}  // namespace notecast
