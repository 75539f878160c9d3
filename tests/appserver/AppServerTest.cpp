// The application server through its dispatch members and providers, as the
// module calls them: login and server information, opening by condition and
// order in packets, applying documents with lines, refused rows, two clients
// editing one record, hostile conditions, and a process killed while saving.

#include "appserver/AppServer.h"
#include "appserver/SqlDialect.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/sys/CodePage.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane::server {
namespace {

using test::Gb;

Variant Login(const char* program = "ROVI18", const char* user = "DS", const char* company = "DEMO",
              const char* db = "DEMO") {
    return VarArrayOf({program, user, company, db, true, false});
}

class Company : public testing::Test {
protected:
    Company() {
        InitDemoDatabase(Path());
        server = NewServer();
    }
    std::string Path() const { return dir.Folder() + "DEMO.db"; }
    std::shared_ptr<AppServer> NewServer() {
        auto created = std::make_shared<AppServer>([this](const std::string& name) {
            return name == "DEMO" ? Path() : std::string();
        });
        return created;
    }
    Variant Dispatch(const std::shared_ptr<AppServer>& target) { return Variant(std::static_pointer_cast<corvane::Dispatch>(target)); }
    // A client dataset of pvdMain with its lines, opened on a condition.
    void OpenClient(data::ClientDataSet& master, data::ClientDataSet& body, const std::shared_ptr<AppServer>& target,
                    const std::u16string& condition = u"", int packet = -1) {
        master.SetRemoteServer(target);
        master.SetProviderName("pvdMain");
        master.PacketSize = packet;
        master.FetchOnDemand = false;
        master.DataRequest(VarArrayOf({Variant(condition), ""}));
        master.Open();
        body.SetDataSetField(&master.FieldByName("qryBody"));
        body.Open();
    }
    int64_t Count(const std::string& sql) {
        Database db(Path());
        Statement statement(db, sql);
        return statement.Step() ? statement.Int(0) : -1;
    }
    std::string Text(const std::string& sql) {
        Database db(Path());
        Statement statement(db, sql);
        return statement.Step() ? statement.Text(0) : std::string();
    }

