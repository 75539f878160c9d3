// The rows of one level of a dataset (the master rows, or the nested lines of
// every master row), stored by column.
//
// Fixed-size values sit in one array per column and texts in one byte heap
// per column behind a length, so an open dataset costs little more than its
// values. A row is named by its id, its index in the columns, which never
// changes; removed rows leave their slot behind. Each row also carries its
// change-log status, its original values once it is changed, and for lines
// the id of the master row it belongs to. A nested-dataset column holds, per
// row, the ids of its lines in the nested level's store.
//
// The store is shared by a dataset and its clones; it knows nothing of cursors.
#pragma once

#include "platform/dataset/FieldTypes.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::data {

// The layout of one field as packets carry it.
struct FieldDef {
    std::string Name;
    FieldType Type = FieldType::String;
    int Size = 0; // bytes for 8-bit texts and bytes, characters for wide texts
    bool Required = false;
    bool ReadOnly = false;
    std::vector<FieldDef> Nested; // the lines' layout, for a nested-dataset field
};

constexpr uint32_t kNoRow = 0xFFFFFFFFu;

// Reads a fixed-width value from its slot (slots are not aligned).
template <typename T>
T LoadFixed(const uint8_t* slot) {
    T value;
    std::memcpy(&value, slot, sizeof value);
    return value;
}

class RowStore {
public:
    explicit RowStore(std::vector<FieldDef> defs);
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    const std::vector<FieldDef>& Defs() const { return m_defs; }
    int ColumnCount() const { return static_cast<int>(m_defs.size()); }
    // The column of a field name (case-insensitive), or -1.
    int ColumnOf(std::string_view name) const;
    uint32_t RowCount() const { return static_cast<uint32_t>(m_status.size()); }

    // A new row with every value null.
    uint32_t NewRow(uint32_t parent = kNoRow);
    // `count` new rows at once; answers the id of the first.
    uint32_t NewRows(uint32_t count, uint32_t parent = kNoRow);
    // Room for `rows` more rows and `bytes` more text bytes per text column.
    void Reserve(uint32_t rows, size_t bytes);
    void ShrinkToFit();

    bool IsNull(uint32_t row, int col) const;
    Variant Get(uint32_t row, int col) const;
    // Stores a value converted to the column's type; Empty and Null store null.
    // Throws EConvertError (or a variant error) when the value does not convert.
    void Set(uint32_t row, int col, const Variant& value);
    void SetNull(uint32_t row, int col);
    // Raw access for the packet codec.
    std::string_view GetBytes(uint32_t row, int col) const;
    void SetBytes(uint32_t row, int col, std::string_view bytes);
    const uint8_t* FixedSlot(uint32_t row, int col) const;
    void SetFixed(uint32_t row, int col, const void* bytes);

    // The store of a nested-dataset column, and a row's lines in it.
    RowStore* Nested(int col) const;
    std::vector<uint32_t>& Lines(uint32_t row, int col);
    const std::vector<uint32_t>& Lines(uint32_t row, int col) const;
    uint32_t Parent(uint32_t row) const { return m_parent[row]; }

    // Change log.
    UpdateStatus Status(uint32_t row) const { return m_status[row]; }
    void SetStatus(uint32_t row, UpdateStatus status);
    bool IsRemoved(uint32_t row) const { return m_removed[row]; }
    // Drops a row (and its lines) for good: a cancelled insert, a merged delete.
    void MarkRemoved(uint32_t row);
    // Brings a removed row back (its values must be set again).
    void Unremove(uint32_t row) { m_removed[row] = false; }
    // The row's values as read, kept (encoded) at its first change.
    bool HasOriginal(uint32_t row) const { return m_originals.count(row) != 0; }
    // The values as read: the kept ones, or the current ones of an unchanged row.
    std::vector<Variant> OriginalValues(uint32_t row) const;
    // The encoded image of the values as read (empty when none is kept).
    std::string_view OriginalImage(uint32_t row) const;
    // Puts back a kept image; every column then counts as written.
    void SetOriginalImage(uint32_t row, std::string image);
    // The kept image, and per column whether Set wrote it since: a column not
    // written still holds its value as read.
    struct OriginalRow {
        std::string Image;
        std::vector<bool> Written;
    };
    const OriginalRow* FindOriginal(uint32_t row) const;
    void KeepOriginal(uint32_t row);
    void DropOriginal(uint32_t row);
    // The order in which rows were first changed, so a delta replays them in order.
    uint64_t ChangeSeq(uint32_t row) const;
    void TouchChangeSeq(uint32_t row);
    // Row values as variants (nested columns are Empty).
    std::vector<Variant> RowValues(uint32_t row) const;
    void SetRowValues(uint32_t row, const std::vector<Variant>& values);

    // Bytes held by values, for memory accounting.
    size_t ValueBytes() const;
    size_t AllocatedBytes() const;

private:
    struct Column;
    Column& Col(int col) { return *m_columns[static_cast<size_t>(col)]; }
    const Column& Col(int col) const { return *m_columns[static_cast<size_t>(col)]; }

    std::vector<FieldDef> m_defs;
    std::vector<std::unique_ptr<Column>> m_columns;
    std::vector<UpdateStatus> m_status;
    std::vector<bool> m_removed;
    std::vector<uint32_t> m_parent;
    std::unordered_map<uint32_t, OriginalRow> m_originals;
    std::unordered_map<uint32_t, uint64_t> m_changeSeq;
    uint64_t m_nextSeq = 1;
};

} // namespace corvane::data
