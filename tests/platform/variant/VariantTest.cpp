// Variant: conversions as the platform does them, array shapes and copies,
// Empty kept apart from Null.

#include "platform/variant/Variant.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvane {
namespace {

TEST(Variant, EmptyAndNullAreDistinct) {
    const Variant empty;
    const Variant null = Variant::Null();
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FALSE(empty.IsNull());
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(null.IsEmpty());
    EXPECT_FALSE(empty == null);
    EXPECT_TRUE(empty.IsEmptyOrNull() && null.IsEmptyOrNull());

    // Empty reads as zero and empty text; Null converts to nothing.
    EXPECT_EQ(empty.ToString(), "");
    EXPECT_EQ(empty.ToInt(), 0);
    EXPECT_FALSE(empty.ToBool());
    EXPECT_THROW(null.ToString(), EVariantTypeCastError);
    EXPECT_THROW(null.ToInt(), EVariantTypeCastError);
    EXPECT_EQ(VarToStr(null), "");
    EXPECT_EQ(VarToStrDef(null, "x"), "x");
}

struct TextCase {
    Variant Value;
    std::string Text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << VarDebugText(c.Value); }

class VariantToText : public testing::TestWithParam<TextCase> {};

TEST_P(VariantToText, GivesThePlatformText) { EXPECT_EQ(GetParam().Value.ToString(), GetParam().Text); }

INSTANTIATE_TEST_SUITE_P(Conversions, VariantToText,
                         testing::Values(TextCase{true, "True"}, TextCase{false, "False"}, TextCase{42, "42"},
                                         TextCase{-7LL, "-7"}, TextCase{Variant::FromInt64(1LL << 40), "1099511627776"},
                                         TextCase{0.1 + 0.2, "0.3"}, TextCase{1.5, "1.5"}, TextCase{1e20, "1E20"},
                                         TextCase{0.00001, "1E-5"}, TextCase{0.0001, "0.0001"},
                                         TextCase{-2.5e-7, "-2.5E-7"}, TextCase{0.0, "0"},
                                         TextCase{Variant::FromDate(37095.0), "2001/07/23"},
                                         TextCase{Variant::FromDate(37095.5), "2001/07/23 12:00:00"},
                                         TextCase{Variant(u"abc"), "abc"}));

struct NumberCase {
    Variant Value;
    bool Converts;
    int64_t Integer;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << VarDebugText(c.Value); }

class VariantToInteger : public testing::TestWithParam<NumberCase> {};

TEST_P(VariantToInteger, ConvertsOrRaisesAClearError) {
    const NumberCase& c = GetParam();
    if (c.Converts) {
        EXPECT_EQ(c.Value.ToInt64(), c.Integer) << VarDebugText(c.Value);
    } else {
        try {
            c.Value.ToInt64();
            FAIL() << "converted " << VarDebugText(c.Value);
        } catch (const EVariantTypeCastError& error) {
            EXPECT_NE(std::string(error.what()).find("into type (Integer)"), std::string::npos) << error.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, VariantToInteger,
    testing::Values(NumberCase{Variant(" 12 "), true, 12}, NumberCase{Variant("-5"), true, -5},
                    NumberCase{Variant("$1F"), true, 31}, NumberCase{Variant("2.5"), true, 2},
                    NumberCase{Variant("3.5"), true, 4}, NumberCase{Variant(2.5), true, 2},
                    NumberCase{Variant(-2.5), true, -2}, NumberCase{Variant(true), true, -1},
                    NumberCase{Variant("true"), true, -1}, NumberCase{Variant(u"77"), true, 77},
                    NumberCase{Variant(), true, 0}, NumberCase{Variant("abc"), false, 0},
                    NumberCase{Variant("12abc"), false, 0}, NumberCase{Variant(""), false, 0},
                    NumberCase{Variant("inf"), false, 0}, NumberCase{Variant::Null(), false, 0},
                    NumberCase{VarArrayOf({1}), false, 0}));

TEST(Variant, BooleansCrossAsSixteenBitMinusOne) {
    EXPECT_EQ(Variant(true).ToWordBool(), -1);
    EXPECT_EQ(Variant(false).ToWordBool(), 0);
    EXPECT_EQ(Variant(true).ToInt(), -1);
    EXPECT_TRUE(Variant(-1).ToBool());
    EXPECT_TRUE(Variant("TRUE").ToBool());
    EXPECT_FALSE(Variant("0").ToBool());
    EXPECT_THROW(Variant("maybe").ToBool(), EVariantTypeCastError);
}

TEST(Variant, DoublesAndDates) {
    EXPECT_DOUBLE_EQ(Variant("1.25").ToDouble(), 1.25);
    EXPECT_THROW(Variant("1,25").ToDouble(), EVariantTypeCastError);
    EXPECT_DOUBLE_EQ(Variant("2001/07/23").ToDate(), 37095.0);
    EXPECT_DOUBLE_EQ(Variant("2001-07-23 12:00:00").ToDate(), 37095.5);
    EXPECT_THROW(Variant("2001/02/30").ToDate(), EVariantTypeCastError);
    EXPECT_THROW(Variant(1e300).ToInt(), EVariantOverflowError);
    EXPECT_THROW(Variant(3000000000.0).ToInt(), EVariantOverflowError);
    EXPECT_EQ(Variant(3000000000.0).ToInt64(), 3000000000LL);
}

TEST(Variant, WideTextGoesThroughTheSystemCodePage) {
    test::ScopedEnv acp("CORVANE_ACP", "936");
    const std::u16string wide = u"身份类别";
    const Variant v(wide);
    EXPECT_EQ(v.ToString(), test::Gb("身份类别"));
    EXPECT_EQ(Variant(test::Gb("身份类别")).ToWideString(), wide);
}

struct ArrayShape {
    std::function<Variant()> Make;
    int Dims;
    int Low1, High1, Low2, High2;
};

void PrintTo(const ArrayShape& c, std::ostream* os) { *os << c.Dims << " dimensions"; }

class VariantArrayShape : public testing::TestWithParam<ArrayShape> {};

TEST_P(VariantArrayShape, KeepsItsBoundsAndElements) {
    const ArrayShape& shape = GetParam();
    Variant a = shape.Make();
    ASSERT_EQ(a.DimCount(), shape.Dims);
    EXPECT_EQ(a.LowBound(1), shape.Low1);
    EXPECT_EQ(a.HighBound(1), shape.High1);
    if (shape.Dims == 2) {
        EXPECT_EQ(a.LowBound(2), shape.Low2);
        EXPECT_EQ(a.HighBound(2), shape.High2);
        for (int i = shape.Low1; i <= shape.High1; ++i) {
            for (int j = shape.Low2; j <= shape.High2; ++j) {
                a.At(i, j) = i * 100 + j;
            }
        }
        for (int i = shape.Low1; i <= shape.High1; ++i) {
            for (int j = shape.Low2; j <= shape.High2; ++j) {
                EXPECT_EQ(a.At(i, j).ToInt(), i * 100 + j);
            }
        }
        EXPECT_THROW(a.At(shape.High1 + 1, shape.Low2), EVariantBadIndexError);
        EXPECT_THROW(a.At(shape.Low1), EVariantBadIndexError);
    } else {
        for (int i = shape.Low1; i <= shape.High1; ++i) {
            a.At(i) = i;
        }
        for (int i = shape.Low1; i <= shape.High1; ++i) {
            EXPECT_EQ(a.At(i).ToInt(), i);
        }
        EXPECT_THROW(a.At(shape.High1 + 1), EVariantBadIndexError);
        EXPECT_THROW(a.At(shape.Low1 - 1), EVariantBadIndexError);
    }
    EXPECT_THROW(a.HighBound(3), EVariantBadIndexError);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, VariantArrayShape,
    testing::Values(ArrayShape{[] { return VarArrayCreate({0, 3}); }, 1, 0, 3, 0, 0},
                    ArrayShape{[] { return VarArrayCreate({1, 5}); }, 1, 1, 5, 0, 0},
                    ArrayShape{[] { return VarArrayCreate({0, -1}); }, 1, 0, -1, 0, 0},
                    ArrayShape{[] { return VarArrayCreate({0, 1, 0, 3}); }, 2, 0, 1, 0, 3},
                    ArrayShape{[] { return VarArrayCreate({1, 3, 2, 4}); }, 2, 1, 3, 2, 4},
                    ArrayShape{[] { return VarArrayOf({"a", 1, true}); }, 1, 0, 2, 0, 0}));

TEST(VariantArray, NestedArraysAndValueCopies) {
    Variant inner = VarArrayOf({1, 2});
    Variant outer = VarArrayOf({inner, "x"});
    Variant copy = outer;
    copy.At(0).At(1) = 99;
    // The copy changed; the original and the inner array it was built from did not.
    EXPECT_EQ(copy.At(0).At(1).ToInt(), 99);
    EXPECT_EQ(outer.At(0).At(1).ToInt(), 2);
    EXPECT_EQ(inner.At(1).ToInt(), 2);
    EXPECT_FALSE(copy == outer);
    EXPECT_EQ(VarDebugText(outer), "[[Integer:1, Integer:2], \"x\"]");
}

TEST(VariantArray, RedimKeepsWhatRemains) {
    Variant grid = VarArrayCreate({0, 1, 0, 1});
    grid.At(0, 0) = "a";
    grid.At(1, 1) = "d";
    grid.Array().Redim(2);
    EXPECT_EQ(grid.HighBound(2), 2);
    EXPECT_EQ(grid.At(0, 0).ToString(), "a");
    EXPECT_EQ(grid.At(1, 1).ToString(), "d");
    EXPECT_TRUE(grid.At(1, 2).IsEmpty());
    Variant list = VarArrayOf({1, 2, 3});
    list.Array().Redim(0);
    EXPECT_EQ(list.Length(), 1);
}

TEST(VariantArray, ScalarsAreNoArrays) {
    const Variant scalar = 5;
    EXPECT_EQ(scalar.DimCount(), 0);
    EXPECT_EQ(scalar.Length(), 0);
    EXPECT_THROW(scalar.At(0), EVariantError);
    EXPECT_THROW(VarArrayCreate({1, 2, 3}), EVariantError);
}

} // namespace
} // namespace corvane