    test::TempDir dir;
    std::shared_ptr<AppServer> server;
};

TEST_F(Company, ConnectAnswersAndRefusals) {
    Variant object = Dispatch(server);
    EXPECT_EQ(object.Call("Connect", {Login()}).ToInt(), kConnectOk);
    const std::string info = object.Call("SvrData").ToString();
    for (const char* line : {"USER_GROUP=ADMIN", "M11_TABLE=PALNA", "M11_KEY=NA001", "D11_TABLE=PALNB",
                             "D11_KEY=NB001,NB002", "MAX_RECORD=100", "EX_POWER=1FF", "BaseLimited="}) {
        EXPECT_NE(info.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(object.Call("WhatIs", {"TODAY"}).ToString().size(), 8u);
    EXPECT_EQ(object.Call("Whatis", {"SQLTYPE"}).ToInt(), 1);
    struct Case {
        Variant Login;
        int Result;
    } cases[] = {{Login("ROVI18", "NOBODY"), kUnknownUser},
                 {Login("ROVI18", "DS", "NONE"), kUnknownCompany},
                 {Login("ROVI18", "DS", "DEMO", "OTHER"), kNoDatabase},
                 {Login("ROVI18", "DS", "DEMO", "../DEMO"), kNoDatabase},
                 {Login("ZZZ99"), kUnknownProgram}};
    for (const Case& c : cases) {
        auto other = NewServer();
        EXPECT_EQ(Dispatch(other).Call("Connect", {c.Login}).ToInt(), c.Result) << VarDebugText(c.Login);
    }
    EXPECT_THROW(Dispatch(NewServer()).Call("SvrData"), EOleError);
    EXPECT_THROW(object.Call("Connect", {"not an array"}), EOleError);
}

TEST_F(Company, OpensByConditionAndOrderInPacketsWithLines) {
    ASSERT_EQ(server->Connect(Login()), kConnectOk);
    {
        Database db(Path());
        db.InTransaction([&] {
            for (int i = 10; i < 110; ++i) {
                db.Exec("INSERT INTO PALNA (NA001, NA002, FLAG) VALUES ('" + std::to_string(i) + "', 'T', 0)");
            }
        });
    }
    data::ClientDataSet master("cdsMain");
    data::ClientDataSet body("cdsBody1");
    OpenClient(master, body, server, u"NA001 >= '02' AND NA002 <> '正式员工'", 40);
    EXPECT_EQ(master.RecordCount(), 40);
    std::vector<int> packets{master.RecordCount()};
    while (int fetched = master.GetNextPacket()) {
        packets.push_back(fetched);
    }
    EXPECT_EQ(packets, (std::vector<int>{40, 40, 22}));
    EXPECT_EQ(Dispatch(server).Call("GetRecCount").ToInt(), 102);
    EXPECT_EQ(server->GetRecordCount("pvdMain"), 102);
    master.First();
    EXPECT_EQ(master.FieldByName("NA001").AsString(), "02");
    EXPECT_EQ(master.FieldByName("NA002").AsString(), Gb("临时员工"));
    EXPECT_EQ(master.FieldByName("NA002").Size(), 10);
    ASSERT_EQ(body.RecordCount(), 1);
    EXPECT_EQ(body.FieldByName("NB002C").AsString(), Gb("劳保费"));
    EXPECT_TRUE(body.FieldByName("NB002C").ReadOnly());
    EXPECT_EQ(body.FieldByName("NB005C").AsString(), Gb("劳保投保薪资"));

    // The order comes from the client; "$$" and the database prefix are the suite's dialect.
    data::ClientDataSet ordered("ordered");
    data::ClientDataSet lines("lines");
    ordered.SetRemoteServer(server);
    ordered.SetProviderName("pvdMain");
    ordered.DataRequest(VarArrayOf({Variant(u"NA001 IN (SELECT NB001 FROM $$PALNB WHERE NB002 IN (SELECT MB001 FROM DEMO..PALMB WHERE MB003='2'))"), "NA001 DESC"}));
    ordered.Open();
    EXPECT_EQ(ordered.RecordCount(), 2);
    EXPECT_EQ(ordered.FieldByName("NA001").AsString(), "02");
}

TEST_F(Company, AppliesANewTypeWithTwoLinesThenAnEdit) {
    ASSERT_EQ(server->Connect(Login()), kConnectOk);
    data::ClientDataSet master("cdsMain");
    data::ClientDataSet body("cdsBody1");
    OpenClient(master, body, server, u"1=2");
    master.Append();
    master.FieldByName("NA001").SetAsString("04");
    master.FieldByName("NA002").SetAsString(Gb("兼职员工"));
    master.FieldByName("FLAG").SetAsFloat(0);
    for (const char* item : {"A001", "D001"}) {
        body.Append();
        body.FieldByName("NB001").SetAsString("04");
        body.FieldByName("NB002").SetAsString(item);
        body.FieldByName("NB003").SetAsFloat(0.1);
        body.FieldByName("FLAG").SetAsFloat(0);
        body.Post();
    }
    master.Post();
    EXPECT_EQ(master.ApplyUpdates(0), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM PALNB WHERE NB001='04'"), 2);
    EXPECT_EQ(Text("SELECT NA002 FROM PALNA WHERE NA001='04'"), "兼职员工");

    master.Edit();
    master.FieldByName("NA003").SetAsString(Gb("备注"));
    master.FieldByName("FLAG").SetAsFloat(1);
    master.Post();
    EXPECT_EQ(master.ApplyUpdates(0), 0);
    EXPECT_EQ(Text("SELECT NA003 || '/' || FLAG FROM PALNA WHERE NA001='04'"), "备注/1.0");
}

TEST_F(Company, RefusedRowsComeBackWhileTheRestIsApplied) {
    ASSERT_EQ(server->Connect(Login()), kConnectOk);
    data::ClientDataSet master("cdsMain");
    data::ClientDataSet body("cdsBody1");
    OpenClient(master, body, server, u"NA001='01'");
    // A line whose key exists already, a text not valid in code page 936, and an edit that is fine.
    body.Append();
    body.FieldByName("NB001").SetAsString("01");
    body.FieldByName("NB002").SetAsString("D001");
    body.Post();
    body.Append();
    body.FieldByName("NB001").SetAsString("01");
    body.FieldByName("NB002").SetAsString("A001");
    body.FieldByName("NB007").SetAsString("\xFF\xFF");
    body.Post();
    master.FieldByName("NA002").SetAsString("Changed");
    master.Post();
    std::vector<std::string> refused;
    body.OnReconcileError = [&](data::DataSet&, const data::EReconcileError& error, data::UpdateKind, data::ReconcileAction&) {
        refused.push_back(error.what());
    };
    EXPECT_EQ(master.ApplyUpdates(-1), 2);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_NE(refused[0].find("UNIQUE"), std::string::npos) << refused[0];
    EXPECT_NE(refused[1].find("NB007"), std::string::npos) << refused[1];
    EXPECT_EQ(Text("SELECT NA002 FROM PALNA WHERE NA001='01'"), "Changed");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM PALNB WHERE NB001='01'"), 3);
    EXPECT_EQ(master.ChangeCount(), 2);
}

TEST_F(Company, TheFirstOfTwoEditorsWinsAndTheSecondIsRefused) {
    auto other = NewServer();
    ASSERT_EQ(server->Connect(Login()), kConnectOk);
    ASSERT_EQ(other->Connect(Login()), kConnectOk);
    data::ClientDataSet first("first"), firstBody("firstBody"), second("second"), secondBody("secondBody");
    OpenClient(first, firstBody, server, u"NA001='02'");
    OpenClient(second, secondBody, other, u"NA001='02'");
    for (auto* ds : {&first, &second}) {
        ds->Edit();
        ds->FieldByName("NA002").SetAsString(ds == &first ? "First" : "Second");
        ds->FieldByName("FLAG").SetAsFloat(1);
        ds->Post();
    }
    EXPECT_EQ(first.ApplyUpdates(0), 0);
    std::string message;
    second.OnReconcileError = [&](data::DataSet&, const data::EReconcileError& error, data::UpdateKind, data::ReconcileAction&) {
        message = error.what();
    };
    EXPECT_EQ(second.ApplyUpdates(0), 1);
    EXPECT_NE(message.find("changed by another user since it was read"), std::string::npos) << message;
    EXPECT_EQ(Text("SELECT NA002 FROM PALNA WHERE NA001='02'"), "First");
    EXPECT_EQ(second.ChangeCount(), 1);

    // A record deleted by the first is refused to the second as well.
    first.Delete();
    EXPECT_EQ(first.ApplyUpdates(0), 0);
    second.CancelUpdates();
    second.Delete();
    EXPECT_EQ(second.ApplyUpdates(0), 1);
    EXPECT_NE(message.find("deleted by another user"), std::string::npos) << message;
}

TEST_F(Company, NumberedDocumentsTakeTheNextNumber) {
    ASSERT_EQ(server->Connect(Login()), kConnectOk);
    Variant object = Dispatch(server);
    object.Call("SetIsSeq", {true});
    data::ClientDataSet master("cdsMain");
    data::ClientDataSet body("cdsBody1");
    OpenClient(master, body, server, u"1=2");
    master.Append();
    master.FieldByName("NA001").SetAsString("~~");
    master.FieldByName("NA002").SetAsString("Numbered");
    body.Append();
    body.FieldByName("NB001").SetAsString("~~");
    body.FieldByName("NB002").SetAsString("A001");
    body.Post();
    master.Post();
    EXPECT_EQ(master.ApplyUpdates(0), 0);
    EXPECT_EQ(object.Call("WhatIs", {"SEQNO"}).ToString(), "04");
    EXPECT_EQ(Text("SELECT NA002 FROM PALNA WHERE NA001='04'"), "Numbered");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM PALNB WHERE NB001='04'"), 1);
}

TEST_F(Company, SavedQuerySchemes) {
    ASSERT_EQ(server->Connect(Login()), kConnectOk);
    Variant object = Dispatch(server);
    object.Call("InsertConTable", {VarArrayOf({"Workers", "NA001 >= '02'"})});
    object.Call("InsertConTable", {VarArrayOf({"All", ""})});
    EXPECT_EQ(VarDebugText(object.Call("LoadTable", {""})), "[[\"All\", \"\"], [\"Workers\", \"NA001 >= '02'\"]]");
    Variant oldName = "Workers";
    Variant newName = "Staff";
    EXPECT_TRUE(object.Call("ChangeConName", {VarRef(oldName), VarRef(newName)}).ToBool());
    EXPECT_TRUE(object.Call("DeleteConTable", {"All"}).ToBool());
    EXPECT_FALSE(object.Call("DeleteConTable", {"All"}).ToBool());
    EXPECT_EQ(VarDebugText(object.Call("LoadTable", {""})), "[[\"Staff\", \"NA001 >= '02'\"]]");
    // The schemes are a provider too.
    data::ClientDataSet schemes("cdsSaveCondition");
    schemes.SetRemoteServer(server);
    schemes.SetProviderName("pvdConSave");
    schemes.Open();
    EXPECT_EQ(schemes.RecordCount(), 1);
    EXPECT_EQ(schemes.FieldByName("PROGRAMME").AsString(), "ROVI18");
    data::ClientDataSet colours("cdsMainColor");
    colours.SetRemoteServer(server);
    colours.SetProviderName("pvdColor");
    colours.Open();
    EXPECT_EQ(colours.RecordCount(), 0);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct Hostile {
    const char* Name;
    std::u16string Condition;
    std::string Order;
};

void PrintTo(const Hostile& h, std::ostream* os) { *os << h.Name; }

class InjectionCorpus : public Company, public testing::WithParamInterface<Hostile> {};

TEST_P(InjectionCorpus, IsRefusedAndChangesNothing) {
    ASSERT_EQ(server->Connect(Login()), kConnectOk);
    {
        Database db(Path());
        db.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    const std::string before = FileBytes(Path());
    server->DataRequest("pvdMain", VarArrayOf({Variant(GetParam().Condition), GetParam().Order}));
    EXPECT_THROW(server->GetRecords("pvdMain", -1, true), EConfinementError);
    if (!GetParam().Condition.empty()) {
        // The count runs the condition too (the order is not part of it).
        EXPECT_THROW(server->GetRecordCount("pvdMain"), Exception);
    }
    {
        Database db(Path());
        db.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
        Statement tables(db, "SELECT COUNT(*) FROM sqlite_master");
        ASSERT_TRUE(tables.Step());
    }
    EXPECT_EQ(FileBytes(Path()), before);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM PALNA"), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, InjectionCorpus,
    testing::Values(
        Hostile{"second statement drops a table", u"1=1; DROP TABLE PALNA", ""},
        Hostile{"second statement deletes", u"1=1; DELETE FROM PALNA", ""},
        Hostile{"comment hides the rest", u"1=1) ; DELETE FROM PALNA; --", ""},
        Hostile{"union with the user table", u"1=2) UNION SELECT USER_ID,PASSWORD,'','','','','','',0,"
                                             u"'','','','','','','','','','','','',0,0,0,0,0,0,0,0,0,0,0,0 FROM ADMUSER --", ""},
        Hostile{"subselect on users", u"NA001 IN (SELECT USER_ID FROM ADMUSER)", ""},
        Hostile{"subselect on the schema", u"EXISTS (SELECT 1 FROM sqlite_master)", ""},
        Hostile{"subselect on messages", u"NA002 IN (SELECT CHS FROM $$ADMMSG)", ""},
        Hostile{"attach another database", u"1=1; ATTACH DATABASE '/tmp/x.db' AS x", ""},
        Hostile{"pragma", u"1=1; PRAGMA writable_schema=1", ""},
        Hostile{"pragma function", u"EXISTS (SELECT * FROM pragma_table_info('ADMUSER'))", ""},
        Hostile{"load an extension", u"load_extension('/tmp/evil.so') IS NULL", ""},
        Hostile{"read a file", u"readfile('/etc/passwd') IS NOT NULL", ""},
        Hostile{"write a file", u"writefile('/tmp/x', 'y') > 0", ""},
        Hostile{"insert through a common table expression", u"1=1; WITH x AS (SELECT 1) INSERT INTO PALNA(NA001) VALUES('99')", ""},
        Hostile{"recursive query", u"NA001 IN (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT x FROM c)", ""},
        Hostile{"order drops a table", u"", "NA001; DROP TABLE PALNA"},
        Hostile{"order reads users", u"", "(SELECT PASSWORD FROM ADMUSER)"},
        Hostile{"order with a pragma", u"", "NA001; PRAGMA journal_mode=DELETE"},
        Hostile{"unbalanced parenthesis", u"1=1)) OR ((1=1", ""},
        Hostile{"vacuum into a file", u"1=1; VACUUM INTO '/tmp/copy.db'", ""},
        Hostile{"sqlite_version fingerprint", u"sqlite_version() <> ''", ""},
        Hostile{"random blobs", u"randomblob(1000000000) IS NOT NULL", ""},
        Hostile{"detached database prefix", u"NA001 IN (SELECT USER_ID FROM DEMO..ADMUSER)", ""},
        Hostile{"temp table creation", u"1=1; CREATE TEMP TABLE t(x)", ""}),
    [](const testing::TestParamInfo<Hostile>& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(Company, AQueryPastItsTimeLimitIsStoppedAndTheServerGoesOn) {
    test::ScopedEnv limit("CORVANE_QUERY_LIMIT_MS", "300");
    auto limited = NewServer();
    ASSERT_EQ(limited->Connect(Login()), kConnectOk);
    {
        Database db(Path());
        db.InTransaction([&] {
            for (int i = 100; i < 400; ++i) {
                db.Exec("INSERT INTO PALNA (NA001, NA002, FLAG) VALUES ('" + std::to_string(i) + "', 'T', 0)");
            }
        });
    }
    limited->DataRequest("pvdMain", VarArrayOf({Variant(u"(SELECT COUNT(*) FROM PALNA a, PALNA b, PALNA c, PALNA d, "
                                                        u"PALMB e, PALNC f) > 0"), ""}));
    try {
        limited->GetRecords("pvdMain", -1, true);
        FAIL() << "the cross join finished";
    } catch (const EConfinementError& error) {
        EXPECT_NE(std::string(error.what()).find("time limit"), std::string::npos) << error.what();
    }
    limited->DataRequest("pvdMain", VarArrayOf({Variant(u"NA001='01'"), ""}));
    EXPECT_EQ(limited->GetRecordCount("pvdMain"), 1);
}

TEST_F(Company, AProcessKilledWhileSavingLeavesAllOrNothing) {
    constexpr int kLines = 9000;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        auto own = NewServer();
        own->Connect(Login());
        data::ClientDataSet master("cdsMain");
        data::ClientDataSet body("cdsBody1");
        OpenClient(master, body, own, u"1=2");
        master.Append();
        master.FieldByName("NA001").SetAsString("77");
        for (int i = 0; i < kLines; ++i) {
            body.Append();
            body.FieldByName("NB001").SetAsString("77");
            body.FieldByName("NB002").SetAsString(std::to_string(1000 + i));
            body.FieldByName("NB007").SetAsString(std::to_string(i));
            body.Post();
        }
        master.Post();
        const char go = 'g';
        (void)!write(ready[1], &go, 1);
        master.ApplyUpdates(0);
        _exit(0);
    }
    close(ready[1]);
    char go = 0;
    ASSERT_EQ(read(ready[0], &go, 1), 1);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(ready[0]);
    const int64_t lines = Count("SELECT COUNT(*) FROM PALNB WHERE NB001='77'");
    const int64_t masters = Count("SELECT COUNT(*) FROM PALNA WHERE NA001='77'");
    EXPECT_TRUE((lines == 0 && masters == 0) || (lines == kLines && masters == 1)) << masters << " " << lines;
    EXPECT_EQ(Text("PRAGMA integrity_check"), "ok");
}

TEST(SqlDialect, RewritesTheSuitesForms) {
    struct Case {
        const char* In;
        const char* Out;
    } cases[] = {
        {"SELECT * FROM $$PALNA", "SELECT * FROM PALNA"},
        {"select * from DEMO..PALNA a, demo..PALNB", "select * from PALNA a, PALNB"},
        {"select top 1 NA001 from PALNA order by NA001", "select NA001 from PALNA order by NA001 LIMIT 1"},
        {"SELECT TOP 10 * FROM $$PALMB;", "SELECT * FROM PALMB LIMIT 10"},
        {"SELECT '$$kept', 'DEMO..kept' FROM PALNA", "SELECT '$$kept', 'DEMO..kept' FROM PALNA"},
        {"SELECT MYDEMO..X", "SELECT MYDEMO..X"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RewriteDialect(c.In, "DEMO"), c.Out) << c.In;
    }
}

TEST(SqlDialect, FunctionsOfOtherDialects) {
    test::TempDir dir;
    Database db(dir.Folder() + "f.db");
    Statement statement(db, "SELECT RPAD('ab', 5, '*'), RPAD('abcdef', 3), SUBSTRING('abcdef', 2, 3), LPAD('7', 3, '0')");
    ASSERT_TRUE(statement.Step());
    EXPECT_EQ(statement.Text(0), "ab***");
    EXPECT_EQ(statement.Text(1), "abc");
    EXPECT_EQ(statement.Text(2), "bcd");
    EXPECT_EQ(statement.Text(3), "007");
}

} // namespace
} // namespace corvane::server
