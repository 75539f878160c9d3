#include "platform/dataset/DataPacket.h"

#include "platform/sys/SysUtils.h"

#include <cstring>

namespace corvane::data {
namespace {

constexpr char kMagic[4] = {'C', 'V', 'D', 'P'};
constexpr int kMaxDepth = 8;
constexpr uint64_t kMaxFields = 4096;
constexpr uint64_t kMaxNameLength = 1024;

// ---- writing ----

void PutVarint(std::string& out, uint64_t value) {
    do {
        uint8_t byte = value & 0x7F;
        value >>= 7;
        out.push_back(static_cast<char>(value ? byte | 0x80 : byte));
    } while (value);
}

void PutSigned(std::string& out, int64_t value) {
    PutVarint(out, (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63));
}

void PutText(std::string& out, std::string_view text) {
    PutVarint(out, text.size());
    out.append(text);
}

void PutHeader(std::string& out, PacketKind kind) {
    out.append(kMagic, 4);
    out.push_back(static_cast<char>(kPacketVersion));
    out.push_back(static_cast<char>(kind));
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

// A value of a field type, written in its packet form.
void PutValue(std::string& out, FieldType type, const Variant& value) {
    switch (type) {
    case FieldType::Boolean:
        out.push_back(value.ToBool() ? 1 : 0);
        return;
    case FieldType::SmallInt:
    case FieldType::Word:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::LargeInt:
        PutSigned(out, value.ToInt64());
        return;
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        const double d = IsDateTimeType(type) ? value.ToDate() : value.ToDouble();
        char bytes[8];
        std::memcpy(bytes, &d, 8);
        out.append(bytes, 8);
        return;
    }
    case FieldType::WideString: {
        const std::u16string text = value.ToWideString();
        PutText(out, std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * 2));
        return;
    }
    default:
        PutText(out, value.ToString());
        return;
    }
}

// The same from a store's raw slot, without building a variant.
void PutStoreValue(std::string& out, const RowStore& store, uint32_t row, int col, FieldType type) {
    const uint8_t* slot = FixedWidth(type) ? store.FixedSlot(row, col) : nullptr;
    switch (type) {
    case FieldType::Boolean:
        out.push_back(static_cast<char>(slot[0]));
        return;
    case FieldType::SmallInt: {
        int16_t v;
        std::memcpy(&v, slot, 2);
        PutSigned(out, v);
        return;
    }
    case FieldType::Word: {
        uint16_t v;
        std::memcpy(&v, slot, 2);
        PutSigned(out, v);
        return;
    }
    case FieldType::Integer:
    case FieldType::AutoInc: {
        int32_t v;
        std::memcpy(&v, slot, 4);
        PutSigned(out, v);
        return;
    }
    case FieldType::LargeInt: {
        int64_t v;
        std::memcpy(&v, slot, 8);
        PutSigned(out, v);
        return;
    }
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        out.append(reinterpret_cast<const char*>(slot), 8);
        return;
    default:
        PutText(out, store.GetBytes(row, col));
        return;
    }
}

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
                PutStoreValue(out, store, row, c, defs[col].Type);
            }
        }
    }
}

