// The host's members and service objects against the demo company database,
// called by name as a plug-in calls them.

#include "appserver/AppServer.h"
#include "platform/sys/CodePage.h"
#include "workcenter/HostServices.h"
#include "workcenter/Windows.h"

#include "tests/support/TestSupport.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace corvane::host {
namespace {

using test::Gb;

class Services : public testing::Test {
protected:
    Services() {
        server::InitDemoDatabase(dir.Folder() + "DEMO.db");
        session->Db = std::make_unique<server::Database>(dir.Folder() + "DEMO.db");
        session->User = "DS";
        session->Company = "DEMO";
        session->DBName = "DEMO";
        session->QueryLimit = std::chrono::milliseconds(2000);
        pickers->PickRows = [this](const std::string& title, const std::vector<std::string>& columns,
                                   const std::vector<std::vector<std::string>>& rows, bool) {
            lookups.push_back(title + ":" + std::to_string(columns.size()) + ":" + std::to_string(rows.size()));
            return rows.empty() || cancel ? Variant() : VarArrayOf({VarArrayOf({rows[1][0], rows[1][1]})});
        };
        pickers->PickPhrase = [this](std::vector<std::string>& phrases, std::string& picked) {
            phrases.push_back("新的常用语");
            picked = phrases.front();
            return !cancel;
        };
        pickers->PickDate = [](const std::string& date) { return date.empty() ? std::string("20261211") : date; };
        host = Variant(std::make_shared<HostObject>(session, pickers));
    }
    Variant Service(const char* name) { return host.Get(name); }

