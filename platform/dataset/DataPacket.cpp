#include "platform/dataset/DataPacket.h"

#include "platform/dataset/ChangeLog.h"
#include "platform/dataset/ValueCodec.h"
#include "platform/sys/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace corvane::data {

using codec::ByteReader;
using codec::PutSigned;
using codec::PutText;
using codec::PutVarint;

namespace {

constexpr char kMagic[4] = {'C', 'V', 'D', 'P'};
constexpr int kMaxDepth = 8;
constexpr uint64_t kMaxFields = 4096;
constexpr uint64_t kMaxNameLength = 1024;

bool BitSet(std::string_view bitmap, size_t col) { return (static_cast<uint8_t>(bitmap[col / 8]) >> (col % 8)) & 1; }

void PutHeader(std::string& out, PacketKind kind) {
    out.append(kMagic, 4);
    out.push_back(static_cast<char>(kPacketVersion));
    out.push_back(static_cast<char>(kind));
}

void ReadHeader(ByteReader& in, PacketKind kind) {
    const std::string_view mark = in.Left() >= 6 ? in.Take(4) : std::string_view();
    if (mark.size() != 4 || std::memcmp(mark.data(), kMagic, 4) != 0) {
        in.Fail("it does not start with the packet mark");
    }
    const uint8_t version = in.Byte();
    if (version != kPacketVersion) {
        in.Fail("version " + std::to_string(version) + " is not supported");
    }
    const uint8_t actual = in.Byte();
    if (actual != static_cast<uint8_t>(kind)) {
        in.Fail("kind " + std::to_string(actual) + " is not the expected " + std::to_string(static_cast<int>(kind)));
    }
}

void PutLayout(std::string& out, const std::vector<FieldDef>& defs) {
    PutVarint(out, defs.size());
    for (const FieldDef& def : defs) {
        PutText(out, def.Name);
        out.push_back(static_cast<char>(def.Type));
        PutVarint(out, static_cast<uint64_t>(std::max(0, def.Size)));
        out.push_back(static_cast<char>((def.Required ? 1 : 0) | (def.ReadOnly ? 2 : 0)));
        if (def.Type == FieldType::DataSet) {
            PutLayout(out, def.Nested);
        }
    }
}

std::vector<FieldDef> ReadLayout(ByteReader& in, int depth) {
    if (depth > kMaxDepth) {
        in.Fail("nested datasets go too deep");
    }
    const uint64_t count = in.Count(4, "field");
    if (count == 0 || count > kMaxFields) {
        in.Fail("the field count " + std::to_string(count) + " is out of range");
    }
    std::vector<FieldDef> defs(static_cast<size_t>(count));
    for (FieldDef& def : defs) {
        const uint64_t nameLength = in.Varint();
        if (nameLength == 0 || nameLength > kMaxNameLength) {
            in.Fail("a field name is empty or too long");
        }
        def.Name = std::string(in.Take(nameLength));
        const uint8_t type = in.Byte();
        if (!IsValidFieldType(type)) {
            in.Fail("field " + def.Name + " has the unknown type " + std::to_string(type));
        }
        def.Type = static_cast<FieldType>(type);
        const uint64_t size = in.Varint();
        if (size > 0x7FFFFFFF) {
            in.Fail("field " + def.Name + " has the size " + std::to_string(size));
        }
        def.Size = static_cast<int>(size);
        const uint8_t flags = in.Byte();
        def.Required = flags & 1;
        def.ReadOnly = flags & 2;
        if (def.Type == FieldType::DataSet) {
            def.Nested = ReadLayout(in, depth + 1);
        }
    }
    return defs;
}

// ---- data rows ----

void PutStoreRows(std::string& out, const RowStore& store, const std::vector<uint32_t>& rows) {
    const auto& defs = store.Defs();
    const size_t bitmapBytes = (defs.size() + 7) / 8;
    PutVarint(out, rows.size());
    for (uint32_t row : rows) {
        const size_t bitmapAt = out.size();
        out.append(bitmapBytes, '\0');
        for (size_t col = 0; col < defs.size(); ++col) {
            const int c = static_cast<int>(col);
            if (defs[col].Type == FieldType::DataSet) {
                std::vector<uint32_t> live;
                const RowStore& nested = *store.Nested(c);
                for (uint32_t line : store.Lines(row, c)) {
                    if (!nested.IsRemoved(line) && nested.Status(line) != UpdateStatus::Deleted) {
                        live.push_back(line);
                    }
                }
                PutStoreRows(out, nested, live);
            } else if (store.IsNull(row, c)) {
                out[bitmapAt + col / 8] = static_cast<char>(out[bitmapAt + col / 8] | (1 << (col % 8)));
            } else {
                codec::PutStoreValue(out, store, row, c);
            }
        }
    }
}

void ReadRowsInto(ByteReader& in, RowStore& store, const std::vector<FieldDef>& defs, uint32_t parent,
                  std::vector<uint32_t>& ids, int depth) {
    const size_t bitmapBytes = (defs.size() + 7) / 8;
    const uint64_t count = in.Count(bitmapBytes, "row");
    if (depth == 0) {
        store.Reserve(static_cast<uint32_t>(count), 0);
    }
    ids.reserve(ids.size() + count);
    // The rows are made at once; a packet that turns out malformed leaves them
    // behind unlisted, where nothing reaches them.
    const uint32_t first = count ? store.NewRows(static_cast<uint32_t>(count), parent) : 0;
    for (uint64_t i = 0; i < count; ++i) {
        const uint32_t row = first + static_cast<uint32_t>(i);
        ids.push_back(row);
        const std::string_view bitmap = in.Take(bitmapBytes);
        for (size_t col = 0; col < defs.size(); ++col) {
            const int c = static_cast<int>(col);
            if (defs[col].Type == FieldType::DataSet) {
                ReadRowsInto(in, *store.Nested(c), defs[col].Nested, row, store.Lines(row, c), depth + 1);
            } else if (!BitSet(bitmap, col)) {
                in.StoreValue(store, row, c, defs[col].Type);
            }
        }
    }
}

std::vector<std::vector<Variant>> ReadRowsAsVariants(ByteReader& in, const std::vector<FieldDef>& defs) {
    const size_t bitmapBytes = (defs.size() + 7) / 8;
    const uint64_t count = in.Count(bitmapBytes, "row");
    std::vector<std::vector<Variant>> rows;
    rows.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        const std::string_view bitmap = in.Take(bitmapBytes);
        std::vector<Variant> row;
        row.reserve(defs.size());
        for (size_t col = 0; col < defs.size(); ++col) {
            if (defs[col].Type == FieldType::DataSet) {
                std::vector<Variant> lines;
                for (auto& line : ReadRowsAsVariants(in, defs[col].Nested)) {
                    lines.push_back(VarArrayOf(line));
                }
                row.push_back(VarArrayOf(lines));
            } else if (BitSet(bitmap, col)) {
                row.push_back(Variant::Null());
            } else {
                row.push_back(in.Value(defs[col].Type));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---- delta rows ----

void PutDeltaRows(std::string& out, const std::vector<FieldDef>& defs, const std::vector<DeltaRow>& rows) {
    PutVarint(out, rows.size());
    for (const DeltaRow& row : rows) {
        out.push_back(static_cast<char>(row.Status));
        PutVarint(out, row.RowId);
        if (row.Status != UpdateStatus::Inserted) {
            codec::PutValues(out, defs, row.Original);
        }
        if (row.Status == UpdateStatus::Inserted) {
            codec::PutValues(out, defs, row.Current);
        } else if (row.Status == UpdateStatus::Modified) {
            std::string bits((defs.size() + 7) / 8, '\0');
            for (size_t col = 0; col < defs.size() && col < row.Changed.size(); ++col) {
                if (row.Changed[col]) {
                    bits[col / 8] = static_cast<char>(bits[col / 8] | (1 << (col % 8)));
                }
            }
            out.append(bits);
            codec::PutValues(out, defs, row.Current, &row.Changed);
        }
        size_t nested = 0;
        for (const FieldDef& def : defs) {
            if (def.Type == FieldType::DataSet) {
                static const std::vector<DeltaRow> none;
                PutDeltaRows(out, def.Nested, nested < row.Lines.size() ? row.Lines[nested] : none);
                ++nested;
            }
        }
    }
}

std::vector<DeltaRow> ReadDeltaRows(ByteReader& in, const std::vector<FieldDef>& defs, int depth) {
    if (depth > kMaxDepth) {
        in.Fail("nested deltas go too deep");
    }
    const uint64_t count = in.Count(2, "delta row");
    std::vector<DeltaRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        DeltaRow row;
        const uint8_t status = in.Byte();
        if (status > static_cast<uint8_t>(UpdateStatus::Deleted)) {
            in.Fail("unknown row status " + std::to_string(status));
        }
        row.Status = static_cast<UpdateStatus>(status);
        const uint64_t id = in.Varint();
        if (id >= kNoRow) {
            in.Fail("row id out of range");
        }
        row.RowId = static_cast<uint32_t>(id);
        if (row.Status != UpdateStatus::Inserted) {
            row.Original = in.Values(defs);
        }
        if (row.Status == UpdateStatus::Inserted) {
            row.Current = in.Values(defs);
            row.Changed.assign(defs.size(), true);
        } else if (row.Status == UpdateStatus::Modified) {
            const std::string_view bits = in.Take((defs.size() + 7) / 8);
            row.Changed.resize(defs.size());
            for (size_t col = 0; col < defs.size(); ++col) {
                row.Changed[col] = BitSet(bits, col);
            }
            std::vector<Variant> changed = in.Values(defs);
            row.Current = row.Original;
            for (size_t col = 0; col < defs.size(); ++col) {
                if (row.Changed[col]) {
                    row.Current[col] = changed[col];
                }
            }
        } else if (row.Status == UpdateStatus::Unmodified) {
            row.Current = row.Original;
        }
        for (const FieldDef& def : defs) {
            if (def.Type == FieldType::DataSet) {
                row.Lines.push_back(ReadDeltaRows(in, def.Nested, depth + 1));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// The changed rows of a list in the order they were first changed.
std::vector<uint32_t> ChangedRows(const RowStore& store, const std::vector<uint32_t>& rows);

// Writes the delta rows of a list straight from a store.
void PutStoreDeltaRows(std::string& out, const RowStore& store, const std::vector<uint32_t>& rows) {
    const auto& defs = store.Defs();
    const size_t bitmapBytes = (defs.size() + 7) / 8;
    const std::vector<uint32_t> changed = ChangedRows(store, rows);
    PutVarint(out, changed.size());
    std::string current;
    for (uint32_t row : changed) {
        const UpdateStatus status = store.Status(row);
        out.push_back(static_cast<char>(status));
        PutVarint(out, row);
        const RowStore::OriginalRow* kept = status == UpdateStatus::Inserted ? nullptr : store.FindOriginal(row);
        if (!kept) {
            codec::PutRowImage(out, store, row);
        } else {
            out.append(kept->Image);
        }
        if (status == UpdateStatus::Modified && !kept) {
            // Nothing was kept, so nothing differs from the values as read.
            out.append(bitmapBytes, '\0');
            out.append(bitmapBytes, '\xff');
        } else if (status == UpdateStatus::Modified) {
            // Which columns differ from the values as read: compare the encodings.
            ByteReader original(kept->Image);
            const std::string_view nulls = original.Take(bitmapBytes);
            std::string bits(bitmapBytes, '\0');
            std::string values;
            std::string valueNulls(bitmapBytes, '\0');
            for (size_t col = 0; col < defs.size(); ++col) {
                const int c = static_cast<int>(col);
                if (defs[col].Type == FieldType::DataSet) {
                    valueNulls[col / 8] = static_cast<char>(valueNulls[col / 8] | (1 << (col % 8)));
                    continue;
                }
                const bool wasNull = BitSet(nulls, col);
                const std::string_view was = wasNull ? std::string_view() : original.SkipValue(defs[col].Type);
                if (!kept->Written[col]) {
                    valueNulls[col / 8] = static_cast<char>(valueNulls[col / 8] | (1 << (col % 8)));
                    continue;
                }
                const bool isNull = store.IsNull(row, c);
                current.clear();
                if (!isNull) {
                    codec::PutStoreValue(current, store, row, c);
                }
                const bool differs = wasNull != isNull || (!isNull && current != was);
                if (differs) {
                    bits[col / 8] = static_cast<char>(bits[col / 8] | (1 << (col % 8)));
                }
                if (differs && !isNull) {
                    values += current;
                } else {
                    valueNulls[col / 8] = static_cast<char>(valueNulls[col / 8] | (1 << (col % 8)));
                }
            }
            out += bits;
            out += valueNulls;
            out += values;
        }
        for (int col = 0; col < store.ColumnCount(); ++col) {
            if (defs[static_cast<size_t>(col)].Type == FieldType::DataSet) {
                PutStoreDeltaRows(out, *store.Nested(col), store.Lines(row, col));
            }
        }
    }
}

bool RowOrLinesChanged(const RowStore& store, uint32_t row) {
    if (store.Status(row) != UpdateStatus::Unmodified) {
        return true;
    }
    for (int col = 0; col < store.ColumnCount(); ++col) {
        if (store.Defs()[static_cast<size_t>(col)].Type == FieldType::DataSet) {
            const RowStore& lines = *store.Nested(col);
            for (uint32_t line : store.Lines(row, col)) {
                if (!lines.IsRemoved(line) && RowOrLinesChanged(lines, line)) {
                    return true;
                }
            }
        }
    }
    return false;
}

std::vector<uint32_t> ChangedRows(const RowStore& store, const std::vector<uint32_t>& rows) {
    std::vector<std::pair<uint64_t, uint32_t>> changed;
    for (uint32_t row : rows) {
        if (!store.IsRemoved(row) && RowOrLinesChanged(store, row)) {
            const uint64_t seq = store.ChangeSeq(row);
            changed.emplace_back(seq ? seq : UINT64_MAX, row);
        }
    }
    std::stable_sort(changed.begin(), changed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<uint32_t> ordered;
    ordered.reserve(changed.size());
    for (const auto& entry : changed) {
        ordered.push_back(entry.second);
    }
    return ordered;
}

} // namespace

// ---- PacketWriter ----

PacketWriter::PacketWriter(std::vector<FieldDef> defs) : PacketWriter(std::move(defs), false) {}

PacketWriter::PacketWriter(std::vector<FieldDef> defs, bool nested)
    : m_defs(std::move(defs)), m_values(m_defs.size()), m_isSet(m_defs.size(), false), m_lines(m_defs.size()) {
    if (!nested) {
        // The packet is written in place: header and layout first, then room for
        // the row count (a varint padded to five bytes), then the rows.
        PutHeader(m_body, PacketKind::Data);
        PutLayout(m_body, m_defs);
        m_countAt = m_body.size();
        m_body.append(5, '\0');
    }
}
PacketWriter::~PacketWriter() = default;

void PacketWriter::AddRow() {
    FlushRow();
    m_hasRow = true;
}

std::string& PacketWriter::Slot(int col) {
    if (!m_hasRow || col < 0 || static_cast<size_t>(col) >= m_defs.size() ||
        m_defs[static_cast<size_t>(col)].Type == FieldType::DataSet) {
        throw EPacketError("PacketWriter needs a row and a value column of the layout");
    }
    std::string& slot = m_values[static_cast<size_t>(col)];
    slot.clear();
    m_isSet[static_cast<size_t>(col)] = true;
    return slot;
}

void PacketWriter::Set(int col, const Variant& value) {
    std::string& slot = Slot(col);
    if (value.IsEmptyOrNull()) {
        m_isSet[static_cast<size_t>(col)] = false;
        return;
    }
    codec::PutVariant(slot, m_defs[static_cast<size_t>(col)].Type, value);
}

void PacketWriter::SetText(int col, std::string_view bytes) {
    const FieldType type = m_defs[static_cast<size_t>(col)].Type;
    if (!IsVariableType(type) || type == FieldType::WideString) {
        Set(col, Variant(std::string(bytes)));
        return;
    }
    codec::PutText(Slot(col), bytes);
}

void PacketWriter::SetDouble(int col, double value) {
    const FieldType type = m_defs[static_cast<size_t>(col)].Type;
    if (type != FieldType::Float && type != FieldType::Currency && type != FieldType::BCD &&
        !IsDateTimeType(type)) {
        Set(col, Variant(value));
        return;
    }
    std::string& slot = Slot(col);
    char bytes[8];
    std::memcpy(bytes, &value, 8);
    slot.append(bytes, 8);
}

void PacketWriter::SetInteger(int col, int64_t value) {
    if (!IsIntegerType(m_defs[static_cast<size_t>(col)].Type)) {
        Set(col, Variant::FromInt64(value));
        return;
    }
    codec::PutSigned(Slot(col), value);
}

PacketWriter& PacketWriter::Lines(int col) {
    if (!m_hasRow || col < 0 || static_cast<size_t>(col) >= m_defs.size() ||
        m_defs[static_cast<size_t>(col)].Type != FieldType::DataSet) {
        throw EPacketError("PacketWriter::Lines needs a row and a nested-dataset column");
    }
    auto& writer = m_lines[static_cast<size_t>(col)];
    if (!writer) {
        writer = std::make_unique<PacketWriter>(m_defs[static_cast<size_t>(col)].Nested, true);
    }
    return *writer;
}

void PacketWriter::TakeLines(int col, PacketWriter& lines) {
    PacketWriter& target = Lines(col);
    lines.FlushRow();
    target.FlushRow();
    target.m_body.swap(lines.m_body);
    std::swap(target.m_rowCount, lines.m_rowCount);
    lines.m_body.clear();
    lines.m_rowCount = 0;
}

void PacketWriter::FlushRow() {
    if (!m_hasRow) {
        return;
    }
    const size_t bitmapAt = m_body.size();
    m_body.append((m_defs.size() + 7) / 8, '\0');
    for (size_t col = 0; col < m_defs.size(); ++col) {
        if (m_defs[col].Type == FieldType::DataSet) {
            if (m_lines[col]) {
                m_lines[col]->TakeRows(m_body);
            } else {
                PutVarint(m_body, 0);
            }
        } else if (!m_isSet[col]) {
            m_body[bitmapAt + col / 8] = static_cast<char>(m_body[bitmapAt + col / 8] | (1 << (col % 8)));
        } else {
            m_body += m_values[col];
            m_isSet[col] = false;
        }
    }
    ++m_rowCount;
    m_hasRow = false;
}

void PacketWriter::TakeRows(std::string& out) {
    FlushRow();
    PutVarint(out, m_rowCount);
    out += m_body;
    m_body.clear();
    m_rowCount = 0;
}

std::string PacketWriter::Finish() {
    FlushRow();
    if (m_countAt == std::string::npos) {
        std::string out;
        PutHeader(out, PacketKind::Data);
        PutLayout(out, m_defs);
        PutVarint(out, m_rowCount);
        return out + m_body;
    }
    uint32_t count = m_rowCount;
    for (size_t i = 0; i < 5; ++i) {
        const uint8_t low = count & 0x7F;
        count >>= 7;
        m_body[m_countAt + i] = static_cast<char>(i < 4 ? low | 0x80 : low);
    }
    return std::move(m_body);
}

// A first guess of an encoding's size, so that it grows without copying.
size_t EstimatedBytes(const RowStore& store, size_t rows) {
    const size_t perRow = store.RowCount() ? store.ValueBytes() / store.RowCount() : 16;
    return 64 + rows * (perRow + (store.Defs().size() + 7) / 8 + 4);
}

std::string EncodeStoreRows(const RowStore& store, const std::vector<uint32_t>& rows) {
    std::string out;
    out.reserve(EstimatedBytes(store, rows.size()));
    PutHeader(out, PacketKind::Data);
    PutLayout(out, store.Defs());
    PutStoreRows(out, store, rows);
    return out;
}

// ---- PacketReader ----

PacketReader::PacketReader(std::string_view packet) : m_bytes(packet) {
    ByteReader in(packet);
    ReadHeader(in, PacketKind::Data);
    m_defs = ReadLayout(in, 0);
    m_rowsAt = in.Pos();
}

std::vector<uint32_t> PacketReader::ReadInto(RowStore& store) {
    if (!SameLayout(store.Defs(), m_defs)) {
        throw EPacketError("The packet's fields do not match the dataset's fields");
    }
    ByteReader in(m_bytes);
    in.Seek(m_rowsAt);
    std::vector<uint32_t> ids;
    ReadRowsInto(in, store, m_defs, kNoRow, ids, 0);
    in.End();
    return ids;
}

std::vector<std::vector<Variant>> PacketReader::ReadAsVariants() {
    ByteReader in(m_bytes);
    in.Seek(m_rowsAt);
    auto rows = ReadRowsAsVariants(in, m_defs);
    in.End();
    return rows;
}

bool SameLayout(const std::vector<FieldDef>& a, const std::vector<FieldDef>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (!SameText(a[i].Name, b[i].Name) || a[i].Type != b[i].Type ||
            (a[i].Type == FieldType::DataSet && !SameLayout(a[i].Nested, b[i].Nested))) {
            return false;
        }
    }
    return true;
}

// ---- deltas and results ----

std::string EncodeDelta(const Delta& delta) {
    std::string out;
    PutHeader(out, PacketKind::Delta);
    PutLayout(out, delta.Defs);
    PutDeltaRows(out, delta.Defs, delta.Rows);
    return out;
}

std::string EncodeStoreDelta(const RowStore& store, const std::vector<uint32_t>& rows) {
    std::string out;
    out.reserve(EstimatedBytes(store, static_cast<size_t>(changelog::CountChanges(store))) * 2);
    PutHeader(out, PacketKind::Delta);
    PutLayout(out, store.Defs());
    PutStoreDeltaRows(out, store, rows);
    return out;
}

Delta DecodeDelta(std::string_view bytes) {
    ByteReader in(bytes);
    ReadHeader(in, PacketKind::Delta);
    Delta delta;
    delta.Defs = ReadLayout(in, 0);
    delta.Rows = ReadDeltaRows(in, delta.Defs, 0);
    in.End();
    return delta;
}

std::string EncodeApplyResult(const ApplyResult& result) {
    std::string out;
    PutHeader(out, PacketKind::Errors);
    out.push_back(result.RolledBack ? 1 : 0);
    PutVarint(out, result.Errors.size());
    for (const ApplyError& error : result.Errors) {
        PutText(out, error.Path);
        PutVarint(out, error.RowId);
        PutSigned(out, error.ErrorCode);
        PutSigned(out, error.PreviousError);
        PutText(out, error.Message);
        PutText(out, error.Context);
    }
    return out;
}

ApplyResult DecodeApplyResult(std::string_view bytes) {
    ByteReader in(bytes);
    ReadHeader(in, PacketKind::Errors);
    ApplyResult result;
    const uint8_t rolledBack = in.Byte();
    if (rolledBack > 1) {
        in.Fail("the roll-back flag is " + std::to_string(rolledBack));
    }
    result.RolledBack = rolledBack == 1;
    const uint64_t count = in.Count(6, "error");
    for (uint64_t i = 0; i < count; ++i) {
        ApplyError error;
        error.Path = std::string(in.Text());
        const uint64_t id = in.Varint();
        if (id >= kNoRow) {
            in.Fail("row id out of range");
        }
        error.RowId = static_cast<uint32_t>(id);
        error.ErrorCode = static_cast<int>(in.Signed());
        error.PreviousError = static_cast<int>(in.Signed());
        error.Message = std::string(in.Text());
        error.Context = std::string(in.Text());
        result.Errors.push_back(std::move(error));
    }
    in.End();
    return result;
}

} // namespace corvane::data