// ---- reading ----

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw EPacketError("Malformed data packet: " + what + " at byte " + std::to_string(m_pos));
    }
    size_t Pos() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }
    size_t Left() const { return m_bytes.size() - m_pos; }

    uint8_t Byte() {
        if (Left() < 1) {
            Fail("the packet ends early");
        }
        return static_cast<uint8_t>(m_bytes[m_pos++]);
    }
    std::string_view Take(uint64_t count) {
        if (Left() < count) {
            Fail("the packet ends early");
        }
        std::string_view part = m_bytes.substr(m_pos, static_cast<size_t>(count));
        m_pos += static_cast<size_t>(count);
        return part;
    }
    uint64_t Varint() {
        uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const uint8_t byte = Byte();
            value |= static_cast<uint64_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80)) {
                return value;
            }
        }
        Fail("a number is too long");
    }
    int64_t Signed() {
        const uint64_t raw = Varint();
        return static_cast<int64_t>((raw >> 1) ^ (~(raw & 1) + 1));
    }
    // A count of items that each take at least `minBytes` bytes.
    uint64_t Count(size_t minBytes, const char* what) {
        const uint64_t count = Varint();
        if (count > Left() / std::max<size_t>(1, minBytes)) {
            Fail(std::string("the ") + what + " count " + std::to_string(count) + " exceeds the packet");
        }
        return count;
    }
    std::string_view Text() { return Take(Varint()); }

    void Header(PacketKind kind) {
        if (Left() < 6 || std::memcmp(m_bytes.data(), kMagic, 4) != 0) {
            Fail("it does not start with the packet mark");
        }
        m_pos = 4;
        const uint8_t version = Byte();
        if (version != kPacketVersion) {
            Fail("version " + std::to_string(version) + " is not supported");
        }
        const uint8_t actual = Byte();
        if (actual != static_cast<uint8_t>(kind)) {
            Fail("kind " + std::to_string(actual) + " is not the expected " +
                 std::to_string(static_cast<int>(kind)));
        }
    }

    std::vector<FieldDef> Layout(int depth) {
        if (depth > kMaxDepth) {
            Fail("nested datasets go too deep");
        }
        const uint64_t count = Count(4, "field");
        if (count == 0 || count > kMaxFields) {
            Fail("the field count " + std::to_string(count) + " is out of range");
        }
        std::vector<FieldDef> defs(static_cast<size_t>(count));
        for (FieldDef& def : defs) {
            const uint64_t nameLength = Varint();
            if (nameLength == 0 || nameLength > kMaxNameLength) {
                Fail("a field name is empty or too long");
            }
            def.Name = std::string(Take(nameLength));
            const uint8_t type = Byte();
            if (!IsValidFieldType(type)) {
                Fail("field " + def.Name + " has the unknown type " + std::to_string(type));
            }
            def.Type = static_cast<FieldType>(type);
            const uint64_t size = Varint();
            if (size > 0x7FFFFFFF) {
                Fail("field " + def.Name + " has the size " + std::to_string(size));
            }
            def.Size = static_cast<int>(size);
            const uint8_t flags = Byte();
            def.Required = flags & 1;
            def.ReadOnly = flags & 2;
            if (def.Type == FieldType::DataSet) {
                def.Nested = Layout(depth + 1);
            }
        }
        return defs;
    }

    double Double() {
        double d;
        std::memcpy(&d, Take(8).data(), 8);
        return d;
    }

    Variant Value(FieldType type) {
        switch (type) {
        case FieldType::Boolean:
            return Variant(Byte() != 0);
        case FieldType::SmallInt:
        case FieldType::Word:
        case FieldType::Integer:
        case FieldType::AutoInc:
        case FieldType::LargeInt:
            return Variant(static_cast<long long>(Signed()));
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::BCD:
            return Variant(Double());
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
            return Variant::FromDate(Double());
        case FieldType::WideString: {
            const std::string_view bytes = Text();
            if (bytes.size() % 2) {
                Fail("a wide text has an odd number of bytes");
            }
            std::u16string text(bytes.size() / 2, u'\0');
            std::memcpy(text.data(), bytes.data(), bytes.size());
            return Variant(std::move(text));
        }
        default:
            return Variant(std::string(Text()));
        }
    }

    // Rows straight into a store; the raw slots are filled without variants.
    void RowsInto(RowStore& store, const std::vector<FieldDef>& defs, uint32_t parent, std::vector<uint32_t>& ids,
                  int depth) {
        const size_t bitmapBytes = (defs.size() + 7) / 8;
        const uint64_t count = Count(bitmapBytes, "row");
        if (depth == 0) {
            store.Reserve(static_cast<uint32_t>(count), 0);
        }
        ids.reserve(ids.size() + count);
        for (uint64_t i = 0; i < count; ++i) {
            const uint32_t row = store.NewRow(parent);
            ids.push_back(row);
            const std::string_view bitmap = Take(bitmapBytes);
            for (size_t col = 0; col < defs.size(); ++col) {
                const int c = static_cast<int>(col);
                const FieldType type = defs[col].Type;
                if (type == FieldType::DataSet) {
                    RowsInto(*store.Nested(c), defs[col].Nested, row, store.Lines(row, c), depth + 1);
                    continue;
                }
                if ((static_cast<uint8_t>(bitmap[col / 8]) >> (col % 8)) & 1) {
                    continue;
                }
                StoreValue(store, row, c, type);
            }
        }
    }

    void StoreValue(RowStore& store, uint32_t row, int col, FieldType type) {
        switch (type) {
        case FieldType::Boolean: {
            const uint8_t b = Byte() ? 1 : 0;
            store.SetFixed(row, col, &b);
            return;
        }
        case FieldType::SmallInt: {
            const auto v = static_cast<int16_t>(Signed());
            store.SetFixed(row, col, &v);
            return;
        }
        case FieldType::Word: {
            const auto v = static_cast<uint16_t>(Signed());
            store.SetFixed(row, col, &v);
            return;
        }
        case FieldType::Integer:
        case FieldType::AutoInc: {
            const auto v = static_cast<int32_t>(Signed());
            store.SetFixed(row, col, &v);
            return;
        }
        case FieldType::LargeInt: {
            const int64_t v = Signed();
            store.SetFixed(row, col, &v);
            return;
        }
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::BCD:
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
            store.SetFixed(row, col, Take(8).data());
            return;
        case FieldType::WideString: {
            const std::string_view bytes = Text();
            if (bytes.size() % 2) {
                Fail("a wide text has an odd number of bytes");
            }
            store.SetBytes(row, col, bytes);
            return;
        }
        default:
            store.SetBytes(row, col, Text());
            return;
        }
    }

    std::vector<std::vector<Variant>> RowsAsVariants(const std::vector<FieldDef>& defs) {
        const size_t bitmapBytes = (defs.size() + 7) / 8;
        const uint64_t count = Count(bitmapBytes, "row");
        std::vector<std::vector<Variant>> rows;
        rows.reserve(static_cast<size_t>(count));
        for (uint64_t i = 0; i < count; ++i) {
            const std::string_view bitmap = Take(bitmapBytes);
            std::vector<Variant> row;
            row.reserve(defs.size());
            for (size_t col = 0; col < defs.size(); ++col) {
                if (defs[col].Type == FieldType::DataSet) {
                    std::vector<Variant> lines;
                    for (auto& line : RowsAsVariants(defs[col].Nested)) {
                        lines.push_back(VarArrayOf(line));
                    }
                    row.push_back(VarArrayOf(lines));
                } else if ((static_cast<uint8_t>(bitmap[col / 8]) >> (col % 8)) & 1) {
                    row.push_back(Variant::Null());
                } else {
                    row.push_back(Value(defs[col].Type));
                }
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void End() {
        if (Left() != 0) {
            Fail(std::to_string(Left()) + " bytes follow the end of the packet");
        }
    }

private:
    std::string_view m_bytes;
    size_t m_pos = 0;
};

// ---- delta rows ----

void PutValues(std::string& out, const std::vector<FieldDef>& defs, const std::vector<Variant>& values,
               const std::vector<bool>* only) {
    const size_t bitmapBytes = (defs.size() + 7) / 8;
    const size_t bitmapAt = out.size();
    out.append(bitmapBytes, '\0');
    for (size_t col = 0; col < defs.size(); ++col) {
        const bool skipped = defs[col].Type == FieldType::DataSet || (only && !(*only)[col]);
        const Variant* value = col < values.size() ? &values[col] : nullptr;
        if (skipped || !value || value->IsEmptyOrNull()) {
            out[bitmapAt + col / 8] = static_cast<char>(out[bitmapAt + col / 8] | (1 << (col % 8)));
        } else {
            PutValue(out, defs[col].Type, *value);
        }
    }
}

std::vector<Variant> ReadValues(Reader& in, const std::vector<FieldDef>& defs) {
    const std::string_view bitmap = in.Take((defs.size() + 7) / 8);
    std::vector<Variant> values(defs.size(), Variant::Null());
    for (size_t col = 0; col < defs.size(); ++col) {
        if (defs[col].Type == FieldType::DataSet) {
            values[col] = Variant();
        } else if (!((static_cast<uint8_t>(bitmap[col / 8]) >> (col % 8)) & 1)) {
            values[col] = in.Value(defs[col].Type);
        }
    }
    return values;
}

void PutDeltaRows(std::string& out, const std::vector<FieldDef>& defs, const std::vector<DeltaRow>& rows) {
    PutVarint(out, rows.size());
    for (const DeltaRow& row : rows) {
        out.push_back(static_cast<char>(row.Status));
        PutVarint(out, row.RowId);
        if (row.Status != UpdateStatus::Inserted) {
            PutValues(out, defs, row.Original, nullptr);
        }
        if (row.Status == UpdateStatus::Inserted) {
            PutValues(out, defs, row.Current, nullptr);
        } else if (row.Status == UpdateStatus::Modified) {
            std::string bits((defs.size() + 7) / 8, '\0');
            for (size_t col = 0; col < defs.size() && col < row.Changed.size(); ++col) {
                if (row.Changed[col]) {
                    bits[col / 8] = static_cast<char>(bits[col / 8] | (1 << (col % 8)));
                }
            }
            out.append(bits);
            PutValues(out, defs, row.Current, &row.Changed);
        }
        size_t nested = 0;
        for (size_t col = 0; col < defs.size(); ++col) {
            if (defs[col].Type == FieldType::DataSet) {
                static const std::vector<DeltaRow> none;
                PutDeltaRows(out, defs[col].Nested, nested < row.Lines.size() ? row.Lines[nested] : none);
                ++nested;
            }
        }
    }
}

std::vector<DeltaRow> ReadDeltaRows(Reader& in, const std::vector<FieldDef>& defs, int depth) {
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
            row.Original = ReadValues(in, defs);
        }
        if (row.Status == UpdateStatus::Inserted) {
            row.Current = ReadValues(in, defs);
            row.Changed.assign(defs.size(), true);
        } else if (row.Status == UpdateStatus::Modified) {
            const std::string_view bits = in.Take((defs.size() + 7) / 8);
            row.Changed.resize(defs.size());
            for (size_t col = 0; col < defs.size(); ++col) {
                row.Changed[col] = (static_cast<uint8_t>(bits[col / 8]) >> (col % 8)) & 1;
            }
            std::vector<Variant> changed = ReadValues(in, defs);
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

} // namespace

// ---- PacketWriter ----

PacketWriter::PacketWriter(std::vector<FieldDef> defs) : m_defs(std::move(defs)) {}
PacketWriter::~PacketWriter() = default;

void PacketWriter::AddRow() {
    FlushRow();
    m_hasRow = true;
    m_row.assign(m_defs.size(), Variant::Null());
    m_lines.clear();
    m_lines.resize(m_defs.size());
}

void PacketWriter::Set(int col, const Variant& value) {
    if (!m_hasRow || col < 0 || static_cast<size_t>(col) >= m_defs.size()) {
        throw EPacketError("PacketWriter::Set needs a row and a column of the layout");
    }
    m_row[static_cast<size_t>(col)] = value;
}

PacketWriter& PacketWriter::Lines(int col) {
    if (!m_hasRow || col < 0 || static_cast<size_t>(col) >= m_defs.size() ||
        m_defs[static_cast<size_t>(col)].Type != FieldType::DataSet) {
        throw EPacketError("PacketWriter::Lines needs a row and a nested-dataset column");
    }
    auto& writer = m_lines[static_cast<size_t>(col)];
    if (!writer) {
        writer = std::make_unique<PacketWriter>(m_defs[static_cast<size_t>(col)].Nested);
    }
    return *writer;
}

void PacketWriter::FlushRow() {
    if (!m_hasRow) {
        return;
    }
    const size_t bitmapBytes = (m_defs.size() + 7) / 8;
    const size_t bitmapAt = m_body.size();
    m_body.append(bitmapBytes, '\0');
    for (size_t col = 0; col < m_defs.size(); ++col) {
        if (m_defs[col].Type == FieldType::DataSet) {
            if (m_lines[col]) {
                m_body += m_lines[col]->EncodeRows();
            } else {
                PutVarint(m_body, 0);
            }
        } else if (m_row[col].IsEmptyOrNull()) {
            m_body[bitmapAt + col / 8] = static_cast<char>(m_body[bitmapAt + col / 8] | (1 << (col % 8)));
        } else {
            PutValue(m_body, m_defs[col].Type, m_row[col]);
        }
    }
    ++m_rowCount;
    m_hasRow = false;
}

std::string PacketWriter::EncodeRows() {
    FlushRow();
    std::string out;
    PutVarint(out, m_rowCount);
    out += m_body;
    return out;
}

std::string PacketWriter::Finish() {
    std::string out;
    PutHeader(out, PacketKind::Data);
    PutLayout(out, m_defs);
    out += EncodeRows();
    return out;
}

std::string EncodeStoreRows(const RowStore& store, const std::vector<uint32_t>& rows) {
    std::string out;
    PutHeader(out, PacketKind::Data);
    PutLayout(out, store.Defs());
    PutStoreRows(out, store, rows);
    return out;
}

// ---- PacketReader ----

PacketReader::PacketReader(std::string_view packet) : m_bytes(packet) {
    Reader in(packet);
    in.Header(PacketKind::Data);
    m_defs = in.Layout(0);
    m_rowsAt = in.Pos();
}

std::vector<uint32_t> PacketReader::ReadInto(RowStore& store) {
    if (!SameLayout(store.Defs(), m_defs)) {
        throw EPacketError("The packet's fields do not match the dataset's fields");
    }
    Reader in(m_bytes);
    in.Seek(m_rowsAt);
    std::vector<uint32_t> ids;
    in.RowsInto(store, m_defs, kNoRow, ids, 0);
    in.End();
    return ids;
}

std::vector<std::vector<Variant>> PacketReader::ReadAsVariants() {
    Reader in(m_bytes);
    in.Seek(m_rowsAt);
    auto rows = in.RowsAsVariants(m_defs);
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

// ---- deltas and errors ----

std::string EncodeDelta(const Delta& delta) {
    std::string out;
    PutHeader(out, PacketKind::Delta);
    PutLayout(out, delta.Defs);
    PutDeltaRows(out, delta.Defs, delta.Rows);
    return out;
}

Delta DecodeDelta(std::string_view bytes) {
    Reader in(bytes);
    in.Header(PacketKind::Delta);
    Delta delta;
    delta.Defs = in.Layout(0);
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
    Reader in(bytes);
    in.Header(PacketKind::Errors);
    ApplyResult result;
    const uint8_t rolledBack = in.Byte();
    if (rolledBack > 1) {
        in.Fail("the roll-back flag is " + std::to_string(rolledBack));
    }
    result.RolledBack = rolledBack == 1;
    const uint64_t count = in.Count(6, "error");
    std::vector<ApplyError>& errors = result.Errors;
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
        errors.push_back(std::move(error));
    }
    in.End();
    return result;
}

} // namespace corvane::data
