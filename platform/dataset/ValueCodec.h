// The encoding of single values and rows shared by data packets, deltas and
// the original values a store keeps: varints, zigzag integers, texts behind
// their length, doubles as 8 bytes, and a row as a null bitmap followed by
// its non-null values (nested columns count as null). The reader checks
// every length against the bytes it has and raises EPacketError.
#pragma once

#include "platform/dataset/DataSetErrors.h"
#include "platform/dataset/RowStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane::data::codec {

void PutVarint(std::string& out, uint64_t value);
void PutSigned(std::string& out, int64_t value);
void PutText(std::string& out, std::string_view text);
void PutVariant(std::string& out, FieldType type, const Variant& value);
void PutStoreValue(std::string& out, const RowStore& store, uint32_t row, int col);
// A row's null bitmap and values, from the store.
void PutRowImage(std::string& out, const RowStore& store, uint32_t row);
// The same from variants; with `only`, columns it leaves false count as null.
void PutValues(std::string& out, const std::vector<FieldDef>& defs, const std::vector<Variant>& values,
               const std::vector<bool>* only = nullptr);
std::vector<Variant> ReadRowImage(std::string_view image, const std::vector<FieldDef>& defs);

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}

    [[noreturn]] void Fail(const std::string& what) const;
    size_t Pos() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }
    size_t Left() const { return m_bytes.size() - m_pos; }

    uint8_t Byte();
    std::string_view Take(uint64_t count);
    uint64_t Varint();
    int64_t Signed();
    // A count of items that each take at least `minBytes` bytes.
    uint64_t Count(size_t minBytes, const char* what);
    std::string_view Text() { return Take(Varint()); }
    double Double();
    Variant Value(FieldType type);
    // The bytes of one encoded value, without decoding it.
    std::string_view SkipValue(FieldType type);
    void StoreValue(RowStore& store, uint32_t row, int col, FieldType type);
    std::vector<Variant> Values(const std::vector<FieldDef>& defs);
    void End();

private:
    std::string_view m_bytes;
    size_t m_pos = 0;
};

} // namespace corvane::data::codec
