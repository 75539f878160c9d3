// The binary encoding of data packets, deltas and apply errors: the one form
// in which rows cross between a provider and a client dataset, in process or
// over a network.
//
// Every encoded form starts with the magic "CVDP", a version byte and a kind
// byte. A data packet then holds the field layout (nested layouts inside
// their field) and the rows, each row a null bitmap and its values, a nested
// field holding its lines. A delta holds the same layout and the changed rows
// with their status, the values as read and the changed values, and the
// changed lines below their master row. Decoding checks every length and
// count against the bytes it has and raises EPacketError, naming what is wrong
// and where, for a malformed or truncated input.
#pragma once

#include "platform/dataset/DataSetErrors.h"
#include "platform/dataset/RowStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::data {

constexpr uint8_t kPacketVersion = 1;

enum class PacketKind : uint8_t { Data = 1, Delta = 2, Errors = 3 };

// Builds a data packet row by row; used by providers.
class PacketWriter {
public:
    explicit PacketWriter(std::vector<FieldDef> defs);
    // A writer of nested lines: no header, its rows are taken by its parent.
    PacketWriter(std::vector<FieldDef> defs, bool nested);
    ~PacketWriter();
    PacketWriter(const PacketWriter&) = delete;
    PacketWriter& operator=(const PacketWriter&) = delete;

    const std::vector<FieldDef>& Defs() const { return m_defs; }
    // Starts a row whose values are null until set.
    void AddRow();
    void Set(int col, const Variant& value);
    // Typed setters that skip the variant: a text (bytes), a number.
    void SetText(int col, std::string_view bytes);
    void SetDouble(int col, double value);
    void SetInteger(int col, int64_t value);
    // The lines of the current row in a nested column.
    PacketWriter& Lines(int col);
    // Makes the rows written to `lines` (a writer of the nested layout) the
    // current row's lines; `lines` is left empty.
    void TakeLines(int col, PacketWriter& lines);
    uint32_t RowCount() const { return m_rowCount; }
    // The encoded packet; the writer is spent afterwards.
    std::string Finish();

private:
    void FlushRow();
    // Appends the row count and the rows, and empties the writer for reuse.
    void TakeRows(std::string& out);
    std::string& Slot(int col);

    std::vector<FieldDef> m_defs;
    std::string m_body;
    // Where the row count of a top-level writer's packet goes, once known.
    size_t m_countAt = std::string::npos;
    uint32_t m_rowCount = 0;
    bool m_hasRow = false;
    // The current row's values, already encoded; kept between rows so their room is reused.
    std::vector<std::string> m_values;
    std::vector<bool> m_isSet;
    std::vector<std::unique_ptr<PacketWriter>> m_lines;
};

// Encodes rows of a store (with their lines) as a data packet.
std::string EncodeStoreRows(const RowStore& store, const std::vector<uint32_t>& rows);

// Reads a data packet. The constructor checks the header and reads the layout.
class PacketReader {
public:
    explicit PacketReader(std::string_view packet);

    const std::vector<FieldDef>& Defs() const { return m_defs; }
    // Appends the packet's rows to a store of the same layout; answers the new
    // top-level row ids. On a malformed packet nothing is left in the store's
    // row lists the caller keeps (the answer is not given).
    std::vector<uint32_t> ReadInto(RowStore& store);
    // The rows as plain vectors of variants; lines as arrays of row arrays.
    std::vector<std::vector<Variant>> ReadAsVariants();

private:
    std::string_view m_bytes;
    size_t m_rowsAt = 0;
    std::vector<FieldDef> m_defs;
};

// Checks that two layouts describe the same fields (names without regard to case).
bool SameLayout(const std::vector<FieldDef>& a, const std::vector<FieldDef>& b);

// One changed row of a delta, with its changed lines.
struct DeltaRow {
    UpdateStatus Status = UpdateStatus::Unmodified; // Unmodified: a master row whose lines changed
    uint32_t RowId = 0;
    std::vector<Variant> Original; // values as read (empty for an inserted row)
    std::vector<Variant> Current;  // values now (empty for a deleted row)
    std::vector<bool> Changed;     // per column, for a modified row
    std::vector<std::vector<DeltaRow>> Lines; // per nested column
};

struct Delta {
    std::vector<FieldDef> Defs;
    std::vector<DeltaRow> Rows;
};

std::string EncodeDelta(const Delta& delta);
// The same encoding as EncodeDelta of the changed rows of a list, written
// straight from a store without building DeltaRows.
std::string EncodeStoreDelta(const RowStore& store, const std::vector<uint32_t>& rows);
Delta DecodeDelta(std::string_view bytes);

// A row the provider refused. Path names the nested fields from the top level
// down to the row's level ("" for master rows, "qryBody" for their lines).
struct ApplyError {
    std::string Path;
    uint32_t RowId = 0;
    int ErrorCode = 0;
    int PreviousError = 0;
    std::string Message;
    std::string Context;
};

// What a provider answers to a delta: the refused rows, and whether it rolled
// back everything (when more rows were refused than the caller allowed).
struct ApplyResult {
    bool RolledBack = false;
    std::vector<ApplyError> Errors;
};

std::string EncodeApplyResult(const ApplyResult& result);
ApplyResult DecodeApplyResult(std::string_view bytes);

} // namespace corvane::data
