// The application server object: created by the programmatic name
// "VOVIR01U.Class1", it logs a program in (Connect), answers the server
// information (SvrData) and the late-bound members of the module, and serves
// the providers pvdMain (the program's master rows with their lines, from
// the program catalogue), pvdConSave (saved query schemes) and pvdColor
// (colour rows; none until colour conditions exist).
//
// The lookup server "Z2IzevuzO.Class1" serves pvdF2Win over the lookup tables.
#pragma once

#include "appserver/Database.h"
#include "appserver/TableProvider.h"
#include "platform/dataset/Provider.h"
#include "platform/variant/Dispatch.h"

#include <functional>
#include <memory>
#include <string>

namespace corvane::server {

// Where a company database lives, by its name (DBName); empty when unknown.
using DatabaseResolver = std::function<std::string(const std::string& dbName)>;

// The databases of one folder: <folder>/<DBName>.db. A name that could reach
// outside the folder, or an empty folder, resolves to nothing.
DatabaseResolver FolderDatabases(const std::string& folder);

// The databases under $CORVANE_DB_FOLDER.
std::string DefaultDatabasePath(const std::string& dbName);

// Refusal codes of Connect.
enum ConnectResult : int {
    kConnectOk = 0,
    kUnknownUser = 1,
    kUnknownCompany = 2,
    kNoDatabase = 3,
    kUnknownProgram = 4,
};

class AppServer : public DispatchObject, public data::IProviderConnection {
public:
    explicit AppServer(DatabaseResolver resolver = &DefaultDatabasePath);
    ~AppServer() override;

    int Connect(const Variant& login);
    std::string SvrData() const;
    Variant WhatIs(const std::string& name) const;

    Variant DataRequest(std::string_view provider, const Variant& data) override;
    std::string GetRecords(std::string_view provider, int count, bool reset) override;
    int GetRecordCount(std::string_view provider) override;
    std::string ApplyUpdates(std::string_view provider, std::string_view delta, int maxErrors) override;

    // The company database of the connection (for the host's services and tests).
    Database* CompanyDatabase() const { return m_db.get(); }

private:
    void RequireConnection() const;
    TableProvider& Main();

    DatabaseResolver m_resolver;
    std::unique_ptr<Database> m_db;
    data::ProviderHost m_providers;
    std::shared_ptr<TableProvider> m_main;
    std::string m_program;
    std::string m_user;
    std::string m_company;
    std::string m_dbName;
    std::string m_userGroup;
    int m_maxRecord = 40;
    std::string m_catalogueText;
};

// Registers the server classes in the object registry: the server under its
// in-process and its socket name, and the lookup server.
void RegisterServerClasses(DatabaseResolver resolver = &DefaultDatabasePath);

// Creates the schema and demo data in a database file; running it again changes nothing.
void InitDemoDatabase(const std::string& path);

} // namespace corvane::server
