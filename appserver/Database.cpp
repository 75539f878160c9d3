#include "appserver/Database.h"

#include "platform/sys/SysUtils.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace corvane::server {
namespace {

// Functions a client's condition may call.
const std::set<std::string> kAllowedFunctions = {
    "ABS", "COALESCE", "IFNULL", "INSTR", "LENGTH", "LOWER", "LTRIM", "MAX", "MIN", "NULLIF", "REPLACE", "ROUND",
    "RTRIM", "SUBSTR", "SUBSTRING", "TRIM", "UPPER", "RPAD", "LPAD", "COUNT", "SUM", "AVG", "LIKE", "GLOB", "CAST",
    "TOTAL", "IIF", "PRINTF", "FORMAT", "DATE", "STRFTIME"};

void PadFunction(sqlite3_context* context, int argc, sqlite3_value** argv, bool right) {
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    std::string text(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const int64_t width = std::clamp<int64_t>(sqlite3_value_int64(argv[1]), 0, 100000);
    std::string fill = argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL
                           ? std::string(reinterpret_cast<const char*>(sqlite3_value_text(argv[2])))
                           : std::string(" ");
    if (fill.empty()) {
        fill = " ";
    }
    if (static_cast<int64_t>(text.size()) >= width) {
        text.resize(static_cast<size_t>(width));
    } else {
        std::string pad;
        while (static_cast<int64_t>(text.size() + pad.size()) < width) {
            pad += fill;
        }
        pad.resize(static_cast<size_t>(width) - text.size());
        text = right ? text + pad : pad + text;
    }
    sqlite3_result_text(context, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Rpad(sqlite3_context* context, int argc, sqlite3_value** argv) { PadFunction(context, argc, argv, true); }
void Lpad(sqlite3_context* context, int argc, sqlite3_value** argv) { PadFunction(context, argc, argv, false); }

// SUBSTRING(text, start, length) as the other dialects have it.
void Substring(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const std::string text(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    int64_t start = std::max<int64_t>(1, sqlite3_value_int64(argv[1]));
    int64_t length = argc > 2 ? sqlite3_value_int64(argv[2]) : static_cast<int64_t>(text.size());
    if (start > static_cast<int64_t>(text.size()) || length <= 0) {
        sqlite3_result_text(context, "", 0, SQLITE_STATIC);
        return;
    }
    const std::string part = text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length));
    sqlite3_result_text(context, part.c_str(), static_cast<int>(part.size()), SQLITE_TRANSIENT);
}

} // namespace

Database::Database(const std::string& path) : m_path(path) {
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string reason = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EDatabaseFailure("Cannot open the company database " + path + ": " + reason);
    }
    sqlite3_busy_timeout(m_db, 10000);
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=NORMAL");
    Exec("PRAGMA foreign_keys=ON");
    Exec("PRAGMA temp_store=MEMORY");
    sqlite3_create_function(m_db, "RPAD", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &Rpad, nullptr, nullptr);
    sqlite3_create_function(m_db, "LPAD", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &Lpad, nullptr, nullptr);
    sqlite3_create_function(m_db, "SUBSTRING", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &Substring, nullptr,
                            nullptr);
    sqlite3_set_authorizer(m_db, &Database::Authorize, this);
}

Database::~Database() { sqlite3_close_v2(m_db); }

void Database::Fail(const std::string& what) const {
    throw EDatabaseFailure(what + ": " + sqlite3_errmsg(m_db));
}

void Database::Exec(std::string_view sql) {
    char* error = nullptr;
    if (sqlite3_exec(m_db, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string reason = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw EDatabaseFailure("SQL failed: " + reason);
    }
}

int64_t Database::Changes() const { return sqlite3_changes64(m_db); }

std::set<std::string> Database::TableNames() {
    std::set<std::string> names;
    Statement tables(*this, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'");
    while (tables.Step()) {
        names.insert(UpperCase(tables.Text(0)));
    }
    return names;
}

int Database::Authorize(void* self, int action, const char* a, const char* b, const char*, const char*) {
    auto* db = static_cast<Database*>(self);
    if (!db->m_confining) {
        return SQLITE_OK;
    }
    switch (action) {
    case SQLITE_SELECT:
        return SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        return db->m_allowWrites && a && db->m_allowedTables->count(UpperCase(a)) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_READ:
        return a && db->m_allowedTables->count(UpperCase(a)) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_FUNCTION:
        // The function's name comes as the second argument.
        return b && kAllowedFunctions.count(UpperCase(b)) ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}

int Database::Progress(void* self) {
    auto* db = static_cast<Database*>(self);
    return std::chrono::steady_clock::now() > db->m_deadline ? 1 : 0;
}

Database::Confined::Confined(Database& db, std::string_view sql, std::set<std::string> tables,
                             std::chrono::milliseconds limit, bool allowWrites)
    : m_db(db), m_deadline(std::chrono::steady_clock::now() + limit) {
    static thread_local std::set<std::string> allowed;
    allowed = std::move(tables);
    db.m_allowedTables = &allowed;
    db.m_confining = true;
    db.m_allowWrites = allowWrites;
    try {
        const std::string text(sql);
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db.m_db, text.c_str(), static_cast<int>(text.size()), &raw, &tail) != SQLITE_OK) {
            const std::string reason = sqlite3_errmsg(db.m_db);
            db.m_confining = false;
            throw EConfinementError("The SQL text is refused: " + reason);
        }
        sqlite3_finalize(raw);
        if (tail && Trim(tail) != "" && Trim(tail) != ";") {
            db.m_confining = false;
            throw EConfinementError("The SQL text is refused: only one statement may run");
        }
        m_statement = std::make_unique<Statement>(db, text);
        if (!allowWrites && !m_statement->IsReadOnly()) {
            throw EConfinementError("The SQL text is refused: it would change data");
        }
    } catch (...) {
        db.m_confining = false;
        db.m_allowWrites = false;
        throw;
    }
    db.m_confining = false;
    db.m_allowWrites = false;
    db.m_deadline = m_deadline;
    sqlite3_progress_handler(db.m_db, 1000, &Database::Progress, &db);
}

Database::Confined::~Confined() {
    m_statement.reset();
    sqlite3_progress_handler(m_db.m_db, 0, nullptr, nullptr);
}

bool Database::Confined::Step() {
    try {
        return m_statement->Step();
    } catch (const EDatabaseFailure& error) {
        if (sqlite3_errcode(m_db.m_db) == SQLITE_INTERRUPT) {
            throw EConfinementError("The query ran past its time limit and was stopped");
        }
        throw;
    }
}

Statement::Statement(Database& db, std::string_view sql) : m_db(db) {
    if (sqlite3_prepare_v2(db.m_db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr) != SQLITE_OK) {
        db.Fail("Cannot prepare \"" + std::string(sql.substr(0, 200)) + "\"");
    }
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

void Statement::Bind(int index, const Variant& value) {
    int rc = SQLITE_OK;
    switch (value.Type()) {
    case VarType::Empty:
    case VarType::Null:
        rc = sqlite3_bind_null(m_stmt, index);
        break;
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Int64:
        rc = sqlite3_bind_int64(m_stmt, index, value.ToInt64());
        break;
    case VarType::Double:
    case VarType::Date:
        rc = sqlite3_bind_double(m_stmt, index, value.ToDouble());
        break;
    default: {
        const std::string text = value.ToString();
        rc = sqlite3_bind_text(m_stmt, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    if (rc != SQLITE_OK) {
        m_db.Fail("Cannot bind parameter " + std::to_string(index));
    }
}

bool Statement::Step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    m_db.Fail("Statement failed");
}

void Statement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::ColumnCount() const { return sqlite3_column_count(m_stmt); }

std::string Statement::ColumnName(int col) const {
    const char* name = sqlite3_column_name(m_stmt, col);
    return name ? name : "";
}

bool Statement::IsNull(int col) const { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }

Variant Statement::Column(int col) const {
    switch (sqlite3_column_type(m_stmt, col)) {
    case SQLITE_NULL:
        return Variant::Null();
    case SQLITE_INTEGER:
        return Variant(static_cast<long long>(sqlite3_column_int64(m_stmt, col)));
    case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(m_stmt, col));
    default:
        return Variant(Text(col));
    }
}

std::string Statement::Text(int col) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_stmt, col))) : std::string();
}

std::string_view Statement::TextView(int col) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(m_stmt, col))) : std::string_view();
}

int64_t Statement::Int(int col) const { return sqlite3_column_int64(m_stmt, col); }

double Statement::Double(int col) const { return sqlite3_column_double(m_stmt, col); }

bool Statement::IsReadOnly() const { return sqlite3_stmt_readonly(m_stmt) != 0; }

} // namespace corvane::server
