#include "platform/dataset/Field.h"

#include "platform/dataset/DataSet.h"
#include "platform/sys/NumberFormat.h"
#include "platform/sys/SysUtils.h"

#include <algorithm>
#include <climits>

namespace corvane::data {
namespace {

std::string DateTimeText(FieldType type, double value) {
    switch (type) {
    case FieldType::Date:
        return FormatDateTime("yyyy/mm/dd", value);
    case FieldType::Time:
        return FormatDateTime("hh:nn:ss", value);
    default: {
        int hour = 0, minute = 0, second = 0, msec = 0;
        DecodeTime(value, hour, minute, second, msec);
        return hour || minute || second ? FormatDateTime("yyyy/mm/dd hh:nn:ss", value)
                                        : FormatDateTime("yyyy/mm/dd", value);
    }
    }
}

const char* TypeWord(FieldType type) {
    if (IsIntegerType(type)) {
        return "integer";
    }
    if (IsNumericType(type)) {
        return "floating point";
    }
    if (IsDateTimeType(type)) {
        return "date and time";
    }
    if (type == FieldType::Boolean) {
        return "boolean";
    }
    return "text";
}

} // namespace

Field::Field(data::DataSet& dataSet, std::string name, FieldType type, int size, FieldKind kind)
    : m_dataSet(dataSet), m_name(std::move(name)), m_type(type), m_size(size), m_kind(kind) {}

int Field::DataSize() const {
    switch (m_type) {
    case FieldType::String:
    case FieldType::FixedChar:
        return m_size + 1;
    case FieldType::WideString:
        return (m_size + 1) * 2;
    case FieldType::Bytes:
    case FieldType::VarBytes:
        return m_size;
    case FieldType::Memo:
    case FieldType::DataSet:
        return 0;
    default:
        return FixedWidth(m_type);
    }
}

void Field::SetDisplayLabel(std::string label) {
    m_displayLabel = std::move(label);
    m_dataSet.DataEvent(DataEvent::LayoutChange);
}

int Field::DisplayWidth() const {
    if (m_displayWidth >= 0) {
        return m_displayWidth;
    }
    if (IsVariableType(m_type) && m_size > 0) {
        return std::max<int>(m_size, static_cast<int>(DisplayLabel().size()));
    }
    return std::max<int>(10, static_cast<int>(DisplayLabel().size()));
}

void Field::SetDisplayWidth(int width) {
    m_displayWidth = width;
    m_dataSet.DataEvent(DataEvent::LayoutChange);
}

int Field::Index() const {
    for (int i = 0; i < m_dataSet.FieldCount(); ++i) {
        if (&m_dataSet.Fields(i) == this) {
            return i;
        }
    }
    return -1;
}

void Field::SetIndex(int index) {
    auto& fields = m_dataSet.m_fields;
    const int from = Index();
    index = std::clamp(index, 0, static_cast<int>(fields.size()) - 1);
    if (from < 0 || from == index) {
        return;
    }
    auto moving = std::move(fields[static_cast<size_t>(from)]);
    fields.erase(fields.begin() + from);
    fields.insert(fields.begin() + index, std::move(moving));
    m_dataSet.DataEvent(DataEvent::LayoutChange);
}

void Field::SetVisible(bool visible) {
    m_visible = visible;
    m_dataSet.DataEvent(DataEvent::LayoutChange);
}

void Field::SetDisplayFormat(std::string format) {
    m_displayFormat = std::move(format);
    m_dataSet.DataEvent(DataEvent::LayoutChange);
}

bool Field::IsNull() const { return Value().IsEmptyOrNull(); }

Variant Field::Value() const {
    if (m_validating) {
        return m_pending;
    }
    return m_dataSet.ReadValue(*this);
}

Variant Field::OldValue() const {
    if (!IsDataField() || m_type == FieldType::DataSet || !m_dataSet.Active()) {
        return Value();
    }
    const uint32_t row = m_dataSet.CurrentRow();
    const RowStore* store = m_dataSet.Store();
    if (row == kNoRow || !store || m_dataSet.State() == DataSetState::Insert) {
        return Variant::Null();
    }
    return store->HasOriginal(row) ? store->OriginalValues(row)[static_cast<size_t>(m_slot)] : store->Get(row, m_slot);
}

Variant Field::ConvertForStorage(const Variant& value) const {
    if (value.IsEmptyOrNull()) {
        return Variant::Null();
    }
    try {
        switch (m_type) {
        case FieldType::String:
        case FieldType::FixedChar:
        case FieldType::Bytes:
        case FieldType::VarBytes: {
            std::string text = value.ToString();
            if (m_size > 0 && static_cast<int>(text.size()) > m_size) {
                throw EDatabaseError("Field '" + DisplayLabel() + "' takes at most " + std::to_string(m_size) +
                                     " bytes; the text has " + std::to_string(text.size()));
            }
            return Variant(std::move(text));
        }
        case FieldType::Memo:
            return Variant(value.ToString());
        case FieldType::WideString: {
            std::u16string text = value.ToWideString();
            if (m_size > 0 && static_cast<int>(text.size()) > m_size) {
                throw EDatabaseError("Field '" + DisplayLabel() + "' takes at most " + std::to_string(m_size) +
                                     " characters; the text has " + std::to_string(text.size()));
            }
            return Variant(std::move(text));
        }
        case FieldType::SmallInt:
        case FieldType::Word:
        case FieldType::Integer:
        case FieldType::AutoInc: {
            const int64_t v = value.ToInt64();
            const int64_t low = m_type == FieldType::SmallInt ? INT16_MIN : m_type == FieldType::Word ? 0 : INT32_MIN;
            const int64_t high = m_type == FieldType::SmallInt ? INT16_MAX : m_type == FieldType::Word ? UINT16_MAX : INT32_MAX;
            if (v < low || v > high) {
                throw EDatabaseError(std::to_string(v) + " is not a valid value for field '" + DisplayLabel() +
                                     "'. The allowed range is " + std::to_string(low) + " to " + std::to_string(high));
            }
            return Variant(static_cast<int>(v));
        }
        case FieldType::LargeInt:
            return Variant::FromInt64(value.ToInt64());
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::BCD:
            return Variant(value.ToDouble());
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
            return Variant::FromDate(value.ToDate());
        case FieldType::Boolean:
            return Variant(value.ToBool());
        case FieldType::DataSet:
            throw EDatabaseError("Field '" + m_name + "' holds nested lines and takes no value");
        }
    } catch (const EVariantError&) {
        throw EConvertError("'" + VarToStr(value) + "' is not a valid " + TypeWord(m_type) + " value for field '" +
                            DisplayLabel() + "'");
    }
    return value;
}

void Field::SetValue(const Variant& value) {
    data::DataSet& ds = m_dataSet;
    if (!ds.Active()) {
        throw EDatabaseError("Cannot assign field '" + m_name + "': dataset " + ds.Name() + " is closed");
    }
    if (!IsDataField()) {
        if (ds.State() != DataSetState::CalcFields) {
            throw EDatabaseError("Field '" + DisplayLabel() + "' cannot be modified: it is calculated");
        }
        ds.WriteValue(*this, ConvertForStorage(value));
        return;
    }
    if (ds.State() != DataSetState::Edit && ds.State() != DataSetState::Insert) {
        throw EDatabaseError("Cannot assign field '" + DisplayLabel() + "': dataset " + ds.Name() +
                             " is not in edit or insert mode");
    }
    if (m_readOnly) {
        throw EDatabaseError("Field '" + DisplayLabel() + "' cannot be modified");
    }
    Variant converted = ConvertForStorage(value);
    if (OnValidate) {
        m_pending = converted;
        m_validating = true;
        try {
            OnValidate(*this);
        } catch (...) {
            m_validating = false;
            m_pending = Variant();
            throw;
        }
        m_validating = false;
        m_pending = Variant();
    }
    ds.WriteValue(*this, converted);
    if (OnChange) {
        OnChange(*this);
    }
    ds.DataEvent(DataEvent::FieldChange, reinterpret_cast<long long>(this));
}

std::string Field::AsString() const {
    const Variant value = Value();
    if (value.IsEmptyOrNull()) {
        return {};
    }
    if (IsDateTimeType(m_type)) {
        return DateTimeText(m_type, value.ToDate());
    }
    return value.ToString();
}

void Field::SetAsString(std::string_view text) {
    if (IsVariableType(m_type)) {
        SetValue(Variant(std::string(text)));
        return;
    }
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) {
        SetValue(Variant::Null());
        return;
    }
    if (IsIntegerType(m_type)) {
        int64_t value = 0;
        if (!TryStrToInt64(trimmed, value)) {
            throw EConvertError("'" + trimmed + "' is not a valid integer value for field '" + DisplayLabel() + "'");
        }
        SetValue(Variant::FromInt64(value));
    } else if (IsNumericType(m_type)) {
        double value = 0;
        if (!TryStrToFloat(trimmed, value)) {
            throw EConvertError("'" + trimmed + "' is not a valid floating point value for field '" + DisplayLabel() +
                                "'");
        }
        SetValue(value);
    } else if (m_type == FieldType::Boolean) {
        const std::string upper = UpperCase(trimmed);
        if (upper == "TRUE" || upper == "T" || upper == "Y" || upper == "YES" || upper == "1") {
            SetValue(true);
        } else if (upper == "FALSE" || upper == "F" || upper == "N" || upper == "NO" || upper == "0") {
            SetValue(false);
        } else {
            throw EConvertError("'" + trimmed + "' is not a valid boolean value for field '" + DisplayLabel() + "'");
        }
    } else {
        SetValue(Variant(trimmed));
    }
}

