// An automation-style variant: the value type that crosses the module boundary
// and late-bound calls.
//
// Empty (unassigned) and Null are distinct. Booleans read as integers give -1
// for true, as 16-bit automation booleans do. Dates are days since 30 December
// 1899. Strings are 8-bit text in the system code page; wide strings are
// UTF-16. Arrays have one or two dimensions with their own bounds, and their
// elements are variants, so arrays nest. Arrays copy by value (the copy is
// deferred until one side changes). Dispatch objects are reference counted.
//
// Conversions follow the platform's rules: Empty reads as 0, "" or false; Null
// converts to nothing and raises EVariantTypeCastError (VarToStr gives "");
// text converts to a number only when it is one; doubles round half to even
// when read as integers.
#pragma once

#include "platform/sys/DateTime.h"
#include "platform/sys/Exceptions.h"
#include "platform/sys/NumberFormat.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace corvane {

class Dispatch;
class VarArray;
class Arg;
using DispatchPtr = std::shared_ptr<Dispatch>;

enum class VarType { Empty, Null, Boolean, Integer, Int64, Double, Date, String, WideString, Array, Dispatch };

// The platform's name of a variant type, as conversion errors name it.
const char* VarTypeName(VarType type);

class EVariantError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EVariantError"; }
};

class EVariantTypeCastError : public EVariantError {
public:
    EVariantTypeCastError(VarType from, VarType to);
    const char* ClassName() const override { return "EVariantTypeCastError"; }
};

class EVariantBadIndexError : public EVariantError {
public:
    using EVariantError::EVariantError;
    const char* ClassName() const override { return "EVariantBadIndexError"; }
};

class EVariantOverflowError : public EVariantError {
public:
    using EVariantError::EVariantError;
    const char* ClassName() const override { return "EVariantOverflowError"; }
};

class Variant {
public:
    Variant() = default;
    Variant(bool value) : m_value(value) {}
    Variant(int value) : m_value(static_cast<int32_t>(value)) {}
    Variant(long value) { SetInteger(value); }
    Variant(long long value) { SetInteger(value); }
    Variant(double value) : m_value(value) {}
    Variant(const char* text) : m_value(std::string(text)) {}
    Variant(std::string text) : m_value(std::move(text)) {}
    Variant(std::string_view text) : m_value(std::string(text)) {}
    Variant(std::u16string text) : m_value(std::move(text)) {}
    Variant(const char16_t* text) : m_value(std::u16string(text)) {}
    Variant(DispatchPtr object);
    Variant(VarArray array);

    static Variant Null();
    static Variant FromDate(TDateTime value);
    static Variant FromInt64(int64_t value);

    VarType Type() const { return static_cast<VarType>(m_value.index()); }
    bool IsEmpty() const { return Type() == VarType::Empty; }
    bool IsNull() const { return Type() == VarType::Null; }
    bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
    bool IsArray() const { return Type() == VarType::Array; }
    bool IsDispatch() const { return Type() == VarType::Dispatch; }
    bool IsString() const { return Type() == VarType::String || Type() == VarType::WideString; }
    bool IsNumeric() const;

    std::string ToString() const;
    std::u16string ToWideString() const;
    int32_t ToInt() const;
    int64_t ToInt64() const;
    double ToDouble() const;
    bool ToBool() const;
    // A boolean as the 16-bit automation value: -1 for true, 0 for false.
    int16_t ToWordBool() const { return ToBool() ? -1 : 0; }
    TDateTime ToDate() const;
    // Throws EVariantTypeCastError unless the variant holds a dispatch object.
    DispatchPtr ToDispatch() const;

    // Array access; each throws EVariantError when the variant is no array and
    // EVariantBadIndexError when an index or dimension is out of bounds.
    int DimCount() const;
    int LowBound(int dim = 1) const;
    int HighBound(int dim = 1) const;
    // The number of elements in a dimension (0 for a variant that is no array).
    int Length(int dim = 1) const;
    const Variant& At(int index) const;
    const Variant& At(int index1, int index2) const;
    // Writable access detaches the array from copies that share it.
    Variant& At(int index);
    Variant& At(int index1, int index2);
    const Variant& operator[](int index) const { return At(index); }
    Variant& operator[](int index) { return At(index); }
    const VarArray& Array() const;
    VarArray& Array();

    // Late-bound access to a dispatch object by member name.
    Variant Get(std::string_view name) const;
    void Put(std::string_view name, const Variant& value) const;
    Variant Call(std::string_view name, std::initializer_list<Arg> args = {}) const;
    Variant Call(std::string_view name, std::vector<Arg> args) const;

    // Same type and the same value; arrays compare element by element, objects by identity.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct DateTag {
        double Value = 0;
        bool operator==(const DateTag&) const = default;
    };
    using Storage = std::variant<std::monostate, NullTag, bool, int32_t, int64_t, double, DateTag, std::string,
                                 std::u16string, std::shared_ptr<VarArray>, DispatchPtr>;

    void SetInteger(long long value);
    [[noreturn]] void CastError(VarType to) const;
    VarArray& MutableArray();

    Storage m_value;
};

// Null gives "" here, where ToString raises.
std::string VarToStr(const Variant& value);
std::string VarToStrDef(const Variant& value, std::string_view defaultValue);
// A readable form for logs and test messages (arrays shown whole).
std::string VarDebugText(const Variant& value);

// A one- or two-dimensional array of variants with its own bounds.
class VarArray {
public:
    struct Bound {
        int Low = 0;
        int Count = 0;
    };

    VarArray() = default;
    // One dimension low..high; an array with high = low - 1 is empty.
    VarArray(int low, int high);
    // Two dimensions low1..high1 by low2..high2.
    VarArray(int low1, int high1, int low2, int high2);

    int DimCount() const { return static_cast<int>(m_bounds.size()); }
    int LowBound(int dim) const { return BoundOf(dim).Low; }
    int HighBound(int dim) const { return BoundOf(dim).Low + BoundOf(dim).Count - 1; }
    int Count(int dim) const { return BoundOf(dim).Count; }
    size_t ElementCount() const { return m_elements.size(); }

    const Variant& At(int index) const;
    Variant& At(int index);
    const Variant& At(int index1, int index2) const;
    Variant& At(int index1, int index2);

    // Changes the high bound of the last dimension, keeping the elements that remain.
    void Redim(int newHigh);

    const std::vector<Variant>& Elements() const { return m_elements; }
    std::vector<Variant>& Elements() { return m_elements; }
    const std::vector<Bound>& Bounds() const { return m_bounds; }

    friend bool operator==(const VarArray& a, const VarArray& b) {
        return a.m_bounds.size() == b.m_bounds.size() &&
               std::equal(a.m_bounds.begin(), a.m_bounds.end(), b.m_bounds.begin(),
                          [](const Bound& x, const Bound& y) { return x.Low == y.Low && x.Count == y.Count; }) &&
               a.m_elements == b.m_elements;
    }

private:
    const Bound& BoundOf(int dim) const;
    size_t Offset(int index) const;
    size_t Offset(int index1, int index2) const;

    std::vector<Bound> m_bounds;
    std::vector<Variant> m_elements;
};

// Bounds as the platform's VarArrayCreate takes them: [low, high] or
// [low1, high1, low2, high2]. Elements start Empty.
Variant VarArrayCreate(std::initializer_list<int> bounds);
// A zero-based one-dimensional array of the given values.
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);

} // namespace corvane
