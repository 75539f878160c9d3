// A provider over a table of the company database, optionally with the
// lines of a detail table nested in each master row.
//
// The client's custom data request [condition, order] selects the rows; the
// condition and order run as one read-only statement over the tables the
// provider allows (Database::Confined). Texts cross in the database code
// page (936 unless set otherwise) and are stored as UTF-8. A delta is applied
// in one transaction; each refused row is reported with its reason, an update
// or delete whose FLAG no longer equals the one the client read is refused,
// and when more rows are refused than the client allows, nothing is applied.
#pragma once

#include "appserver/Database.h"
#include "platform/dataset/Provider.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace corvane::server {

// A read-only column computed by an expression (a name looked up in another table, say).
struct ExtraColumn {
    data::FieldDef Def;
    std::string Expression;
};

struct DetailSpec {
    std::string Nested;   // the name of the nested-dataset field
    std::string Table;
    std::vector<std::string> Key;
    std::string LinkField;   // the detail field holding the master key
    std::string MasterField; // the master key field it holds
    std::vector<ExtraColumn> Extras;
};

struct ProviderSpec {
    std::string Table;
    std::vector<std::string> Key;
    std::optional<DetailSpec> Detail;
    // Tables a condition may read besides the provider's own.
    std::set<std::string> ReadableTables;
    std::string CodePage = "936";
    std::chrono::milliseconds QueryLimit{5000};
    // The program whose document numbers an insert takes when numbering is on.
    std::string Program;
    // The database name the client writes before ".." in its SQL.
    std::string DBName;
};

// A table's columns as field layouts, from their declared types.
std::vector<data::FieldDef> TableLayout(Database& db, const std::string& table);

class TableProvider : public data::Provider {
public:
    TableProvider(Database& db, ProviderSpec spec);

    Variant DataRequest(const Variant& data) override;
    std::string GetRecords(int count, bool reset) override;
    int RecordCount() override;
    data::ApplyResult Apply(const data::Delta& delta, int maxErrors) override;

    const std::vector<data::FieldDef>& Layout() const { return m_layout; }
    void SetTopRow(int rows) { m_topRow = rows; }
    void SetIsSeq(bool on) { m_isSeq = on; }
    const std::string& LastSeqNo() const { return m_seqNo; }
    const std::string& Condition() const { return m_condition; }

private:
    std::string SelectSql(bool count) const;
    std::set<std::string> AllowedTables() const;
    std::string ToDatabaseText(const Variant& value, const data::FieldDef& def) const;
    Variant FromDatabase(const Statement& row, int col, const data::FieldDef& def) const;
    void ApplyRow(const std::string& table, const std::vector<std::string>& key,
                  const std::vector<data::FieldDef>& defs, const data::DeltaRow& row, const std::string& path,
                  std::vector<data::ApplyError>& errors, const std::string* masterKey);
    std::string NextSeqNo(const data::FieldDef& keyDef);
    // Writes one column of a result row into a packet row.
    void WriteColumn(data::PacketWriter& writer, int col, const Statement& row, int resultCol,
                     const data::FieldDef& def) const;
    // A prepared statement kept for the life of the provider, reset for reuse.
    Statement& Cached(const std::string& sql);

    Database& m_db;
    ProviderSpec m_spec;
    std::vector<data::FieldDef> m_layout;
    std::vector<data::FieldDef> m_detailLayout;
    std::string m_condition;
    std::string m_order;
    int m_offset = 0;
    int m_topRow = 0;
    bool m_isSeq = false;
    std::string m_seqNo;
    std::map<std::string, std::unique_ptr<Statement>> m_statements;
};

} // namespace corvane::server
