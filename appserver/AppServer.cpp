#include "appserver/AppServer.h"

#include "appserver/SqlDialect.h"
#include "module/boundary/AppServerContract.h"
#include "platform/sys/DateTime.h"
#include "platform/sys/SysUtils.h"

#include <map>

namespace corvane::server {

namespace contract = corvane::contract::appserver;

extern const char* const kSchemaSql;
extern const char* const kDemoSql;

namespace {

std::vector<std::string> SplitComma(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string part = Trim(text.substr(start, end - start));
        if (!part.empty()) {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

// Extras: "NAME=TYPE=(expression);..." as the catalogue writes them.
std::vector<ExtraColumn> ParseExtras(const std::string& text) {
    std::vector<ExtraColumn> extras;
    size_t start = 0;
    while (start < text.size()) {
        // Split at ";" outside parentheses.
        int depth = 0;
        size_t end = std::string::npos;
        for (size_t i = start; i < text.size(); ++i) {
            if (text[i] == '(') {
                ++depth;
            } else if (text[i] == ')') {
                --depth;
            } else if (text[i] == ';' && depth == 0) {
                end = i;
                break;
            }
        }
        const std::string item = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t eq1 = item.find('=');
        const size_t eq2 = eq1 == std::string::npos ? std::string::npos : item.find('=', eq1 + 1);
        if (eq2 != std::string::npos) {
            ExtraColumn extra;
            extra.Def.Name = Trim(item.substr(0, eq1));
            const std::string type = UpperCase(Trim(item.substr(eq1 + 1, eq2 - eq1 - 1)));
            const size_t open = type.find('(');
            extra.Def.Type = data::FieldType::String;
            extra.Def.Size = open == std::string::npos ? 255 : std::atoi(type.c_str() + open + 1);
            extra.Expression = Trim(item.substr(eq2 + 1));
            extras.push_back(extra);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return extras;
}

std::string LookupName(Database& db, const std::string& sql, const std::string& key) {
    Statement statement(db, sql);
    statement.Bind(1, key);
    return statement.Step() ? statement.Text(0) : std::string();
}

} // namespace

DatabaseResolver FolderDatabases(const std::string& folder) {
    if (folder.empty()) {
        return [](const std::string&) { return std::string(); };
    }
    return [folder = IncludeTrailingPathDelimiter(folder)](const std::string& dbName) {
        if (dbName.empty() || dbName.find_first_of("/\\.") != std::string::npos) {
            return std::string();
        }
        return folder + dbName + ".db";
    };
}

std::string DefaultDatabasePath(const std::string& dbName) {
    const char* folder = std::getenv("CORVANE_DB_FOLDER");
    return FolderDatabases(folder ? folder : "")(dbName);
}

AppServer::AppServer(DatabaseResolver resolver) : DispatchObject(std::string(contract::ServerClass)), m_resolver(std::move(resolver)) {
    DefineMethod(contract::Connect, [this](Args& args) { return Variant(Connect(ArgAt(args, 0))); });
    DefineMethod(contract::SvrData, [this](Args&) { return Variant(SvrData()); });
    DefineMethod(contract::WhatIs, [this](Args& args) { return WhatIs(VarToStr(ArgAt(args, 0))); });
    DefineMethod(contract::SetTopRow, [this](Args& args) {
        Main().SetTopRow(ArgAt(args, 0).ToInt());
        return Variant();
    });
    DefineMethod(contract::SetIsSeq, [this](Args& args) {
        Main().SetIsSeq(ArgAt(args, 0).ToBool());
        return Variant();
    });
    DefineMethod(contract::GetRecCount, [this](Args&) { return Variant(Main().RecordCount()); });
    DefineMethod(contract::GetBaseLimitedRecs, [](Args&) {
        // No basic-data limits are kept: every record may be used.
        return Variant();
    });
    DefineMethod(contract::GetFormat, [this](Args& args) {
        RequireConnection();
        Statement read(*m_db, "SELECT CONTENT FROM USERDEFINE WHERE COMPANY=? AND USER_ID='' AND PROGRAM=? AND KIND='FORMAT'");
        read.Bind(1, VarToStr(ArgAt(args, 0)));
        read.Bind(2, VarToStr(ArgAt(args, 1)));
        return Variant(read.Step() ? read.Text(0) : std::string());
    });
    DefineMethod(contract::LoadTable, [this](Args& args) {
        RequireConnection();
        Statement read(*m_db, "SELECT NCONDITION, CONTEXT FROM CONSAVE WHERE PROGRAMME=? AND CREATOR=? ORDER BY NCONDITION");
        read.Bind(1, m_program);
        read.Bind(2, VarToStr(ArgAt(args, 0)).empty() ? m_user : VarToStr(ArgAt(args, 0)));
        std::vector<Variant> rows;
        while (read.Step()) {
            rows.push_back(VarArrayOf({read.Text(0), read.Text(1)}));
        }
        return VarArrayOf(rows);
    });
    DefineMethod(contract::InsertConTable, [this](Args& args) {
        RequireConnection();
        const Variant& scheme = ArgAt(args, 0);
        Statement write(*m_db, "INSERT OR REPLACE INTO CONSAVE (NCONDITION, CREATOR, PROGRAMME, CONTEXT) VALUES (?,?,?,?)");
        write.Bind(1, VarToStr(scheme.At(0)));
        write.Bind(2, m_user);
        write.Bind(3, m_program);
        write.Bind(4, scheme.Length() > 1 ? VarToStr(scheme.At(1)) : std::string());
        write.Step();
        return Variant(true);
    });
    DefineMethod(contract::DeleteConTable, [this](Args& args) {
        RequireConnection();
        Statement remove(*m_db, "DELETE FROM CONSAVE WHERE NCONDITION=? AND CREATOR=? AND PROGRAMME=?");
        remove.Bind(1, VarToStr(ArgAt(args, 0)));
        remove.Bind(2, m_user);
        remove.Bind(3, m_program);
        remove.Step();
        return Variant(m_db->Changes() > 0);
    });
    DefineMethod(contract::ChangeConName, [this](Args& args) {
        RequireConnection();
        Statement rename(*m_db, "UPDATE CONSAVE SET NCONDITION=? WHERE NCONDITION=? AND CREATOR=? AND PROGRAMME=?");
        rename.Bind(1, VarToStr(ArgAt(args, 1)));
        rename.Bind(2, VarToStr(ArgAt(args, 0)));
        rename.Bind(3, m_user);
        rename.Bind(4, m_program);
        rename.Step();
        return Variant(m_db->Changes() > 0);
    });
    DefineMethod("Whatis", [this](Args& args) { return WhatIs(VarToStr(ArgAt(args, 0))); });
}

AppServer::~AppServer() = default;

void AppServer::RequireConnection() const {
    if (!m_db) {
        throw EOleError("The application server is not connected: call Connect first");
    }
}

TableProvider& AppServer::Main() {
    RequireConnection();
    if (!m_main) {
        throw EOleError("Program " + m_program + " has no master provider");
    }
    return *m_main;
}

int AppServer::Connect(const Variant& login) {
    if (!login.IsArray() || login.Length() < 4) {
        throw EOleError("Connect needs [program, user, company, database, ...]");
    }
    const int low = login.LowBound();
    m_program = UpperCase(VarToStr(login.At(low)));
    m_user = VarToStr(login.At(low + 1));
    m_company = VarToStr(login.At(low + 2));
    m_dbName = VarToStr(login.At(low + 3));
    const std::string path = m_resolver ? m_resolver(m_dbName) : std::string();
    if (path.empty() || !FileExists(path)) {
        return kNoDatabase;
    }
    m_db = std::make_unique<Database>(path);
    m_main.reset();
    m_providers = data::ProviderHost();
    m_userGroup = LookupName(*m_db, "SELECT USR_GROUP FROM ADMUSER WHERE USER_ID=?", m_user);
    Statement user(*m_db, "SELECT 1 FROM ADMUSER WHERE USER_ID=?");
    user.Bind(1, m_user);
    if (!user.Step()) {
        return kUnknownUser;
    }
    Statement company(*m_db, "SELECT 1 FROM ADMCOMPANY WHERE COMPANY=?");
    company.Bind(1, m_company);
    if (!company.Step()) {
        return kUnknownCompany;
    }

    // Saved query schemes and colour rows serve every program.
    ProviderSpec consave;
    consave.Table = "CONSAVE";
    consave.Key = {"NCONDITION", "CREATOR", "PROGRAMME"};
    consave.DBName = m_dbName;
    m_providers.Register(contract::pvdConSave, std::make_shared<TableProvider>(*m_db, consave));
    ProviderSpec colour;
    colour.Table = "ADMNH";
    colour.Key = {"NH001", "NH002"};
    colour.DBName = m_dbName;
    auto colourProvider = std::make_shared<TableProvider>(*m_db, colour);
    colourProvider->DataRequest(VarArrayOf({"1=2", ""}));
    m_providers.Register(contract::pvdColor, colourProvider);

    Statement catalogue(*m_db, "SELECT M_TABLE, M_KEY, D_TABLE, D_KEY, D_LINK, NESTED, D_EXTRA, H11_KEY, MAX_RECORD "
                               "FROM PROGCAT WHERE PROGRAM=?");
    catalogue.Bind(1, m_program);
    if (!catalogue.Step()) {
        return kUnknownProgram;
    }
    ProviderSpec spec;
    spec.Table = catalogue.Text(0);
    spec.Key = SplitComma(catalogue.Text(1));
    spec.Program = m_program;
    spec.DBName = m_dbName;
    spec.ReadableTables = {"PALMB", "PALNC", "CMSMF", "INVMB"};
    if (const char* limit = std::getenv("CORVANE_QUERY_LIMIT_MS"); limit && std::atoi(limit) > 0) {
        spec.QueryLimit = std::chrono::milliseconds(std::atoi(limit));
    }
    if (!catalogue.Text(2).empty()) {
        DetailSpec detail;
        detail.Table = catalogue.Text(2);
        detail.Key = SplitComma(catalogue.Text(3));
        const std::string link = catalogue.Text(4);
        const size_t eq = link.find('=');
        detail.LinkField = Trim(link.substr(0, eq));
        detail.MasterField = eq == std::string::npos ? spec.Key.front() : Trim(link.substr(eq + 1));
        detail.Nested = catalogue.Text(5).empty() ? "qryBody" : catalogue.Text(5);
        detail.Extras = ParseExtras(catalogue.Text(6));
        spec.Detail = detail;
    }
    m_maxRecord = catalogue.IsNull(8) ? 40 : static_cast<int>(catalogue.Int(8));
    m_catalogueText = "M11_TABLE=" + spec.Table + "\r\nM11_KEY=" + catalogue.Text(1) + "\r\nH11_KEY=" + catalogue.Text(7) +
                      "\r\n";
    if (spec.Detail) {
        m_catalogueText += "D11_TABLE=" + spec.Detail->Table + "\r\nD11_KEY=" + catalogue.Text(3) + "\r\n";
        std::string detailSelect = "SELECT " + spec.Detail->Table + ".*";
        for (const ExtraColumn& extra : spec.Detail->Extras) {
            detailSelect += ", " + extra.Expression + " AS " + extra.Def.Name;
        }
        m_catalogueText += "D11_SELECT=" + detailSelect + " FROM " + spec.Detail->Table + "\r\n";
    }
    m_catalogueText += "M11_SELECT=SELECT " + spec.Table + ".* FROM " + spec.Table + "\r\n";
    m_main = std::make_shared<TableProvider>(*m_db, spec);
    m_providers.Register(contract::pvdMain, m_main);
    return kConnectOk;
}

std::string AppServer::SvrData() const {
    RequireConnection();
    std::string power;
    std::string exPower;
    for (const std::string& subject : {m_user, m_userGroup}) {
        Statement rights(*m_db, "SELECT EX_POWER, POWER_DATA FROM ADMRIGHT WHERE SUBJECT=? AND PROGRAM=?");
        rights.Bind(1, subject);
        rights.Bind(2, m_program);
        if (rights.Step() && exPower.empty()) {
            exPower = rights.Text(0);
            power = rights.Text(1);
        }
    }
    return "USER_GROUP=" + m_userGroup + "\r\nEX_POWER=" + exPower + "\r\nGROUP_LIST=" + m_userGroup +
           "\r\nPOWER_DATA=" + power + "\r\n" + m_catalogueText + "MAX_RECORD=" + std::to_string(m_maxRecord) +
           "\r\nBaseLimited=\r\n";
}

Variant AppServer::WhatIs(const std::string& name) const {
    if (SameText(name, contract::TODAY)) {
        return Variant(FormatDateTime("yyyymmdd", Now()));
    }
    if (SameText(name, contract::SQLTYPE)) {
        return Variant(1);
    }
    if (SameText(name, contract::SEQNO)) {
        return Variant(m_main ? m_main->LastSeqNo() : std::string());
    }
    return Variant();
}

Variant AppServer::DataRequest(std::string_view provider, const Variant& data) {
    RequireConnection();
    return m_providers.DataRequest(provider, data);
}

std::string AppServer::GetRecords(std::string_view provider, int count, bool reset) {
    RequireConnection();
    return m_providers.GetRecords(provider, count, reset);
}

int AppServer::GetRecordCount(std::string_view provider) {
    RequireConnection();
    return m_providers.GetRecordCount(provider);
}

std::string AppServer::ApplyUpdates(std::string_view provider, std::string_view delta, int maxErrors) {
    RequireConnection();
    return m_providers.ApplyUpdates(provider, delta, maxErrors);
}

// The lookup server: pvdF2Win over one lookup table chosen by the data request [table, condition, order].
class LookupServer : public DispatchObject, public data::IProviderConnection {
public:
    explicit LookupServer(DatabaseResolver resolver)
        : DispatchObject(std::string(contract::LookupServerClass)), m_resolver(std::move(resolver)) {
        DefineMethod(contract::Connect, [this](Args& args) {
            const Variant& login = ArgAt(args, 0);
            const std::string path = login.IsArray() && login.Length() >= 4 && m_resolver
                                         ? m_resolver(VarToStr(login.At(login.LowBound() + 3)))
                                         : std::string();
            if (path.empty() || !FileExists(path)) {
                return Variant(static_cast<int>(kNoDatabase));
            }
            m_db = std::make_unique<Database>(path);
            return Variant(static_cast<int>(kConnectOk));
        });
    }
    Variant DataRequest(std::string_view, const Variant& data) override {
        if (!m_db) {
            throw EOleError("The lookup server is not connected");
        }
        const std::string table = UpperCase(VarToStr(data.IsArray() ? data.At(data.LowBound()) : data));
        if (!kLookupTables.count(table)) {
            throw EOleError("Table " + table + " cannot be looked up");
        }
        ProviderSpec spec;
        spec.Table = table;
        spec.Key = {TableLayout(*m_db, table).front().Name};
        m_provider = std::make_unique<TableProvider>(*m_db, spec);
        if (data.IsArray() && data.Length() > 1) {
            m_provider->DataRequest(VarArrayOf({data.At(data.LowBound() + 1),
                                                data.Length() > 2 ? data.At(data.LowBound() + 2) : Variant("")}));
        }
        return Variant();
    }
    std::string GetRecords(std::string_view, int count, bool reset) override { return Provider().GetRecords(count, reset); }
    int GetRecordCount(std::string_view) override { return Provider().RecordCount(); }
    std::string ApplyUpdates(std::string_view, std::string_view, int) override {
        throw EOleError("The lookup server does not save changes");
    }

private:
    TableProvider& Provider() {
        if (!m_provider) {
            throw EOleError("Send the lookup table before asking for rows");
        }
        return *m_provider;
    }
    inline static const std::set<std::string> kLookupTables = {"PALMB", "PALNC", "PALNA", "CMSMF", "INVMB"};
    DatabaseResolver m_resolver;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<TableProvider> m_provider;
};

void RegisterServerClasses(DatabaseResolver resolver) {
    for (std::string_view name : {contract::ServerClass, contract::SocketServerClass}) {
        RegisterOleObject(name, [resolver] { return std::make_shared<AppServer>(resolver); });
    }
    RegisterOleObject(contract::LookupServerClass, [resolver] { return std::make_shared<LookupServer>(resolver); });
}

void InitDemoDatabase(const std::string& path) {
    Database db(path);
    db.InTransaction([&] {
        db.Exec(kSchemaSql);
        db.Exec(kDemoSql);
    });
}

} // namespace corvane::server
