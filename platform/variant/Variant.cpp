#include "platform/variant/Variant.h"

#include "platform/sys/CodePage.h"
#include "platform/sys/SysUtils.h"

#include <cfenv>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace corvane {
namespace {

std::string SystemCodePageText() { return std::to_string(codepage::SystemAnsiCodePage()); }

std::string KnownOrWestern(const std::string& codePage) {
    return codepage::IsKnownCodePage(codePage) ? codePage : std::string("1252");
}

// The boolean names the platform writes and reads.
constexpr std::string_view kTrueText = "True";
constexpr std::string_view kFalseText = "False";

int64_t RoundHalfEven(double value) {
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0) {
        throw EVariantOverflowError("Variant overflow");
    }
    return static_cast<int64_t>(std::nearbyint(value));
}

std::string DateText(double value) {
    int hour = 0, minute = 0, second = 0, msec = 0;
    DecodeTime(value, hour, minute, second, msec);
    if (hour == 0 && minute == 0 && second == 0 && msec == 0) {
        return FormatDateTime("yyyy/mm/dd", value);
    }
    return FormatDateTime("yyyy/mm/dd hh:nn:ss", value);
}

bool TryParseDate(std::string_view text, double& value) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::string s = Trim(text);
    int n = std::sscanf(s.c_str(), "%d%*[/-]%d%*[/-]%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second);
    if (n != 3 && n != 5 && n != 6) {
        return false;
    }
    double date = 0;
    double time = 0;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, 0, time)) {
        return false;
    }
    value = date + time;
    return true;
}

} // namespace

const char* VarTypeName(VarType type) {
    switch (type) {
    case VarType::Empty:
        return "Empty";
    case VarType::Null:
        return "Null";
    case VarType::Boolean:
        return "Boolean";
    case VarType::Integer:
        return "Integer";
    case VarType::Int64:
        return "Int64";
    case VarType::Double:
        return "Double";
    case VarType::Date:
        return "Date";
    case VarType::String:
        return "String";
    case VarType::WideString:
        return "OleStr";
    case VarType::Array:
        return "Array Variant";
    case VarType::Dispatch:
        return "Dispatch";
    }
    return "Unknown";
}

EVariantTypeCastError::EVariantTypeCastError(VarType from, VarType to)
    : EVariantError(std::string("Could not convert variant of type (") + VarTypeName(from) + ") into type (" +
                    VarTypeName(to) + ")") {}

Variant::Variant(DispatchPtr object) {
    if (object) {
        m_value = std::move(object);
    }
}

Variant::Variant(VarArray array) : m_value(std::make_shared<VarArray>(std::move(array))) {}

Variant Variant::Null() {
    Variant v;
    v.m_value = NullTag{};
    return v;
}

Variant Variant::FromDate(TDateTime value) {
    Variant v;
    v.m_value = DateTag{value};
    return v;
}

Variant Variant::FromInt64(int64_t value) {
    Variant v;
    v.m_value = value;
    return v;
}

void Variant::SetInteger(long long value) {
    if (value >= INT32_MIN && value <= INT32_MAX) {
        m_value = static_cast<int32_t>(value);
    } else {
        m_value = static_cast<int64_t>(value);
    }
}

void Variant::CastError(VarType to) const { throw EVariantTypeCastError(Type(), to); }

bool Variant::IsNumeric() const {
    switch (Type()) {
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Double:
        return true;
    default:
        return false;
    }
}

std::string Variant::ToString() const {
    switch (Type()) {
    case VarType::Empty:
        return {};
    case VarType::Boolean:
        return std::string(std::get<bool>(m_value) ? kTrueText : kFalseText);
    case VarType::Integer:
        return std::to_string(std::get<int32_t>(m_value));
    case VarType::Int64:
        return std::to_string(std::get<int64_t>(m_value));
    case VarType::Double:
        return FloatToStr(std::get<double>(m_value));
    case VarType::Date:
        return DateText(std::get<DateTag>(m_value).Value);
    case VarType::String:
        return std::get<std::string>(m_value);
    case VarType::WideString:
        return codepage::FromUtf16(std::get<std::u16string>(m_value), KnownOrWestern(SystemCodePageText()));
    default:
        CastError(VarType::String);
    }
}

std::u16string Variant::ToWideString() const {
    if (Type() == VarType::WideString) {
        return std::get<std::u16string>(m_value);
    }
    if (Type() == VarType::Null || IsArray() || IsDispatch()) {
        CastError(VarType::WideString);
    }
    return codepage::ToUtf16(ToString(), KnownOrWestern(SystemCodePageText()));
}

