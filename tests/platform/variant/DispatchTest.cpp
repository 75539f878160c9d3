// Late binding: members by name without regard to case, by-reference
// arguments written back, and objects created by programmatic name.

#include "platform/variant/Dispatch.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

// An object with one property and two methods, one of which writes its arguments.
class Counter : public DispatchObject {
public:
    Counter() : DispatchObject("Counter") {
        DefineProperty("Value", [this] { return Variant(m_value); }, [this](const Variant& v) { m_value = v.ToInt(); });
        DefineProperty("Version", [] { return Variant(8000); });
        DefineMethod("Next", [this](Args& args) {
            // Next(var Step, Label): adds Step, doubles it for the caller and answers the new value.
            m_value += ArgAt(args, 0).ToInt();
            if (!args.empty()) {
                args[0] = args[0].ToInt() * 2;
            }
            if (args.size() > 1) {
                args[1] = "changed";
            }
            return Variant(m_value);
        });
    }

private:
    int m_value = 0;
};

TEST(Dispatch, MembersAnswerWithoutRegardToCase) {
    Variant counter(std::make_shared<Counter>());
    counter.Put("VALUE", 5);
    EXPECT_EQ(counter.Get("value").ToInt(), 5);
    EXPECT_EQ(counter.Call("next", {3}).ToInt(), 8);
    EXPECT_EQ(counter.Call("Version").ToInt(), 8000);
    EXPECT_TRUE(counter.ToDispatch()->HasMember("NEXT"));
}

TEST(Dispatch, ByReferenceArgumentsAreWrittenBack) {
    Variant counter(std::make_shared<Counter>());
    Variant step = 4;
    Variant label = "kept";
    Variant byValue = 4;
    counter.Call("Next", {VarRef(step), label});
    counter.Call("Next", {byValue});
    EXPECT_EQ(step.ToInt(), 8);
    EXPECT_EQ(label.ToString(), "kept");
    EXPECT_EQ(byValue.ToInt(), 4);
}

TEST(Dispatch, UnknownAndReadOnlyMembersRaiseClearErrors) {
    Variant counter(std::make_shared<Counter>());
    try {
        counter.Call("Reset");
        FAIL();
    } catch (const EOleError& error) {
        EXPECT_NE(std::string(error.what()).find("'Reset'"), std::string::npos);
    }
    EXPECT_THROW(counter.Put("Version", 1), EOleError);
    EXPECT_THROW(counter.Call("Value", {1}), EOleError);
    EXPECT_THROW(Variant(5).Call("Next"), EVariantTypeCastError);
}

TEST(ObjectRegistry, CreatesByProgrammaticNameAndNamesAnUnknownOne) {
    RegisterOleObject("Test.Counter", [] { return std::make_shared<Counter>(); });
    EXPECT_TRUE(IsOleObjectRegistered("test.counter"));
    DispatchPtr first = CreateOleObject("TEST.COUNTER");
    DispatchPtr second = CreateOleObject("Test.Counter");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);

    UnregisterOleObject("Test.Counter");
    try {
        CreateOleObject("Test.Counter");
        FAIL();
    } catch (const EOleSysError& error) {
        EXPECT_NE(std::string(error.what()).find("\"Test.Counter\""), std::string::npos);
    }
}

TEST(ObjectRegistry, ObjectsAreReferenceCounted) {
    std::weak_ptr<Dispatch> watch;
    {
        Variant holder(std::make_shared<Counter>());
        Variant copy = holder;
        watch = holder.ToDispatch();
        holder = Variant();
        EXPECT_FALSE(watch.expired());
    }
    EXPECT_TRUE(watch.expired());
}

} // namespace
} // namespace corvane