    test::TempDir dir;
    std::shared_ptr<Session> session = std::make_shared<Session>();
    std::shared_ptr<Pickers> pickers = std::make_shared<Pickers>();
    Variant host;
    std::vector<std::string> lookups;
    bool cancel = false;
};

TEST_F(Services, VersionAndMessages) {
    EXPECT_EQ(host.Get("DependencyVersion").ToInt(), 8000);
    EXPECT_EQ(host.Call("GetMessage", {"E", "000001"}).ToString(), Gb("%s 不存在!"));
    EXPECT_EQ(host.Call("GetMessage", {"E", "999999"}).ToString(), "Message E 999999 is not in the message table.");
    session->UICodePage = "437";
    EXPECT_EQ(host.Call("GetMessage", {"E", "000001"}).ToString(), "%s does not exist!");
}

TEST_F(Services, ChecksByTableAndNumber) {
    Variant validator = Service("Com_Validator");
    validator.Put("BaseLimited", "LIMITS");
    EXPECT_EQ(validator.Get("BaseLimited").ToString(), "LIMITS");
    struct Case {
        const char* Table;
        const char* Kind;
        Variant Keys;
        bool Found;
        int Length;
        std::string First;
    } cases[] = {
        {"ADMMB", "06", VarArrayOf({"ROVI18", "DEMO"}), true, 10, Gb("身份类别维护")},
        {"PALNA", "01", VarArrayOf({"01"}), true, 3, "01"},
        {"PALNA", "01", VarArrayOf({"99"}), false, 0, ""},
        {"PALMB", "04", VarArrayOf({"D001", "1"}), true, 3, Gb("劳保费")},
        {"PALNC", "01", VarArrayOf({"03"}), true, 7, "03"},
        {"PALNC", "99", VarArrayOf({"03"}), false, 0, ""},
        {"NOSUCH", "01", VarArrayOf({"x"}), false, 0, ""},
        {"PALNA", "01", "01", true, 3, "01"},
    };
    for (const Case& c : cases) {
        Variant db = "DEMO";
        Variant keys = c.Keys;
        Variant data;
        EXPECT_EQ(validator.Call("CheckValue", {c.Table, c.Kind, VarRef(db), VarRef(keys), VarRef(data)}).ToBool(), c.Found)
            << c.Table << c.Kind;
        if (c.Found) {
            EXPECT_EQ(data.Length(), c.Length);
            EXPECT_EQ(data.At(0).ToString(), c.First);
        }
    }
    // The base's decimals and rounding stand in columns 4 and 6.
    Variant db = "DEMO";
    Variant keys = VarArrayOf({"03"});
    Variant data;
    validator.Call("QueryData", {"PALNC", "01", VarRef(db), VarRef(keys), VarRef(data)});
    EXPECT_EQ(data.At(4).ToString(), "2");
    EXPECT_EQ(data.At(6).ToString(), "1");

    Variant table = "PALNB", fields = "NB001,NB002", values = VarArrayOf({"01", ""}), date = "", program = "ROVI18",
            next;
    EXPECT_TRUE(validator.Call("QueryMaxSeq", {VarRef(table), VarRef(fields), VarRef(values), VarRef(date),
                                               VarRef(program), VarRef(db), VarRef(next)})
                    .ToBool());
    EXPECT_EQ(next.ToString(), "0001");
}

TEST_F(Services, SimpleSqlResolvesTheDialectAndRefusesHostileSql) {
    Variant counter = Service("Com_Counter");
    Variant name = "SimpleSQL";
    Variant params = VarArrayOf({"SELECT MB002,MB011 FROM $$ADMMB WHERE MB001='ROVI18'", "MB002,MB011"});
    const Variant rows = counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), VarArrayOf({"DEMO", "DEMO"})});
    ASSERT_EQ(rows.Length(), 1);
    EXPECT_EQ(rows.At(0).At(0).ToString(), Gb("身份类别维护"));
    EXPECT_EQ(rows.At(0).At(1).ToString(), "Identity types");
    name = "SimpleSql";
    params = VarArrayOf({"select top 1 NA001 from DEMO..PALNA order by NA001 desc", "NA001", "DEMO", "N"});
    EXPECT_EQ(counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), Variant()}).At(0).At(0).ToString(), "03");
    params = VarArrayOf({"SELECT NA001 FROM PALNA WHERE 1=2", "NA001"});
    EXPECT_TRUE(counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), Variant()}).IsEmpty());

    for (const char* hostile : {"DELETE FROM PALNA", "UPDATE PALNA SET NA002='x'", "DROP TABLE PALNA",
                                "ATTACH DATABASE '/tmp/other.db' AS other", "PRAGMA writable_schema=1",
                                "SELECT * FROM PALNA; DELETE FROM PALNA", "SELECT readfile('/etc/passwd')",
                                "SELECT load_extension('/tmp/x.so')", "SELECT * FROM sqlite_master",
                                "SELECT NA001 FROM other.PALNA"}) {
        params = VarArrayOf({hostile, ""});
        EXPECT_THROW(counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), Variant()}), Exception) << hostile;
    }
    server::Statement count(*session->Db, "SELECT COUNT(*) FROM PALNA");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.Int(0), 3);
}

TEST_F(Services, TransactionSqlIsAllOrNothing) {
    Variant counter = Service("Com_Counter");
    Variant name = "TransactionSQL";
    Variant params = VarArrayOf({VarArrayOf({"UPDATE $$PALNA SET NA003='a' WHERE NA001='01'",
                                             "INSERT INTO PALNA (NA001) VALUES ('01')"}),
                                 ""});
    EXPECT_THROW(counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), Variant()}), Exception);
    params = VarArrayOf({VarArrayOf({"UPDATE PALNA SET NA003='b' WHERE NA001='01'", "ATTACH DATABASE 'x' AS y"}), ""});
    EXPECT_THROW(counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), Variant()}), Exception);
    params = VarArrayOf({VarArrayOf({"UPDATE PALNA SET NA003='c' WHERE NA001='01'"}), ""});
    counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), Variant()});
    server::Statement read(*session->Db, "SELECT NA003 FROM PALNA WHERE NA001='01'");
    ASSERT_TRUE(read.Step());
    EXPECT_EQ(read.Text(0), "c");
}

