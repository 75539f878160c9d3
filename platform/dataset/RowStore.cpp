#include "platform/dataset/RowStore.h"

#include "platform/dataset/ValueCodec.h"
#include "platform/sys/SysUtils.h"

#include <cstring>

namespace corvane::data {

// One column: a null bit per row and either fixed-width slots, or offsets into
// a heap of length-prefixed byte strings, or the line lists of nested rows.
struct RowStore::Column {
    FieldType Type;
    int Width = 0;
    std::vector<uint64_t> Nulls;
    std::vector<uint8_t> Fixed;
    std::vector<uint32_t> Offsets;
    std::vector<char> Heap;
    std::vector<std::vector<uint32_t>> Lines;
    std::unique_ptr<RowStore> NestedStore;
};

namespace {

void AppendLength(std::vector<char>& heap, size_t length) {
    do {
        uint8_t byte = length & 0x7F;
        length >>= 7;
        heap.push_back(static_cast<char>(length ? byte | 0x80 : byte));
    } while (length);
}

std::string_view ReadLengthPrefixed(const std::vector<char>& heap, uint32_t offset) {
    size_t length = 0;
    int shift = 0;
    size_t pos = offset;
    while (true) {
        const auto byte = static_cast<uint8_t>(heap[pos++]);
        length |= static_cast<size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) {
            break;
        }
        shift += 7;
    }
    return std::string_view(heap.data() + pos, length);
}

} // namespace

RowStore::RowStore(std::vector<FieldDef> defs) : m_defs(std::move(defs)) {
    for (const FieldDef& def : m_defs) {
        auto column = std::make_unique<Column>();
        column->Type = def.Type;
        column->Width = FixedWidth(def.Type);
        if (def.Type == FieldType::DataSet) {
            column->NestedStore = std::make_unique<RowStore>(def.Nested);
        }
        m_columns.push_back(std::move(column));
    }
}

RowStore::~RowStore() = default;