int64_t Variant::ToInt64() const {
    switch (Type()) {
    case VarType::Empty:
        return 0;
    case VarType::Boolean:
        return std::get<bool>(m_value) ? -1 : 0;
    case VarType::Integer:
        return std::get<int32_t>(m_value);
    case VarType::Int64:
        return std::get<int64_t>(m_value);
    case VarType::Double:
        return RoundHalfEven(std::get<double>(m_value));
    case VarType::Date:
        return RoundHalfEven(std::get<DateTag>(m_value).Value);
    case VarType::String:
    case VarType::WideString: {
        const std::string text = ToString();
        int64_t integer = 0;
        if (TryStrToInt64(text, integer)) {
            return integer;
        }
        double number = 0;
        if (TryStrToFloat(text, number)) {
            return RoundHalfEven(number);
        }
        const std::string trimmed = Trim(text);
        if (SameText(trimmed, kTrueText)) {
            return -1;
        }
        if (SameText(trimmed, kFalseText)) {
            return 0;
        }
        CastError(VarType::Integer);
    }
    default:
        CastError(VarType::Integer);
    }
}

int32_t Variant::ToInt() const {
    const int64_t value = ToInt64();
    if (value < INT32_MIN || value > INT32_MAX) {
        throw EVariantOverflowError("Variant overflow");
    }
    return static_cast<int32_t>(value);
}

double Variant::ToDouble() const {
    switch (Type()) {
    case VarType::Empty:
        return 0;
    case VarType::Boolean:
        return std::get<bool>(m_value) ? -1 : 0;
    case VarType::Integer:
        return std::get<int32_t>(m_value);
    case VarType::Int64:
        return static_cast<double>(std::get<int64_t>(m_value));
    case VarType::Double:
        return std::get<double>(m_value);
    case VarType::Date:
        return std::get<DateTag>(m_value).Value;
    case VarType::String:
    case VarType::WideString: {
        const std::string text = Trim(ToString());
        double number = 0;
        if (TryStrToFloat(text, number)) {
            return number;
        }
        if (SameText(text, kTrueText)) {
            return -1;
        }
        if (SameText(text, kFalseText)) {
            return 0;
        }
        CastError(VarType::Double);
    }
    default:
        CastError(VarType::Double);
    }
}

bool Variant::ToBool() const {
    switch (Type()) {
    case VarType::Empty:
        return false;
    case VarType::Boolean:
        return std::get<bool>(m_value);
    case VarType::String:
    case VarType::WideString: {
        const std::string text = Trim(ToString());
        if (SameText(text, kTrueText)) {
            return true;
        }
        if (SameText(text, kFalseText)) {
            return false;
        }
        double number = 0;
        if (TryStrToFloat(text, number)) {
            return number != 0;
        }
        CastError(VarType::Boolean);
    }
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Double:
    case VarType::Date:
        return ToDouble() != 0;
    default:
        CastError(VarType::Boolean);
    }
}

TDateTime Variant::ToDate() const {
    switch (Type()) {
    case VarType::String:
    case VarType::WideString: {
        double value = 0;
        if (TryParseDate(ToString(), value)) {
            return value;
        }
        CastError(VarType::Date);
    }
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Double:
    case VarType::Date:
        return ToDouble();
    default:
        CastError(VarType::Date);
    }
}

DispatchPtr Variant::ToDispatch() const {
    if (!IsDispatch()) {
        CastError(VarType::Dispatch);
    }
    return std::get<DispatchPtr>(m_value);
}

const VarArray& Variant::Array() const {
    if (!IsArray()) {
        throw EVariantError(std::string("Variant is not an array (it is ") + VarTypeName(Type()) + ")");
    }
    return *std::get<std::shared_ptr<VarArray>>(m_value);
}

VarArray& Variant::MutableArray() {
    (void)static_cast<const Variant*>(this)->Array();
    auto& shared = std::get<std::shared_ptr<VarArray>>(m_value);
    if (shared.use_count() > 1) {
        shared = std::make_shared<VarArray>(*shared);
    }
    return *shared;
}

VarArray& Variant::Array() { return MutableArray(); }

int Variant::DimCount() const { return IsArray() ? Array().DimCount() : 0; }
int Variant::LowBound(int dim) const { return Array().LowBound(dim); }
int Variant::HighBound(int dim) const { return Array().HighBound(dim); }
int Variant::Length(int dim) const { return IsArray() && dim <= DimCount() ? Array().Count(dim) : 0; }
const Variant& Variant::At(int index) const { return Array().At(index); }
const Variant& Variant::At(int index1, int index2) const { return Array().At(index1, index2); }
Variant& Variant::At(int index) { return MutableArray().At(index); }
Variant& Variant::At(int index1, int index2) { return MutableArray().At(index1, index2); }

bool operator==(const Variant& a, const Variant& b) {
    if (a.IsArray() && b.IsArray()) {
        return a.Array() == b.Array();
    }
    return a.m_value == b.m_value;
}

std::string VarToStr(const Variant& value) { return value.IsNull() ? std::string() : value.ToString(); }

std::string VarToStrDef(const Variant& value, std::string_view defaultValue) {
    return value.IsNull() ? std::string(defaultValue) : value.ToString();
}