TEST_F(Services, UserSettingsParametersAndOtherFunctions) {
    Variant counter = Service("Com_Counter");
    const auto call = [&](const char* function, const Variant& args) {
        Variant name = function;
        Variant params = args;
        return counter.Call("GETCOUNTER", {VarRef(name), VarRef(params), VarArrayOf({"DEMO", "DEMO"})});
    };
    EXPECT_EQ(call("GetUserDefine", VarArrayOf({"DEMO", "DS", "ROVI18", "InputSettings003"})).ToString(), "");
    call("SetUserDefine", VarArrayOf({"DEMO", "DS", "********************", "InputSettings003/IsColorManage", "True"}));
    const std::string document = call("GetUserDefine", VarArrayOf({"DEMO", "DS", "ROVI18", "InputSettings003"})).ToString();
    EXPECT_NE(document.find("<IsColorManage>True</IsColorManage>"), std::string::npos) << document;
    call("SetUserDefine", VarArrayOf({"DEMO", "DS", "ROVI18", ".", "<NumberFieldsSetting><MoneyFieldThousand>True</MoneyFieldThousand></NumberFieldsSetting>"}));
    EXPECT_NE(call("GetUserDefine", VarArrayOf({"DEMO", "DS", "ROVI18", "NumberFieldsSetting"})).ToString().find("MoneyFieldThousand"),
              std::string::npos);
    EXPECT_TRUE(call("QueryUDFData", VarArrayOf({"F01", "", "DEMO", "N", VarArrayOf({})})).IsEmpty());
    EXPECT_EQ(call("INSERTWDJOB", VarArrayOf({VarArrayOf({})})).ToInt(), 1);
    EXPECT_THROW(call("NoSuchFunction", VarArrayOf({})), EOleError);

    Variant company = "DEMO";
    const Variant info = counter.Call("GetSysInfo", {VarRef(company)});
    ASSERT_EQ(info.DimCount(), 2);
    EXPECT_EQ(info.At(0, 0).ToString(), "KTC002");
    bool found = false;
    for (int i = info.LowBound(2); i <= info.HighBound(2); ++i) {
        found = found || (info.At(0, i).ToString() == "SYS002" && info.At(1, i).ToString() == "/");
    }
    EXPECT_TRUE(found);
}

TEST_F(Services, LookupsAndPickers) {
    Variant window = Service("Com_F2Window");
    Variant request = VarArrayOf({"PALMB", "03", Variant(), false, "", "DEMO", "DEMO", 0, 1, false});
    const Variant picked = window.Call("F2GetData", {VarRef(request)});
    ASSERT_EQ(picked.Length(), 1);
    EXPECT_EQ(picked.At(0).At(0).ToString(), "A002");
    EXPECT_EQ(picked.At(0).At(1).ToString(), Gb("交通津贴"));
    EXPECT_EQ(lookups, std::vector<std::string>{"PALMB:3:6"});
    cancel = true;
    EXPECT_TRUE(window.Call("F2GetData", {VarRef(request)}).IsEmpty());
    request = VarArrayOf({"PALMB", "77"});
    EXPECT_THROW(window.Call("F2GetData", {VarRef(request)}), EOleError);
    request = 5;
    EXPECT_THROW(window.Call("F2GetData", {VarRef(request)}), EOleError);

    // The calendar answers in the company's date format: type 1 with "/".
    EXPECT_EQ(window.Call("ShowInputDay", {VarArrayOf({true, "", "DEMO"})}).ToString(), "2026/12/11");
    EXPECT_EQ(window.Call("ShowInputDay", {VarArrayOf({true, "2001/7/23", "DEMO"})}).ToString(), "2001/07/23");
    cancel = false;
    Variant phrase = "";
    EXPECT_EQ(window.Call("GetPhrase2", {"DS", "DEMO", 0, VarRef(phrase)}).ToInt(), 0);
    EXPECT_EQ(phrase.ToString(), Gb("按月计算"));
    server::Statement phrases(*session->Db, "SELECT COUNT(*) FROM PHRASE WHERE USER_ID='DS'");
    ASSERT_TRUE(phrases.Step());
    EXPECT_EQ(phrases.Int(0), 3);
    cancel = true;
    EXPECT_EQ(window.Call("GetPhrase2", {"DS", "DEMO", 0, VarRef(phrase)}).ToInt(), -1);

    struct Calc {
        const char* Expression;
        const char* Value;
    } sums[] = {{"(1+2)*3/4", "2.25"}, {"-2*-3", "6"}, {"10/4+0.5", "3"}, {"1/0", ""}, {"2+", ""}, {"abc", ""}, {"((1)", ""}};
    for (const Calc& c : sums) {
        Variant expression = c.Expression;
        EXPECT_EQ(window.Call("GetCalcValue", {VarRef(expression), 0}).ToString(), c.Value) << c.Expression;
    }
}

