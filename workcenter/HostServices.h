// The host work center's automation object and its three service objects,
// answering the members of the host contract over the company database:
// the message table, program starts, help, key checks (Com_Validator),
// lookup and picker windows (Com_F2Window) and counter functions with SQL
// (Com_Counter).
//
// Texts cross in the database code page (936): the database keeps UTF-8.
// Client SQL runs confined to the company database's own tables, as the
// application server confines conditions.
#pragma once

#include "appserver/Database.h"
#include "platform/variant/Dispatch.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvane::host {

// The company database and the session the services answer for.
struct Session {
    std::unique_ptr<server::Database> Db;
    std::string User;
    std::string Company;
    std::string DBName;
    std::string UICodePage = "936";
    std::string CodePage = "936";
    std::chrono::milliseconds QueryLimit{5000};
    // The client folder (help, plug-in folders come from the configuration).
    std::string ClientPath;
};

// A query answering one check or lookup: its SQL with one "?" per key, and how many keys it takes.
struct CatalogueEntry {
    std::string Sql;
    int Keys = 1;
    std::vector<std::string> Columns; // titles of the lookup window's columns
};

// Checks by table and check number, lookups by table and lookup number.
const std::map<std::string, CatalogueEntry>& CheckCatalogue();
const std::map<std::string, CatalogueEntry>& LookupCatalogue();

// Runs a client's SELECT confined to the company's tables; rows of the named
// columns (all when `fields` is empty), texts in the database code page.
Variant RunSimpleSql(Session& session, const std::string& sql, const std::string& fields);
// Runs statements in one transaction, each confined to the company's tables.
void RunTransactionSql(Session& session, const Variant& statements);

class Validator : public DispatchObject {
public:
    explicit Validator(std::shared_ptr<Session> session);
    std::string BaseLimited;

private:
    bool Check(Args& args);
    std::shared_ptr<Session> m_session;
};

// What the lookup windows and pickers show; the work center shows real
// windows, tests may put their own answers in.
struct Pickers {
    // Rows picked in a lookup window (array of row arrays), or Empty on cancel.
    std::function<Variant(const std::string& title, const std::vector<std::string>& columns,
                          const std::vector<std::vector<std::string>>& rows, bool multiple)>
        PickRows;
    std::function<std::string(const std::string& date)> PickDate;
    std::function<bool(std::vector<std::string>& phrases, std::string& picked)> PickPhrase;
    std::function<std::string(int kind)> PickCharacter;
};

class F2Window : public DispatchObject {
public:
    F2Window(std::shared_ptr<Session> session, std::shared_ptr<Pickers> pickers);

private:
    std::shared_ptr<Session> m_session;
    std::shared_ptr<Pickers> m_pickers;
};

class Counter : public DispatchObject {
public:
    explicit Counter(std::shared_ptr<Session> session);

private:
    Variant GetCounter(const std::string& function, const Variant& params);
    std::shared_ptr<Session> m_session;
};

// Starts another program; answers the host's result code (negative on failure).
using ProgramStarter = std::function<int(const std::string& code, const Variant& params, const Variant& options)>;

class HostObject : public DispatchObject {
public:
    HostObject(std::shared_ptr<Session> session, std::shared_ptr<Pickers> pickers);

    int Version = 8000;
    ProgramStarter StartProgram;
    // Shows a text to the user (print requests, links); the work center shows a dialog.
    std::function<void(const std::string& utf8)> Inform;

    std::string MessageText(const std::string& type, const std::string& code) const;

private:
    std::shared_ptr<Session> m_session;
    std::shared_ptr<Validator> m_validator;
    std::shared_ptr<F2Window> m_f2Window;
    std::shared_ptr<Counter> m_counter;
};

// Evaluates a calculator expression (+ - * / parentheses, decimals); false when it is not one.
bool EvaluateExpression(const std::string& text, double& value);

} // namespace corvane::host
