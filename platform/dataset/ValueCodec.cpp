#include "platform/dataset/ValueCodec.h"

#include <cstring>

namespace corvane::data::codec {
namespace {

void SetBit(std::string& out, size_t bitmapAt, size_t col) {
    out[bitmapAt + col / 8] = static_cast<char>(out[bitmapAt + col / 8] | (1 << (col % 8)));
}

bool BitSet(std::string_view bitmap, size_t col) { return (static_cast<uint8_t>(bitmap[col / 8]) >> (col % 8)) & 1; }

} // namespace

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

void PutVariant(std::string& out, FieldType type, const Variant& value) {
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

void PutStoreValue(std::string& out, const RowStore& store, uint32_t row, int col) {
    const FieldType type = store.Defs()[static_cast<size_t>(col)].Type;
    const uint8_t* slot = FixedWidth(type) ? store.FixedSlot(row, col) : nullptr;
    switch (type) {
    case FieldType::Boolean:
        out.push_back(static_cast<char>(slot[0]));
        return;
    case FieldType::SmallInt:
        PutSigned(out, LoadFixed<int16_t>(slot));
        return;
    case FieldType::Word:
        PutSigned(out, LoadFixed<uint16_t>(slot));
        return;
    case FieldType::Integer:
    case FieldType::AutoInc:
        PutSigned(out, LoadFixed<int32_t>(slot));
        return;
    case FieldType::LargeInt:
        PutSigned(out, LoadFixed<int64_t>(slot));
        return;
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

void PutRowImage(std::string& out, const RowStore& store, uint32_t row) {
    const auto& defs = store.Defs();
    const size_t bitmapAt = out.size();
    out.append((defs.size() + 7) / 8, '\0');
    for (size_t col = 0; col < defs.size(); ++col) {
        const int c = static_cast<int>(col);
        if (defs[col].Type == FieldType::DataSet || store.IsNull(row, c)) {
            SetBit(out, bitmapAt, col);
        } else {
            PutStoreValue(out, store, row, c);
        }
    }
}

void PutValues(std::string& out, const std::vector<FieldDef>& defs, const std::vector<Variant>& values,
               const std::vector<bool>* only) {
    const size_t bitmapAt = out.size();
    out.append((defs.size() + 7) / 8, '\0');
    for (size_t col = 0; col < defs.size(); ++col) {
        const bool skipped = defs[col].Type == FieldType::DataSet || (only && !(*only)[col]);
        const Variant* value = col < values.size() ? &values[col] : nullptr;
        if (skipped || !value || value->IsEmptyOrNull()) {
            SetBit(out, bitmapAt, col);
        } else {
            PutVariant(out, defs[col].Type, *value);
        }
    }
}

std::vector<Variant> ReadRowImage(std::string_view image, const std::vector<FieldDef>& defs) {
    ByteReader in(image);
    return in.Values(defs);
}

// ---- ByteReader ----

void ByteReader::Fail(const std::string& what) const {
    throw EPacketError("Malformed data packet: " + what + " at byte " + std::to_string(m_pos));
}

uint8_t ByteReader::Byte() {
    if (Left() < 1) {
        Fail("the packet ends early");
    }
    return static_cast<uint8_t>(m_bytes[m_pos++]);
}

std::string_view ByteReader::Take(uint64_t count) {
    if (Left() < count) {
        Fail("the packet ends early");
    }
    std::string_view part = m_bytes.substr(m_pos, static_cast<size_t>(count));
    m_pos += static_cast<size_t>(count);
    return part;
}

uint64_t ByteReader::Varint() {
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

int64_t ByteReader::Signed() {
    const uint64_t raw = Varint();
    return static_cast<int64_t>((raw >> 1) ^ (~(raw & 1) + 1));
}

uint64_t ByteReader::Count(size_t minBytes, const char* what) {
    const uint64_t count = Varint();
    if (count > Left() / std::max<size_t>(1, minBytes)) {
        Fail(std::string("the ") + what + " count " + std::to_string(count) + " exceeds the packet");
    }
    return count;
}

double ByteReader::Double() {
    double d;
    std::memcpy(&d, Take(8).data(), 8);
    return d;
}

Variant ByteReader::Value(FieldType type) {
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

std::string_view ByteReader::SkipValue(FieldType type) {
    const size_t start = m_pos;
    switch (type) {
    case FieldType::Boolean:
        Byte();
        break;
    case FieldType::SmallInt:
    case FieldType::Word:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::LargeInt:
        Varint();
        break;
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        Take(8);
        break;
    default:
        Text();
        break;
    }
    return m_bytes.substr(start, m_pos - start);
}

void ByteReader::StoreValue(RowStore& store, uint32_t row, int col, FieldType type) {
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

std::vector<Variant> ByteReader::Values(const std::vector<FieldDef>& defs) {
    const std::string_view bitmap = Take((defs.size() + 7) / 8);
    std::vector<Variant> values(defs.size(), Variant::Null());
    for (size_t col = 0; col < defs.size(); ++col) {
        if (defs[col].Type == FieldType::DataSet) {
            values[col] = Variant();
        } else if (!BitSet(bitmap, col)) {
            values[col] = Value(defs[col].Type);
        }
    }
    return values;
}

void ByteReader::End() {
    if (Left() != 0) {
        Fail(std::to_string(Left()) + " bytes follow the end of the packet");
    }
}

} // namespace corvane::data::codec