TEST_F(Services, ExecWorkStartsProgramsPrintsAndShowsLinks) {
    auto hostObject = std::static_pointer_cast<HostObject>(host.ToDispatch());
    std::vector<std::string> started;
    std::vector<std::string> shown;
    hostObject->StartProgram = [&](const std::string& code, const Variant&, const Variant& options) {
        started.push_back(code + ":" + VarDebugText(options));
        return code == "MISSING" ? -1 : 0;
    };
    hostObject->Inform = [&](const std::string& text) { shown.push_back(text); };
    Variant program = VarArrayOf({"DS", "DEMO", "palr01", 0});
    Variant options = VarArrayOf({0, 4, Variant()});
    Variant result;
    EXPECT_EQ(host.Call("ExecWork", {VarRef(program), VarArrayOf({}), VarRef(options), 2, VarRef(result)}).ToInt(), 0);
    program = VarArrayOf({"DS", "DEMO", "MISSING", 0});
    EXPECT_EQ(host.Call("ExecWork", {VarRef(program), VarArrayOf({}), VarRef(options), 2, VarRef(result)}).ToInt(), -1);
    EXPECT_EQ(started, (std::vector<std::string>{"PALR01:[Integer:0, Integer:4, Empty]", "MISSING:[Integer:0, Integer:4, Empty]"}));

    // The print request of a document, and the message program with a link.
    Variant target = "ROVR18";
    options = VarArrayOf({6, 0, "01"});
    result = Variant();
    host.Call("ExecWork", {VarRef(target), Variant(), VarRef(options), 0, VarRef(result)});
    EXPECT_TRUE(result.ToBool());
    program = VarArrayOf({"DS", "DEMO", "TMCI05"});
    options = VarArrayOf({0, 4, Variant()});
    host.Call("ExecWork", {VarRef(program), VarArrayOf({"0", VarArrayOf({"", "", "<A href=\"x\">y</A>"})}), VarRef(options), 2,
                           VarRef(result)});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0].find("ROVR18"), std::string::npos);
    EXPECT_NE(shown[1].find("<A href="), std::string::npos);
    host.Call("CallHelp", {VarArrayOf({"ROV", "ROVI18"})});
    EXPECT_NE(shown.back().find("no help"), std::string::npos);
}

TEST(LookupWindowKeys, SearchBoxFiltersAndArrowsMove) {
    LookupWindow window("PALMB", {"code", "name"}, {{"A001", "Meal"}, {"A002", "Travel"}, {"D001", "Insurance"}}, false);
    window.show();
    QTest::keyClicks(window.Search(), "a00");
    EXPECT_TRUE(window.Table()->isRowHidden(2));
    QTest::keyClick(window.Search(), Qt::Key_Down);
    EXPECT_EQ(VarDebugText(window.Picked()), "[[\"A002\", \"Travel\"]]");
    QTest::keyClicks(window.Search(), "2");
    EXPECT_EQ(VarDebugText(window.Picked()), "[[\"A002\", \"Travel\"]]");
    window.Search()->clear();
    QTest::keyClicks(window.Search(), "zzz");
    EXPECT_TRUE(window.Picked().IsEmpty());
}

} // namespace
} // namespace corvane::host