int RowStore::ColumnOf(std::string_view name) const {
    for (size_t i = 0; i < m_defs.size(); ++i) {
        if (SameText(m_defs[i].Name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

uint32_t RowStore::NewRow(uint32_t parent) { return NewRows(1, parent); }

uint32_t RowStore::NewRows(uint32_t count, uint32_t parent) {
    const uint32_t first = RowCount();
    if (static_cast<uint64_t>(first) + count >= kNoRow) {
        throw Exception("The dataset cannot hold more rows");
    }
    const size_t total = static_cast<size_t>(first) + count;
    for (auto& column : m_columns) {
        // New rows start null: their bits are set in whole words.
        column->Nulls.resize((total + 63) / 64, ~0ULL);
        if (column->Width) {
            column->Fixed.resize(total * static_cast<size_t>(column->Width));
        } else if (column->NestedStore) {
            column->Lines.resize(total);
        } else {
            column->Offsets.resize(total, 0);
        }
    }
    m_status.resize(total, UpdateStatus::Unmodified);
    m_removed.resize(total, false);
    m_parent.resize(total, parent);
    return first;
}

void RowStore::Reserve(uint32_t rows, size_t bytes) {
    const size_t total = static_cast<size_t>(RowCount()) + rows;
    for (auto& column : m_columns) {
        column->Nulls.reserve((total + 63) / 64);
        if (column->Width) {
            column->Fixed.reserve(total * static_cast<size_t>(column->Width));
        } else if (column->NestedStore) {
            column->Lines.reserve(total);
        } else {
            column->Offsets.reserve(total);
            column->Heap.reserve(column->Heap.size() + bytes);
        }
    }
    m_status.reserve(total);
    m_removed.reserve(total);
    m_parent.reserve(total);
}

void RowStore::ShrinkToFit() {
    for (auto& column : m_columns) {
        column->Nulls.shrink_to_fit();
        column->Fixed.shrink_to_fit();
        column->Offsets.shrink_to_fit();
        column->Heap.shrink_to_fit();
        column->Lines.shrink_to_fit();
    }
    m_status.shrink_to_fit();
    m_removed.shrink_to_fit();
    m_parent.shrink_to_fit();
}

bool RowStore::IsNull(uint32_t row, int col) const {
    const Column& column = Col(col);
    if (column.NestedStore) {
        return false;
    }
    return (column.Nulls[row / 64] >> (row % 64)) & 1;
}

void RowStore::SetNull(uint32_t row, int col) {
    Column& column = Col(col);
    if (!column.NestedStore) {
        column.Nulls[row / 64] |= 1ULL << (row % 64);
    }
}

std::string_view RowStore::GetBytes(uint32_t row, int col) const {
    const Column& column = Col(col);
    if (IsNull(row, col) || column.Width || column.NestedStore) {
        return {};
    }
    return ReadLengthPrefixed(column.Heap, column.Offsets[row]);
}

void RowStore::SetBytes(uint32_t row, int col, std::string_view bytes) {
    Column& column = Col(col);
    if (column.Heap.size() + bytes.size() + 10 > 0xFFFFFFFFu) {
        throw Exception("The text of column " + m_defs[static_cast<size_t>(col)].Name + " exceeds 4 GB");
    }
    column.Offsets[row] = static_cast<uint32_t>(column.Heap.size());
    AppendLength(column.Heap, bytes.size());
    column.Heap.insert(column.Heap.end(), bytes.begin(), bytes.end());
    column.Nulls[row / 64] &= ~(1ULL << (row % 64));
}

const uint8_t* RowStore::FixedSlot(uint32_t row, int col) const {
    const Column& column = Col(col);
    return column.Fixed.data() + static_cast<size_t>(row) * static_cast<size_t>(column.Width);
}

void RowStore::SetFixed(uint32_t row, int col, const void* bytes) {
    Column& column = Col(col);
    std::memcpy(column.Fixed.data() + static_cast<size_t>(row) * static_cast<size_t>(column.Width), bytes,
                static_cast<size_t>(column.Width));
    column.Nulls[row / 64] &= ~(1ULL << (row % 64));
}

Variant RowStore::Get(uint32_t row, int col) const {
    const Column& column = Col(col);
    if (column.NestedStore || IsNull(row, col)) {
        return column.NestedStore ? Variant() : Variant::Null();
    }
    const uint8_t* slot = column.Width ? FixedSlot(row, col) : nullptr;
    switch (column.Type) {
    case FieldType::Boolean:
        return Variant(slot[0] != 0);
    case FieldType::SmallInt:
        return Variant(static_cast<int>(LoadFixed<int16_t>(slot)));
    case FieldType::Word:
        return Variant(static_cast<int>(LoadFixed<uint16_t>(slot)));
    case FieldType::Integer:
    case FieldType::AutoInc:
        return Variant(static_cast<int>(LoadFixed<int32_t>(slot)));
    case FieldType::LargeInt:
        return Variant::FromInt64(LoadFixed<int64_t>(slot));
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
        return Variant(LoadFixed<double>(slot));
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return Variant::FromDate(LoadFixed<double>(slot));
    case FieldType::WideString: {
        const std::string_view bytes = GetBytes(row, col);
        std::u16string text(bytes.size() / 2, u'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
        return Variant(std::move(text));
    }
    default:
        return Variant(std::string(GetBytes(row, col)));
    }
}

void RowStore::Set(uint32_t row, int col, const Variant& value) {
    Column& column = Col(col);
    if (column.NestedStore) {
        return;
    }
    if (auto it = m_originals.find(row); it != m_originals.end()) {
        it->second.Written[static_cast<size_t>(col)] = true;
    }
    if (value.IsEmptyOrNull()) {
        SetNull(row, col);
        return;
    }
    switch (column.Type) {
    case FieldType::Boolean: {
        const uint8_t b = value.ToBool() ? 1 : 0;
        SetFixed(row, col, &b);
        return;
    }
    case FieldType::SmallInt: {
        const int32_t v = value.ToInt();
        if (v < INT16_MIN || v > INT16_MAX) {
            throw EConvertError(std::to_string(v) + " is out of range for a small integer");
        }
        const auto s = static_cast<int16_t>(v);
        SetFixed(row, col, &s);
        return;
    }
    case FieldType::Word: {
        const int32_t v = value.ToInt();
        if (v < 0 || v > UINT16_MAX) {
            throw EConvertError(std::to_string(v) + " is out of range for a word");
        }
        const auto w = static_cast<uint16_t>(v);
        SetFixed(row, col, &w);
        return;
    }
    case FieldType::Integer:
    case FieldType::AutoInc: {
        const int32_t v = value.ToInt();
        SetFixed(row, col, &v);
        return;
    }
    case FieldType::LargeInt: {
        const int64_t v = value.ToInt64();
        SetFixed(row, col, &v);
        return;
    }
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD: {
        const double v = value.ToDouble();
        SetFixed(row, col, &v);
        return;
    }
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        const double v = value.ToDate();
        SetFixed(row, col, &v);
        return;
    }
    case FieldType::WideString: {
        const std::u16string text = value.ToWideString();
        SetBytes(row, col, std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * 2));
        return;
    }
    default:
        SetBytes(row, col, value.ToString());
        return;
    }
}

RowStore* RowStore::Nested(int col) const { return Col(col).NestedStore.get(); }

std::vector<uint32_t>& RowStore::Lines(uint32_t row, int col) { return Col(col).Lines[row]; }

const std::vector<uint32_t>& RowStore::Lines(uint32_t row, int col) const { return Col(col).Lines[row]; }

void RowStore::SetStatus(uint32_t row, UpdateStatus status) { m_status[row] = status; }

void RowStore::MarkRemoved(uint32_t row) {
    m_removed[row] = true;
    m_originals.erase(row);
    m_changeSeq.erase(row);
    for (size_t col = 0; col < m_columns.size(); ++col) {
        Column& column = *m_columns[col];
        if (column.NestedStore) {
            for (uint32_t line : column.Lines[row]) {
                column.NestedStore->MarkRemoved(line);
            }
            column.Lines[row].clear();
        } else {
            SetNull(row, static_cast<int>(col));
        }
    }
}

std::vector<Variant> RowStore::OriginalValues(uint32_t row) const {
    auto it = m_originals.find(row);
    return it == m_originals.end() ? RowValues(row) : codec::ReadRowImage(it->second.Image, m_defs);
}

std::string_view RowStore::OriginalImage(uint32_t row) const {
    auto it = m_originals.find(row);
    return it == m_originals.end() ? std::string_view() : std::string_view(it->second.Image);
}

void RowStore::SetOriginalImage(uint32_t row, std::string image) {
    m_originals[row] = {std::move(image), std::vector<bool>(m_defs.size(), true)};
}

const RowStore::OriginalRow* RowStore::FindOriginal(uint32_t row) const {
    auto it = m_originals.find(row);
    return it == m_originals.end() ? nullptr : &it->second;
}

void RowStore::KeepOriginal(uint32_t row) {
    if (!m_originals.count(row)) {
        std::string image;
        codec::PutRowImage(image, *this, row);
        m_originals.emplace(row, OriginalRow{std::move(image), std::vector<bool>(m_defs.size(), false)});
    }
}

void RowStore::DropOriginal(uint32_t row) { m_originals.erase(row); }

uint64_t RowStore::ChangeSeq(uint32_t row) const {
    auto it = m_changeSeq.find(row);
    return it == m_changeSeq.end() ? 0 : it->second;
}

void RowStore::TouchChangeSeq(uint32_t row) {
    if (!m_changeSeq.count(row)) {
        m_changeSeq.emplace(row, m_nextSeq++);
    }
}

std::vector<Variant> RowStore::RowValues(uint32_t row) const {
    std::vector<Variant> values;
    values.reserve(m_columns.size());
    for (int col = 0; col < ColumnCount(); ++col) {
        values.push_back(Get(row, col));
    }
    return values;
}

void RowStore::SetRowValues(uint32_t row, const std::vector<Variant>& values) {
    for (int col = 0; col < ColumnCount() && static_cast<size_t>(col) < values.size(); ++col) {
        Set(row, col, values[static_cast<size_t>(col)]);
    }
}

size_t RowStore::ValueBytes() const {
    size_t bytes = 0;
    for (const auto& column : m_columns) {
        if (column->NestedStore) {
            bytes += column->NestedStore->ValueBytes();
        } else {
            bytes += column->Fixed.size() + column->Heap.size();
        }
    }
    return bytes;
}

size_t RowStore::AllocatedBytes() const {
    size_t bytes = m_status.capacity() + m_removed.capacity() / 8 + m_parent.capacity() * sizeof(uint32_t);
    for (const auto& column : m_columns) {
        bytes += sizeof(Column) + column->Nulls.capacity() * 8 + column->Fixed.capacity() +
                 column->Offsets.capacity() * 4 + column->Heap.capacity() +
                 column->Lines.capacity() * sizeof(std::vector<uint32_t>);
        for (const auto& lines : column->Lines) {
            bytes += lines.capacity() * sizeof(uint32_t);
        }
        if (column->NestedStore) {
            bytes += column->NestedStore->AllocatedBytes();
        }
    }
    return bytes;
}

} // namespace corvane::data