std::string VarDebugText(const Variant& value) {
    switch (value.Type()) {
    case VarType::Empty:
        return "Empty";
    case VarType::Null:
        return "Null";
    case VarType::Dispatch:
        return "Dispatch";
    case VarType::String:
        return '"' + value.ToString() + '"';
    case VarType::WideString:
        return "L\"" + codepage::Utf16ToUtf8(value.ToWideString()) + '"';
    case VarType::Array: {
        const VarArray& array = value.Array();
        std::string text = "[";
        for (size_t i = 0; i < array.ElementCount(); ++i) {
            text += (i ? ", " : "") + VarDebugText(array.Elements()[i]);
        }
        return text + "]";
    }
    default:
        return std::string(VarTypeName(value.Type())) + ":" + value.ToString();
    }
}

VarArray::VarArray(int low, int high) : m_bounds{{low, std::max(0, high - low + 1)}} {
    m_elements.resize(static_cast<size_t>(m_bounds[0].Count));
}

VarArray::VarArray(int low1, int high1, int low2, int high2)
    : m_bounds{{low1, std::max(0, high1 - low1 + 1)}, {low2, std::max(0, high2 - low2 + 1)}} {
    m_elements.resize(static_cast<size_t>(m_bounds[0].Count) * static_cast<size_t>(m_bounds[1].Count));
}

const VarArray::Bound& VarArray::BoundOf(int dim) const {
    if (dim < 1 || dim > DimCount()) {
        throw EVariantBadIndexError("Variant array dimension " + std::to_string(dim) + " out of range");
    }
    return m_bounds[static_cast<size_t>(dim - 1)];
}

size_t VarArray::Offset(int index) const {
    if (DimCount() != 1) {
        throw EVariantBadIndexError("Variant array has " + std::to_string(DimCount()) + " dimensions, not 1");
    }
    const Bound& b = m_bounds[0];
    if (index < b.Low || index >= b.Low + b.Count) {
        throw EVariantBadIndexError("Variant array index " + std::to_string(index) + " out of bounds");
    }
    return static_cast<size_t>(index - b.Low);
}

size_t VarArray::Offset(int index1, int index2) const {
    if (DimCount() != 2) {
        throw EVariantBadIndexError("Variant array has " + std::to_string(DimCount()) + " dimensions, not 2");
    }
    const Bound& b1 = m_bounds[0];
    const Bound& b2 = m_bounds[1];
    if (index1 < b1.Low || index1 >= b1.Low + b1.Count || index2 < b2.Low || index2 >= b2.Low + b2.Count) {
        throw EVariantBadIndexError("Variant array index [" + std::to_string(index1) + ", " +
                                    std::to_string(index2) + "] out of bounds");
    }
    return static_cast<size_t>(index1 - b1.Low) * static_cast<size_t>(b2.Count) +
           static_cast<size_t>(index2 - b2.Low);
}

const Variant& VarArray::At(int index) const { return m_elements[Offset(index)]; }
Variant& VarArray::At(int index) { return m_elements[Offset(index)]; }
const Variant& VarArray::At(int index1, int index2) const { return m_elements[Offset(index1, index2)]; }
Variant& VarArray::At(int index1, int index2) { return m_elements[Offset(index1, index2)]; }

void VarArray::Redim(int newHigh) {
    if (m_bounds.empty()) {
        throw EVariantBadIndexError("Cannot resize an array without dimensions");
    }
    Bound& last = m_bounds.back();
    const int newCount = std::max(0, newHigh - last.Low + 1);
    if (m_bounds.size() == 1) {
        m_elements.resize(static_cast<size_t>(newCount));
    } else {
        const size_t rows = static_cast<size_t>(m_bounds[0].Count);
        std::vector<Variant> resized(rows * static_cast<size_t>(newCount));
        const size_t kept = static_cast<size_t>(std::min(newCount, last.Count));
        for (size_t r = 0; r < rows; ++r) {
            for (size_t c = 0; c < kept; ++c) {
                resized[r * static_cast<size_t>(newCount) + c] =
                    std::move(m_elements[r * static_cast<size_t>(last.Count) + c]);
            }
        }
        m_elements = std::move(resized);
    }
    last.Count = newCount;
}

Variant VarArrayCreate(std::initializer_list<int> bounds) {
    const auto* b = bounds.begin();
    if (bounds.size() == 2) {
        return Variant(VarArray(b[0], b[1]));
    }
    if (bounds.size() == 4) {
        return Variant(VarArray(b[0], b[1], b[2], b[3]));
    }
    throw EVariantError("VarArrayCreate takes one or two pairs of bounds");
}

Variant VarArrayOf(std::initializer_list<Variant> values) { return VarArrayOf(std::vector<Variant>(values)); }

Variant VarArrayOf(const std::vector<Variant>& values) {
    VarArray array(0, static_cast<int>(values.size()) - 1);
    array.Elements() = values;
    return Variant(std::move(array));
}

} // namespace corvane
