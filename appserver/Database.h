// An SQLite database of a company: the connection (WAL mode), statements
// with variant parameters and columns, transactions and savepoints, the SQL
// functions of the suite's dialect, and confinement of SQL text that comes
// from clients.
//
// Confinement runs a client's statement as one read-only SELECT over the
// tables it allows, with a whitelist of functions and a time limit; anything
// else is refused with EConfinementError and nothing changes.
#pragma once

#include "platform/sys/Exceptions.h"
#include "platform/variant/Variant.h"

#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace corvane::server {

class EDatabaseFailure : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EDatabaseFailure"; }
};

// A client's SQL that is not allowed, or that ran past its time limit.
class EConfinementError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EConfinementError"; }
};

class Database;

class Statement {
public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters from 1; texts bind as UTF-8 text.
    void Bind(int index, const Variant& value);
    // True while a row is there.
    bool Step();
    void Reset();
    int ColumnCount() const;
    std::string ColumnName(int col) const;
    bool IsNull(int col) const;
    Variant Column(int col) const;
    std::string Text(int col) const;
    // The text of a column without copying it; valid until the next step.
    std::string_view TextView(int col) const;
    int64_t Int(int col) const;
    double Double(int col) const;
    bool IsReadOnly() const;
    sqlite3_stmt* Handle() const { return m_stmt; }

private:
    Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

class Database {
public:
    // Opens (or creates) the file; WAL mode, foreign keys on, the dialect's functions registered.
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void Exec(std::string_view sql);
    // The names (upper case) of the company's own tables.
    std::set<std::string> TableNames();
    int64_t Changes() const;
    sqlite3* Handle() const { return m_db; }
    const std::string& Path() const { return m_path; }
    [[noreturn]] void Fail(const std::string& what) const;

    // Runs `work` in a transaction: committed when it returns, rolled back when it throws.
    template <typename Work>
    void InTransaction(Work&& work) {
        Exec("BEGIN IMMEDIATE");
        try {
            work();
        } catch (...) {
            Exec("ROLLBACK");
            throw;
        }
        Exec("COMMIT");
    }

    // Prepares a client's statement under confinement: one SELECT reading only
    // `tables` (or, with allowWrites, one INSERT, UPDATE or DELETE of them),
    // with the whitelisted functions. The limit holds while the statement
    // runs; Confined() must stay alive until then.
    class Confined {
    public:
        Confined(Database& db, std::string_view sql, std::set<std::string> tables, std::chrono::milliseconds limit,
                 bool allowWrites = false);
        ~Confined();
        Confined(const Confined&) = delete;
        Confined& operator=(const Confined&) = delete;
        Statement& Query() { return *m_statement; }
        // Step with the time limit applied; throws EConfinementError when it is passed.
        bool Step();

    private:
        Database& m_db;
        std::unique_ptr<Statement> m_statement;
        std::chrono::steady_clock::time_point m_deadline;
    };

private:
    friend class Confined;
    friend class Statement;

    sqlite3* m_db = nullptr;
    std::string m_path;
    // Confinement state, read by the authorizer and the progress handler.
    const std::set<std::string>* m_allowedTables = nullptr;
    bool m_confining = false;
    bool m_allowWrites = false;
    std::chrono::steady_clock::time_point m_deadline;
    static int Authorize(void* self, int action, const char* a, const char* b, const char* c, const char* d);
    static int Progress(void* self);
};

} // namespace corvane::server
