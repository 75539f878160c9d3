#include "appserver/TableProvider.h"

#include "appserver/SqlDialect.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/SysUtils.h"

#include <map>

namespace corvane::server {
namespace {

using data::FieldDef;
using data::FieldType;

std::string Join(const std::vector<std::string>& names, const std::string& separator) {
    std::string text;
    for (const auto& name : names) {
        text += (text.empty() ? "" : separator) + name;
    }
    return text;
}

FieldDef FromDeclared(const std::string& name, std::string type, bool required) {
    type = UpperCase(Trim(type));
    FieldDef def{name, FieldType::String, 255, required, false, {}};
    const size_t open = type.find('(');
    if (type.starts_with("VARCHAR") || type.starts_with("CHAR") || type.starts_with("NVARCHAR")) {
        def.Size = open == std::string::npos ? 255 : std::atoi(type.c_str() + open + 1);
    } else if (type == "TEXT") {
        def.Type = FieldType::Memo;
        def.Size = 0;
    } else if (type.starts_with("FLOAT") || type.starts_with("REAL") || type.starts_with("DOUBLE") ||
               type.starts_with("NUMERIC") || type.starts_with("DECIMAL")) {
        def.Type = FieldType::Float;
        def.Size = 0;
    } else if (type.starts_with("INT")) {
        def.Type = FieldType::Integer;
        def.Size = 0;
    }
    return def;
}

int ColumnIndex(const std::vector<FieldDef>& defs, const std::string& name) {
    for (size_t i = 0; i < defs.size(); ++i) {
        if (SameText(defs[i].Name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

std::vector<FieldDef> TableLayout(Database& db, const std::string& table) {
    std::vector<FieldDef> defs;
    Statement info(db, "PRAGMA table_info(" + table + ")");
    while (info.Step()) {
        defs.push_back(FromDeclared(info.Text(1), info.Text(2), info.Int(3) != 0 || info.Int(5) != 0));
    }
    if (defs.empty()) {
        throw EDatabaseFailure("The company database has no table " + table);
    }
    return defs;
}

TableProvider::TableProvider(Database& db, ProviderSpec spec) : m_db(db), m_spec(std::move(spec)) {
    m_layout = TableLayout(db, m_spec.Table);
    if (m_spec.Detail) {
        m_detailLayout = TableLayout(db, m_spec.Detail->Table);
        for (const ExtraColumn& extra : m_spec.Detail->Extras) {
            FieldDef def = extra.Def;
            def.ReadOnly = true;
            m_detailLayout.push_back(def);
        }
        m_layout.push_back({m_spec.Detail->Nested, FieldType::DataSet, 0, false, false, m_detailLayout});
    }
}

std::set<std::string> TableProvider::AllowedTables() const {
    std::set<std::string> tables{UpperCase(m_spec.Table)};
    if (m_spec.Detail) {
        tables.insert(UpperCase(m_spec.Detail->Table));
    }
    for (const auto& table : m_spec.ReadableTables) {
        tables.insert(UpperCase(table));
    }
    return tables;
}

Variant TableProvider::DataRequest(const Variant& data) {
    const auto text = [](const Variant& value) {
        if (value.Type() == VarType::WideString) {
            return codepage::Utf16ToUtf8(value.ToWideString());
        }
        return VarToStr(value);
    };
    if (data.IsArray() && data.Length() >= 1) {
        m_condition = Trim(text(data.At(data.LowBound())));
        m_order = data.Length() >= 2 ? Trim(text(data.At(data.LowBound() + 1))) : std::string();
    } else {
        m_condition = Trim(text(data));
        m_order.clear();
    }
    m_offset = 0;
    return Variant();
}

std::string TableProvider::SelectSql(bool count) const {
    std::vector<std::string> columns;
    for (const FieldDef& def : m_layout) {
        if (def.Type != FieldType::DataSet) {
            columns.push_back(m_spec.Table + "." + def.Name);
        }
    }
    std::string sql = "SELECT " + (count ? std::string("COUNT(*)") : Join(columns, ",")) + " FROM " + m_spec.Table;
    if (!m_condition.empty()) {
        sql += " WHERE (" + RewriteDialect(m_condition, m_spec.DBName) + "\n)";
    }
    if (!count) {
        sql += " ORDER BY " + (m_order.empty() ? Join(m_spec.Key, ",") : RewriteDialect(m_order, m_spec.DBName));
    }
    return sql;
}

std::string TableProvider::ToDatabaseText(const Variant& value, const FieldDef& def) const {
    const std::string bytes = VarToStr(value);
    if (def.Size > 0 && def.Type != FieldType::Memo && static_cast<int>(bytes.size()) > def.Size) {
        throw Exception("Field " + def.Name + " takes at most " + std::to_string(def.Size) + " bytes; the value has " +
                        std::to_string(bytes.size()));
    }
    const std::string utf8 = codepage::ToUtf8(bytes, m_spec.CodePage);
    if (codepage::FromUtf8(utf8, m_spec.CodePage) != bytes) {
        throw Exception("Field " + def.Name + " holds text that is not valid in code page " + m_spec.CodePage);
    }
    return utf8;
}

Variant TableProvider::FromDatabase(const Statement& row, int col, const FieldDef& def) const {
    if (row.IsNull(col)) {
        return Variant::Null();
    }
    switch (def.Type) {
    case FieldType::Float:
        return Variant(row.Double(col));
    case FieldType::Integer:
        return Variant(static_cast<long long>(row.Int(col)));
    default:
        return Variant(codepage::FromUtf8(row.Text(col), m_spec.CodePage));
    }
}

bool IsAsciiText(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

void TableProvider::WriteColumn(data::PacketWriter& writer, int col, const Statement& row, int resultCol,
                                const FieldDef& def) const {
    if (row.IsNull(resultCol)) {
        return;
    }
    switch (def.Type) {
    case FieldType::Float:
        writer.SetDouble(col, row.Double(resultCol));
        return;
    case FieldType::Integer:
        writer.SetInteger(col, row.Int(resultCol));
        return;
    default: {
        const std::string_view text = row.TextView(resultCol);
        if (IsAsciiText(text)) {
            writer.SetText(col, text);
        } else {
            writer.SetText(col, codepage::FromUtf8(text, m_spec.CodePage));
        }
        return;
    }
    }
}

std::string TableProvider::GetRecords(int count, bool reset) {
    if (reset) {
        m_offset = 0;
    }
    data::PacketWriter writer(m_layout);
    if (count == 0) {
        return writer.Finish();
    }
    int limit = count;
    if (m_topRow > 0 && (limit < 0 || limit > m_topRow - m_offset)) {
        limit = std::max(0, m_topRow - m_offset);
    }
    const std::string window = limit >= 0 ? " LIMIT " + std::to_string(limit) + " OFFSET " + std::to_string(m_offset) : "";
    const std::string masterSql = SelectSql(false) + window;

    // The lines of this packet's masters first, read in one query, so that the
    // masters can then be written straight from their query.
    std::map<std::string, std::unique_ptr<data::PacketWriter>> lines;
    const int nested = m_spec.Detail ? static_cast<int>(m_layout.size()) - 1 : -1;
    const int keyColumn = m_spec.Detail ? ColumnIndex(m_layout, m_spec.Detail->MasterField) : -1;
    if (m_spec.Detail) {
        const DetailSpec& detail = *m_spec.Detail;
        std::vector<std::string> columns;
        for (size_t i = 0; i < m_detailLayout.size() - detail.Extras.size(); ++i) {
            columns.push_back(detail.Table + "." + m_detailLayout[i].Name);
        }
        for (const ExtraColumn& extra : detail.Extras) {
            columns.push_back(extra.Expression);
        }
        std::string sql = "SELECT " + Join(columns, ",") + " FROM " + detail.Table;
        // Every master of the table: every line. Otherwise the lines of the masters this packet selects.
        if (!m_condition.empty() || !window.empty()) {
            std::string keys = "SELECT " + m_spec.Table + "." + detail.MasterField + " FROM " + m_spec.Table;
            if (!m_condition.empty()) {
                keys += " WHERE (" + RewriteDialect(m_condition, m_spec.DBName) + "\n)";
            }
            if (!window.empty()) {
                keys += " ORDER BY " + (m_order.empty() ? Join(m_spec.Key, ",") : RewriteDialect(m_order, m_spec.DBName)) +
                        window;
            }
            sql += " WHERE " + detail.LinkField + " IN (" + keys + ")";
        }
        sql += " ORDER BY " + Join(detail.Key, ",");
        const int link = ColumnIndex(m_detailLayout, detail.LinkField);
        Database::Confined lineQuery(m_db, sql, AllowedTables(), m_spec.QueryLimit);
        while (lineQuery.Step()) {
            const Statement& row = lineQuery.Query();
            auto& target = lines[std::string(row.TextView(link))];
            if (!target) {
                target = std::make_unique<data::PacketWriter>(m_detailLayout, true);
            }
            target->AddRow();
            for (size_t col = 0; col < m_detailLayout.size(); ++col) {
                WriteColumn(*target, static_cast<int>(col), row, static_cast<int>(col), m_detailLayout[col]);
            }
        }
    }

    Database::Confined query(m_db, masterSql, AllowedTables(), m_spec.QueryLimit);
    int rows = 0;
    while (query.Step()) {
        const Statement& row = query.Query();
        writer.AddRow();
        int resultCol = 0;
        for (size_t col = 0; col < m_layout.size(); ++col) {
            if (m_layout[col].Type != FieldType::DataSet) {
                WriteColumn(writer, static_cast<int>(col), row, resultCol++, m_layout[col]);
            }
        }
        if (nested >= 0) {
            auto found = lines.find(std::string(row.TextView(keyColumn)));
            if (found != lines.end()) {
                writer.TakeLines(nested, *found->second);
            }
        }
        ++rows;
    }
    m_offset += rows;
    return writer.Finish();
}

int TableProvider::RecordCount() {
    Database::Confined query(m_db, SelectSql(true), AllowedTables(), m_spec.QueryLimit);
    return query.Step() ? static_cast<int>(query.Query().Int(0)) : 0;
}

std::string TableProvider::NextSeqNo(const FieldDef& keyDef) {
    // The next number after both the counter and the highest number already used.
    Statement read(m_db, "SELECT LASTNO FROM SEQNO WHERE PROGRAM=?");
    read.Bind(1, m_spec.Program);
    const int64_t counted = read.Step() ? read.Int(0) : 0;
    Statement used(m_db, "SELECT MAX(CAST(" + keyDef.Name + " AS INTEGER)) FROM " + m_spec.Table);
    const int64_t highest = used.Step() && !used.IsNull(0) ? used.Int(0) : 0;
    const int64_t next = std::max(counted, highest) + 1;
    Statement write(m_db, "INSERT OR REPLACE INTO SEQNO (PROGRAM, LASTNO) VALUES (?, ?)");
    write.Bind(1, m_spec.Program);
    write.Bind(2, static_cast<long long>(next));
    write.Step();
    std::string number = std::to_string(next);
    if (keyDef.Size > 0 && static_cast<int>(number.size()) > keyDef.Size) {
        throw Exception("The numbers of " + keyDef.Name + " are used up: " + number + " does not fit its " +
                        std::to_string(keyDef.Size) + " characters");
    }
    if (static_cast<int>(number.size()) < keyDef.Size) {
        number.insert(0, static_cast<size_t>(keyDef.Size) - number.size(), '0');
    }
    return number;
}

void TableProvider::ApplyRow(const std::string& table, const std::vector<std::string>& key,
                             const std::vector<FieldDef>& defs, const data::DeltaRow& row, const std::string& path,
                             std::vector<data::ApplyError>& errors, const std::string* masterKey) {
    using data::UpdateStatus;
    // Stored columns only: the nested field and computed extras are not in the table.
    std::vector<size_t> stored;
    for (size_t col = 0; col < defs.size(); ++col) {
        if (defs[col].Type != FieldType::DataSet && !defs[col].ReadOnly) {
            stored.push_back(col);
        }
    }
    const auto bindValue = [&](Statement& statement, int index, const Variant& value, const FieldDef& def) {
        if (value.IsEmptyOrNull() || (def.Type != FieldType::String && def.Type != FieldType::Memo)) {
            statement.Bind(index, value);
        } else {
            statement.Bind(index, ToDatabaseText(value, def));
        }
    };
    const auto whereKey = [&](std::string& sql) {
        for (size_t i = 0; i < key.size(); ++i) {
            sql += (i ? " AND " : " WHERE ") + key[i] + " IS ?";
        }
        sql += " AND FLAG IS ?";
    };
    const auto bindKey = [&](Statement& statement, int first) {
        for (size_t i = 0; i < key.size(); ++i) {
            const int col = ColumnIndex(defs, key[i]);
            bindValue(statement, first + static_cast<int>(i), row.Original[static_cast<size_t>(col)], defs[static_cast<size_t>(col)]);
        }
        const int flag = ColumnIndex(defs, "FLAG");
        statement.Bind(first + static_cast<int>(key.size()), flag >= 0 ? row.Original[static_cast<size_t>(flag)] : Variant());
    };
    const auto refuseUnlessPresent = [&](const char* what) {
        // The row no longer matches what the client read: find out why.
        std::string sql = "SELECT FLAG FROM " + table;
        for (size_t i = 0; i < key.size(); ++i) {
            sql += (i ? " AND " : " WHERE ") + key[i] + " IS ?";
        }
        Statement& probe = Cached(sql);
        for (size_t i = 0; i < key.size(); ++i) {
            const int col = ColumnIndex(defs, key[i]);
            bindValue(probe, static_cast<int>(i) + 1, row.Original[static_cast<size_t>(col)], defs[static_cast<size_t>(col)]);
        }
        const bool present = probe.Step();
        probe.Reset();
        if (present) {
            throw Exception(std::string("The record was changed by another user since it was read; it was not ") + what);
        }
        throw Exception(std::string("The record was deleted by another user since it was read; it was not ") + what);
    };

    if (row.Status == UpdateStatus::Inserted) {
        std::vector<Variant> values = row.Current;
        if (masterKey) {
            const int link = ColumnIndex(defs, m_spec.Detail->LinkField);
            values[static_cast<size_t>(link)] = *masterKey;
        } else if (m_isSeq && !key.empty()) {
            const int last = ColumnIndex(defs, key.back());
            m_seqNo = NextSeqNo(defs[static_cast<size_t>(last)]);
            values[static_cast<size_t>(last)] = m_seqNo;
        }
        std::string names;
        std::string marks;
        for (size_t col : stored) {
            names += (names.empty() ? "" : ",") + defs[col].Name;
            marks += marks.empty() ? "?" : ",?";
        }
        Statement& insert = Cached("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
        int index = 1;
        for (size_t col : stored) {
            bindValue(insert, index++, values[col], defs[col]);
        }
        insert.Step();
        insert.Reset();
    } else if (row.Status == UpdateStatus::Modified) {
        std::string sets;
        std::vector<size_t> changed;
        for (size_t col : stored) {
            if (col < row.Changed.size() && row.Changed[col]) {
                sets += (sets.empty() ? "" : ",") + defs[col].Name + "=?";
                changed.push_back(col);
            }
        }
        if (changed.empty()) {
            return;
        }
        std::string sql = "UPDATE " + table + " SET " + sets;
        whereKey(sql);
        Statement& update = Cached(sql);
        int index = 1;
        for (size_t col : changed) {
            bindValue(update, index++, row.Current[col], defs[col]);
        }
        bindKey(update, index);
        update.Step();
        update.Reset();
        if (m_db.Changes() == 0) {
            refuseUnlessPresent("saved");
        }
    } else if (row.Status == UpdateStatus::Deleted) {
        std::string sql = "DELETE FROM " + table;
        whereKey(sql);
        Statement& remove = Cached(sql);
        bindKey(remove, 1);
        remove.Step();
        remove.Reset();
        if (m_db.Changes() == 0) {
            refuseUnlessPresent("deleted");
        }
    }
    (void)path;
    (void)errors;
}

Statement& TableProvider::Cached(const std::string& sql) {
    auto& slot = m_statements[sql];
    if (!slot) {
        slot = std::make_unique<Statement>(m_db, sql);
    } else {
        slot->Reset();
    }
    return *slot;
}

data::ApplyResult TableProvider::Apply(const data::Delta& delta, int maxErrors) {
    data::ApplyResult result;
    if (!data::SameLayout(delta.Defs, m_layout)) {
        throw Exception("The delta's fields do not match the provider's fields");
    }
    m_seqNo.clear();
    // Every row is one statement, and a statement that fails changes nothing,
    // so a refused row needs no savepoint: the rest of the delta goes on.
    m_db.Exec("BEGIN IMMEDIATE");
    try {
        for (const data::DeltaRow& row : delta.Rows) {
            std::string masterKey;
            try {
                ApplyRow(m_spec.Table, m_spec.Key, m_layout, row, "", result.Errors, nullptr);
            } catch (const std::exception& error) {
                result.Errors.push_back({"", row.RowId, 1, 0, error.what(), m_spec.Table});
                // Lines of a refused master are not applied either.
                if (m_spec.Detail && !row.Lines.empty()) {
                    for (const data::DeltaRow& line : row.Lines[0]) {
                        if (line.Status != data::UpdateStatus::Unmodified) {
                            result.Errors.push_back({m_spec.Detail->Nested, line.RowId, 2, 1,
                                                     "Not saved: its master record was refused", m_spec.Detail->Table});
                        }
                    }
                }
                continue;
            }
            if (m_spec.Detail && !row.Lines.empty()) {
                const int keyCol = ColumnIndex(m_layout, m_spec.Detail->MasterField);
                const std::vector<Variant>& values = row.Status == data::UpdateStatus::Deleted ? row.Original : row.Current;
                masterKey = VarToStr(values[static_cast<size_t>(keyCol)]);
                if (row.Status == data::UpdateStatus::Inserted && m_isSeq && !m_seqNo.empty() &&
                    SameText(m_spec.Key.back(), m_spec.Detail->MasterField)) {
                    masterKey = m_seqNo;
                }
                for (const data::DeltaRow& line : row.Lines[0]) {
                    try {
                        ApplyRow(m_spec.Detail->Table, m_spec.Detail->Key, m_detailLayout, line, m_spec.Detail->Nested,
                                 result.Errors, line.Status == data::UpdateStatus::Inserted ? &masterKey : nullptr);
                    } catch (const std::exception& error) {
                        result.Errors.push_back({m_spec.Detail->Nested, line.RowId, 1, 0, error.what(), m_spec.Detail->Table});
                    }
                }
            }
        }
        if (maxErrors >= 0 && static_cast<int>(result.Errors.size()) > maxErrors) {
            m_db.Exec("ROLLBACK");
            result.RolledBack = true;
            return result;
        }
        m_db.Exec("COMMIT");
    } catch (...) {
        m_db.Exec("ROLLBACK");
        throw;
    }
    return result;
}

} // namespace corvane::server
