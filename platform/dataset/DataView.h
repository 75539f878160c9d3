// The order in which a cursor shows the rows of its level, and the indexes
// that define it.
//
// A view lists the row ids of a base list (the rows of a level in the order
// they arrived or were inserted) that are neither deleted nor removed, sorted
// by the active index: index field names (";"-separated, ascending) or an
// index definition selected by name. Sorting is stable, so rows with equal
// keys keep their base order.
#pragma once

#include "platform/dataset/RowStore.h"

#include <string>
#include <vector>

namespace corvane::data {

enum IndexOption : unsigned {
    ixDescending = 1,      // every field descending
    ixCaseInsensitive = 2, // texts compare without regard to ASCII case
    ixUnique = 4,
};

struct IndexDef {
    std::string Name;
    std::string Fields;     // ";"-separated
    std::string DescFields; // the fields among Fields sorted descending
    std::string CaseInsFields;
    unsigned Options = 0;
};

// Compares two rows of a store by a list of columns.
class RowComparator {
public:
    struct Key {
        int Column = -1;
        bool Descending = false;
        bool CaseInsensitive = false;
    };

    RowComparator() = default;
    explicit RowComparator(std::vector<Key> keys) : m_keys(std::move(keys)) {}
    bool Empty() const { return m_keys.empty(); }
    // <0, 0 or >0; nulls sort first.
    int Compare(const RowStore& store, uint32_t a, uint32_t b) const;
    // Builds the keys of an index over a store; throws EDatabaseError naming a missing field.
    static RowComparator ForIndex(const RowStore& store, const std::string& fields, const std::string& descFields,
                                  const std::string& caseInsFields, unsigned options);

private:
    std::vector<Key> m_keys;
};

int CompareValues(const Variant& a, const Variant& b, bool caseInsensitive);

// The names of a ";"-separated field list, trimmed, empty entries left out.
std::vector<std::string> SplitFieldNames(std::string_view list);

class DataView {
public:
    // Rebuilds the view from a base list.
    void Build(const RowStore& store, const std::vector<uint32_t>& base, const RowComparator& order);
    void Clear() { m_rows.clear(); }

    uint32_t Size() const { return static_cast<uint32_t>(m_rows.size()); }
    uint32_t RowAt(uint32_t position) const { return m_rows[position]; }
    // The position of a row, or -1.
    int PositionOf(uint32_t row) const;
    // Places a row: at `position` without an order, at its sorted place with one.
    uint32_t Place(const RowStore& store, uint32_t row, uint32_t position, const RowComparator& order);
    void Remove(uint32_t position) { m_rows.erase(m_rows.begin() + position); }
    const std::vector<uint32_t>& Rows() const { return m_rows; }

private:
    std::vector<uint32_t> m_rows;
};

} // namespace corvane::data
