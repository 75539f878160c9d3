#include "platform/dataset/FieldTypes.h"

namespace corvane::data {

bool IsStringType(FieldType type) {
    return type == FieldType::String || type == FieldType::FixedChar || type == FieldType::WideString ||
           type == FieldType::Memo;
}

bool IsIntegerType(FieldType type) {
    return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::Word ||
           type == FieldType::AutoInc || type == FieldType::LargeInt;
}

bool IsNumericType(FieldType type) {
    return IsIntegerType(type) || type == FieldType::Float || type == FieldType::Currency || type == FieldType::BCD;
}

bool IsDateTimeType(FieldType type) {
    return type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime;
}

bool IsVariableType(FieldType type) {
    return IsStringType(type) || type == FieldType::Bytes || type == FieldType::VarBytes;
}

bool IsValidFieldType(uint8_t code) {
    return code >= static_cast<uint8_t>(FieldType::String) && code <= static_cast<uint8_t>(FieldType::DataSet);
}

int FixedWidth(FieldType type) {
    switch (type) {
    case FieldType::Boolean:
        return 1;
    case FieldType::SmallInt:
    case FieldType::Word:
        return 2;
    case FieldType::Integer:
    case FieldType::AutoInc:
        return 4;
    case FieldType::LargeInt:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return 8;
    default:
        return 0;
    }
}

std::string_view FieldTypeName(FieldType type) {
    static constexpr std::string_view kNames[] = {
        "Unknown", "String", "FixedChar", "WideString", "Memo",     "SmallInt", "Integer",  "Word",  "Float",
        "Currency", "BCD",   "Date",      "Time",       "DateTime", "Boolean",  "Bytes",    "VarBytes",
        "AutoInc",  "LargeInt", "DataSet"};
    const auto index = static_cast<size_t>(type);
    return index < std::size(kNames) ? kNames[index] : kNames[0];
}

} // namespace corvane::data