int Field::AsInteger() const {
    const Variant value = Value();
    return value.IsEmptyOrNull() ? 0 : value.ToInt();
}

int64_t Field::AsLargeInt() const {
    const Variant value = Value();
    return value.IsEmptyOrNull() ? 0 : value.ToInt64();
}

double Field::AsFloat() const {
    const Variant value = Value();
    return value.IsEmptyOrNull() ? 0 : value.ToDouble();
}

bool Field::AsBoolean() const {
    const Variant value = Value();
    return !value.IsEmptyOrNull() && value.ToBool();
}

TDateTime Field::AsDateTime() const {
    const Variant value = Value();
    return value.IsEmptyOrNull() ? 0 : value.ToDate();
}

std::string Field::FormatNumber(bool display) const {
    const Variant value = Value();
    if (value.IsEmptyOrNull()) {
        return {};
    }
    const std::string& format = display ? m_displayFormat : m_editFormat;
    if (format.empty() || !IsNumericType(m_type)) {
        return AsString();
    }
    return FormatFloat(format, value.ToDouble());
}

std::string Field::DefaultText(bool display) const { return FormatNumber(display); }

std::string Field::Text() const {
    if (OnGetText) {
        std::string text;
        OnGetText(const_cast<Field&>(*this), text, false);
        return text;
    }
    return DefaultText(false);
}

std::string Field::DisplayText() const {
    if (OnGetText) {
        std::string text;
        OnGetText(const_cast<Field&>(*this), text, true);
        return text;
    }
    return DefaultText(true);
}

void Field::SetText(std::string_view text) {
    if (OnSetText) {
        OnSetText(*this, std::string(text));
        return;
    }
    SetAsString(text);
}

} // namespace corvane::data
