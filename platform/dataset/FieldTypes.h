// The enumerations of the dataset engine: field types and kinds, dataset
// states, update statuses and reconcile actions.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvane::data {

// The data types a field can hold. The numbers are part of the packet encoding.
enum class FieldType : uint8_t {
    String = 1,     // 8-bit text of at most Size bytes in the database code page
    FixedChar = 2,  // 8-bit text padded to Size bytes
    WideString = 3, // UTF-16 text of at most Size characters
    Memo = 4,       // 8-bit text without a size limit
    SmallInt = 5,
    Integer = 6,
    Word = 7,
    Float = 8,
    Currency = 9,
    BCD = 10,
    Date = 11,
    Time = 12,
    DateTime = 13,
    Boolean = 14,
    Bytes = 15,
    VarBytes = 16,
    AutoInc = 17,
    LargeInt = 18,
    DataSet = 19, // the nested lines of the record
};

// Where a field's value comes from.
enum class FieldKind : uint8_t { Data, Calculated, InternalCalc, Lookup };

enum class DataSetState : uint8_t { Inactive, Browse, Edit, Insert, CalcFields };

// The change-log status of a record.
enum class UpdateStatus : uint8_t { Unmodified = 0, Modified = 1, Inserted = 2, Deleted = 3 };

enum class UpdateKind : uint8_t { Modify = 0, Insert = 1, Delete = 2 };

// What the reconcile-error handler decides for a refused record: Skip keeps
// it in the change log, Cancel reverts it to the values as read, Abort keeps
// it and every later refused record without asking again, Merge and Correct
// keep the client's values and drop the record from the change log.
enum class ReconcileAction : uint8_t { Skip, Abort, Merge, Correct, Cancel, Refresh };

bool IsStringType(FieldType type);    // String, FixedChar, WideString, Memo
bool IsNumericType(FieldType type);   // SmallInt .. BCD, AutoInc, LargeInt
bool IsIntegerType(FieldType type);   // SmallInt, Integer, Word, AutoInc, LargeInt
bool IsDateTimeType(FieldType type);  // Date, Time, DateTime
bool IsVariableType(FieldType type);  // texts and bytes: stored with their length
bool IsValidFieldType(uint8_t code);
// The width in bytes of a fixed-size type (0 for variable and nested types).
int FixedWidth(FieldType type);
std::string_view FieldTypeName(FieldType type);

} // namespace corvane::data
