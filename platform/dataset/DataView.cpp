#include "platform/dataset/DataView.h"

#include "platform/dataset/DataSetErrors.h"
#include "platform/sys/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace corvane::data {
namespace {

bool InList(const std::vector<std::string>& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& n) { return SameText(n, name); });
}

int CompareBytes(std::string_view a, std::string_view b, bool caseInsensitive) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (caseInsensitive) {
            x = static_cast<unsigned char>(x >= 'a' && x <= 'z' ? x - 32 : x);
            y = static_cast<unsigned char>(y >= 'a' && y <= 'z' ? y - 32 : y);
        }
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

std::vector<std::string> SplitFieldNames(std::string_view list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        std::string name = Trim(list.substr(start, end - start));
        if (!name.empty()) {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

int CompareValues(const Variant& a, const Variant& b, bool caseInsensitive) {
    const bool aNull = a.IsEmptyOrNull();
    const bool bNull = b.IsEmptyOrNull();
    if (aNull || bNull) {
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    }
    if (a.IsString() && b.IsString()) {
        return CompareBytes(a.ToString(), b.ToString(), caseInsensitive);
    }
    const double x = a.ToDouble();
    const double y = b.ToDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

int RowComparator::Compare(const RowStore& store, uint32_t a, uint32_t b) const {
    for (const Key& key : m_keys) {
        int result = 0;
        const bool aNull = store.IsNull(a, key.Column);
        const bool bNull = store.IsNull(b, key.Column);
        if (aNull || bNull) {
            result = aNull == bNull ? 0 : (aNull ? -1 : 1);
        } else {
            const FieldType type = store.Defs()[static_cast<size_t>(key.Column)].Type;
            if (IsVariableType(type) && type != FieldType::WideString) {
                result = CompareBytes(store.GetBytes(a, key.Column), store.GetBytes(b, key.Column),
                                      key.CaseInsensitive);
            } else {
                result = CompareValues(store.Get(a, key.Column), store.Get(b, key.Column), key.CaseInsensitive);
            }
        }
        if (result != 0) {
            return key.Descending ? -result : result;
        }
    }
    return 0;
}

RowComparator RowComparator::ForIndex(const RowStore& store, const std::string& fields, const std::string& descFields,
                                      const std::string& caseInsFields, unsigned options) {
    const auto desc = SplitFieldNames(descFields);
    const auto caseIns = SplitFieldNames(caseInsFields);
    std::vector<Key> keys;
    for (const std::string& name : SplitFieldNames(fields)) {
        const int column = store.ColumnOf(name);
        if (column < 0 || store.Defs()[static_cast<size_t>(column)].Type == FieldType::DataSet) {
            throw EDatabaseError("Field '" + name + "' not found or cannot be indexed");
        }
        keys.push_back({column, (options & ixDescending) != 0 || InList(desc, name),
                        (options & ixCaseInsensitive) != 0 || InList(caseIns, name)});
    }
    return RowComparator(std::move(keys));
}

void DataView::Build(const RowStore& store, const std::vector<uint32_t>& base, const RowComparator& order) {
    m_rows.clear();
    m_rows.reserve(base.size());
    for (uint32_t row : base) {
        if (!store.IsRemoved(row) && store.Status(row) != UpdateStatus::Deleted) {
            m_rows.push_back(row);
        }
    }
    if (!order.Empty()) {
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [&](uint32_t a, uint32_t b) { return order.Compare(store, a, b) < 0; });
    }
}

int DataView::PositionOf(uint32_t row) const {
    auto it = std::find(m_rows.begin(), m_rows.end(), row);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

uint32_t DataView::Place(const RowStore& store, uint32_t row, uint32_t position, const RowComparator& order) {
    if (order.Empty()) {
        position = std::min(position, Size());
        m_rows.insert(m_rows.begin() + position, row);
        return position;
    }
    auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                               [&](uint32_t a, uint32_t b) { return order.Compare(store, a, b) < 0; });
    const auto placed = static_cast<uint32_t>(it - m_rows.begin());
    m_rows.insert(it, row);
    return placed;
}

} // namespace corvane::data
