// A field of a dataset: its layout, display properties, events and the value
// of the dataset's current record.
//
// A data field reads and writes the current record (the edit buffer while the
// dataset edits or inserts). Calculated and lookup fields are written only
// while the dataset calculates fields; internally calculated fields are kept
// with each row. A new value passes the validate event before it is kept: an
// exception there keeps the old value. Assigning to a read-only field, or
// outside edit and insert, is an error, and so is a text longer than the
// field's size in bytes.
#pragma once

#include "platform/dataset/FieldTypes.h"
#include "platform/variant/Variant.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvane::data {

class DataSet;
class Field;

using FieldNotify = std::function<void(Field& field)>;
using FieldGetText = std::function<void(Field& field, std::string& text, bool displayText)>;
using FieldSetText = std::function<void(Field& field, const std::string& text)>;

class Field {
public:
    Field(data::DataSet& dataSet, std::string name, FieldType type, int size, FieldKind kind);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    data::DataSet& DataSet() const { return m_dataSet; }
    const std::string& FieldName() const { return m_name; }
    FieldType DataType() const { return m_type; }
    FieldKind Kind() const { return m_kind; }
    bool IsDataField() const { return m_kind == FieldKind::Data; }
    // Bytes for 8-bit texts and bytes, characters for wide texts, 0 otherwise.
    int Size() const { return m_size; }
    // The storage size as the platform reports it: texts count one more byte
    // than their size (the terminator), wide texts two per character and one more.
    int DataSize() const;

    std::string DisplayLabel() const { return m_displayLabel.empty() ? m_name : m_displayLabel; }
    void SetDisplayLabel(std::string label);
    int DisplayWidth() const;
    void SetDisplayWidth(int width);
    // Position among the dataset's fields; setting it moves the field.
    int Index() const;
    void SetIndex(int index);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Required() const { return m_required; }
    void SetRequired(bool required) { m_required = required; }
    const std::string& EditMask() const { return m_editMask; }
    void SetEditMask(std::string mask) { m_editMask = std::move(mask); }
    // Number formats (FormatFloat patterns) for display and for editing.
    const std::string& DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(std::string format);
    const std::string& EditFormat() const { return m_editFormat; }
    void SetEditFormat(std::string format) { m_editFormat = std::move(format); }
    int Tag = 0;

    // Value of the current record.
    bool IsNull() const;
    Variant Value() const;
    void SetValue(const Variant& value);
    void Clear() { SetValue(Variant::Null()); }
    // The value as read from the provider (the current value for unchanged rows).
    Variant OldValue() const;

    std::string AsString() const;
    void SetAsString(std::string_view text);
    int AsInteger() const;
    void SetAsInteger(int value) { SetValue(value); }
    int64_t AsLargeInt() const;
    double AsFloat() const;
    void SetAsFloat(double value) { SetValue(value); }
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { SetValue(value); }
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value) { SetValue(Variant::FromDate(value)); }

    // The text for editing, and the text for display; both go through the get-text event.
    std::string Text() const;
    std::string DisplayText() const;
    // Assigns typed text through the set-text event, or converts it to the field's type.
    void SetText(std::string_view text);

    // Events.
    FieldGetText OnGetText;
    FieldSetText OnSetText;
    FieldNotify OnValidate;
    FieldNotify OnChange;

    // The dataset of a nested-dataset field's lines, when one is bound to it.
    data::DataSet* NestedDataSet() const { return m_nested; }

    // Lookup fields: the value of ResultField in LookupDataSet at the row whose
    // LookupKeyFields equal this dataset's KeyFields (";"-separated lists).
    data::DataSet* LookupDataSet = nullptr;
    std::string LookupKeyFields;
    std::string LookupResultField;
    std::string KeyFields;

private:
    friend class data::DataSet;
    std::string DefaultText(bool display) const;
    std::string FormatNumber(bool display) const;
    Variant ConvertForStorage(const Variant& value) const;

    data::DataSet& m_dataSet;
    std::string m_name;
    FieldType m_type;
    int m_size;
    FieldKind m_kind;
    std::string m_displayLabel;
    int m_displayWidth = -1;
    bool m_visible = true;
    bool m_readOnly = false;
    bool m_required = false;
    std::string m_editMask;
    std::string m_displayFormat;
    std::string m_editFormat;
    // Where the value lives: the store column of a data field, the slot of a calculated one.
    int m_slot = -1;
    data::DataSet* m_nested = nullptr;
    bool m_validating = false;
    Variant m_pending;
};

} // namespace corvane::data
