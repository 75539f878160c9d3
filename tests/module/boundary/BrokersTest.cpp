// The broker against a test host: coded messages, services, checks and
// lookups, sequence numbers, program starts and workflow jobs.

#include "module/boundary/Brokers.h"
#include "platform/dataset/DataSet.h"
#include "platform/sys/CodePage.h"
#include "platform/ui/Responder.h"

#include "tests/module/boundary/TestHost.h"
#include "tests/module/boundary/TestWindow.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::Gb;
using test::HostDouble;

class BrokerFixture : public testing::Test {
protected:
    BrokerFixture() {
        broker.Host = Variant(std::static_pointer_cast<Dispatch>(host));
        broker.UserID = "DS";
        broker.CompanyID = "DEMO";
        broker.DBName = "DEMODB";
        broker.ProgramID = "ROVI18";
    }
    // Answers message dialogs with `answer` and keeps each request.
    ui::ScopedMessageResponder Answer(int answer) {
        return ui::ScopedMessageResponder([this, answer](const ui::MessageDialogRequest& request) {
            shown.push_back(request);
            return answer;
        });
    }

    test::ScopedEnv acp{"CORVANE_ACP", "936"};
    test::TestWindow window;
    TBrokers& broker = window.Broker();
    std::shared_ptr<HostDouble> host = std::make_shared<HostDouble>();
    std::vector<ui::MessageDialogRequest> shown;
};

struct MessageCase {
    const char* Type;
    ui::MsgDlgType Kind;
    std::vector<ui::MsgDlgBtn> Buttons;
    bool HasDefault;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.Type; }

class MessageTypes : public BrokerFixture, public testing::WithParamInterface<MessageCase> {};

TEST_P(MessageTypes, ChooseKindButtonsAndDefault) {
    const MessageCase& c = GetParam();
    auto responder = Answer(ui::mrOk);
    host->Messages["E000001"] = Gb("代码 %s 不存在");
    host->Messages[std::string(c.Type) + "000001"] = Gb("代码 %s 不存在");
    EXPECT_EQ(broker.ShowMsg(c.Type, "000001", {"A01"}), ui::mrOk);
    ASSERT_EQ(shown.size(), 1u);
    const ui::MessageDialogRequest& request = shown[0];
    EXPECT_EQ(request.Type, c.Kind);
    EXPECT_EQ(request.Buttons, c.Buttons);
    EXPECT_EQ(request.DefaultButton.has_value(), c.HasDefault);
    EXPECT_EQ(request.Caption, "Test window");
    EXPECT_EQ(request.Font.family(), "SimSun");
    EXPECT_EQ(request.FontCharset, "GB2312");
    EXPECT_TRUE(request.Text.startsWith(QString::fromUtf8("代码 A01 不存在 ")));
    EXPECT_EQ(request.ButtonCaptions.at(c.Buttons.front()),
              QString::fromUtf8(c.Buttons.front() == ui::mbOK ? "确定" : "是(&Y)"));
    EXPECT_EQ(window.AfterMessageCalls, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Types, MessageTypes,
    testing::Values(MessageCase{"T", ui::MsgDlgType::Error, {ui::mbYes, ui::mbNo, ui::mbCancel, ui::mbYesToAll}, false},
                    MessageCase{"C", ui::MsgDlgType::Warning, {ui::mbOK, ui::mbCancel}, true},
                    MessageCase{"D", ui::MsgDlgType::Warning, {ui::mbYes, ui::mbNo, ui::mbCancel}, false},
                    MessageCase{"E", ui::MsgDlgType::Error, {ui::mbOK}, true},
                    MessageCase{"I", ui::MsgDlgType::Information, {ui::mbOK}, true},
                    MessageCase{"Q", ui::MsgDlgType::Confirmation, {ui::mbOK, ui::mbCancel}, true},
                    MessageCase{"W", ui::MsgDlgType::Warning, {ui::mbOK, ui::mbCancel}, true},
                    MessageCase{"X", ui::MsgDlgType::Custom, {ui::mbOK}, true}),
    [](const testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.Type); });

TEST_F(BrokerFixture, TypeTAsksWhetherToGoOnWithTheErrorText) {
    auto responder = Answer(ui::mrNo);
    host->Messages["E200001"] = Gb("单据已确认");
    EXPECT_EQ(broker.ShowMsg("T", "200001"), ui::mrNo);
    EXPECT_EQ(shown[0].Text, QString::fromUtf8("单据已确认 \r\n是否继续?"));
}

TEST_F(BrokerFixture, WarningNotAnsweredOkIsTheSilentAbort) {
    {
        auto responder = Answer(ui::mrCancel);
        EXPECT_THROW(broker.ShowMsg("W", "000004", {"x"}), EAbort);
        EXPECT_EQ(window.AfterMessageCalls, 0);
        EXPECT_EQ(broker.ShowMsg("W", "000004", {"x"}, false), ui::mrCancel);
    }
    auto responder = Answer(ui::mrOk);
    EXPECT_EQ(broker.ShowMsg("W", "000004"), ui::mrOk);
}

TEST_F(BrokerFixture, TraditionalInterfaceSpacesAndCaptions) {
    window.UIPage = "950";
    window.Mode = 2;
    // Message texts come in simplified Chinese and are converted for the traditional interface.
    host->Messages["I000009"] = Gb("完成%s");
    auto responder = Answer(ui::mrOk);
    broker.ShowMsg("I", "000009", {"!"});
    // Four spaces for the traditional code page, one before formatting, six for a converting interface.
    EXPECT_EQ(shown[0].Text, QString::fromUtf8("完成!") + QString(4 + 1 + 6, ' '));
    EXPECT_EQ(shown[0].FontCharset, "BIG5");
    EXPECT_EQ(shown[0].ButtonCaptions.at(ui::mbOK), QString::fromUtf8("确定"));

    window.UIPage = "437";
    window.Mode = 0;
    shown.clear();
    broker.ShowMsg("E", "000009");
    EXPECT_TRUE(shown[0].ButtonCaptions.empty());
}

TEST_F(BrokerFixture, ParametersAndServerInformation) {
    broker.SetParam("SYS001", "4");
    broker.SetParam("", "ignored");
    std::string value = "before";
    broker.GetParam("", value);
    EXPECT_EQ(value, "before");
    broker.GetParam("sys001", value);
    EXPECT_EQ(value, "4");
    broker.SetParam("SYS001", "");
    EXPECT_EQ(broker.GetParam("SYS001"), "");
    EXPECT_EQ(broker.ProgramParams.Count(), 0u);

    const std::pair<const char*, int> cases[] = {{"100", 40}, {"41", 40}, {"40", 40}, {"25", 25},
                                                 {"-1", -1},  {"x", 0},   {"", 0}};
    for (const auto& [text, expected] : cases) {
        broker.ServerInfo.SetValue("MAX_RECORD", text);
        EXPECT_EQ(broker.MaxRecords(), expected) << text;
    }
}

TEST_F(BrokerFixture, ServicesProgramInformationAndParameters) {
    host->Validator->Rows["ADMMB/06"] = VarArrayOf({"Identity types", "ROVR18", "TX1", "TX2", "", "WF§1", "WF2", "Y",
                                                     "W", "Identity types (en)"});
    host->Counter->SysInfo = [] {
        Variant grid = VarArrayCreate({0, 1, 0, 1});
        grid.At(0, 0) = "SYS001";
        grid.At(1, 0) = "1";
        grid.At(0, 1) = "SYS002";
        grid.At(1, 1) = "/";
        return grid;
    }();
    ASSERT_TRUE(broker.ConnectServices());
    EXPECT_TRUE(broker.Com_Validator.IsDispatch() && broker.Com_F2Window.IsDispatch() && broker.Com_Counter.IsDispatch());
    EXPECT_EQ(broker.ProgramName, "Identity types");
    EXPECT_EQ(broker.PrintProgram, "ROVR18");
    EXPECT_EQ(broker.TxnParams[1], "TX2");
    EXPECT_TRUE(broker.ProgramFlag);
    EXPECT_EQ(broker.ProgramKind, 1);
    ASSERT_TRUE(broker.LoadProgramParams());
    EXPECT_EQ(broker.GetParam("SYS002"), "/");

    window.UIPage = "437";
    broker.LoadProgramInfo();
    EXPECT_EQ(broker.ProgramName, "Identity types (en)");
    // Nine elements keep the Chinese title even in English.
    host->Validator->Rows["ADMMB/06"] = VarArrayOf({"T", "", "", "", "", "", "", "N", "Z"});
    broker.LoadProgramInfo();
    EXPECT_EQ(broker.ProgramName, "T");
    EXPECT_EQ(broker.ProgramKind, 3);

    TBrokers lonely(nullptr, &window);
    EXPECT_FALSE(lonely.ConnectServices());
    EXPECT_FALSE(lonely.LoadProgramParams());
    EXPECT_TRUE(lonely.CallCounter("SimpleSQL", VarArrayOf({})).IsEmpty());
    EXPECT_EQ(lonely.GetMsgText("E", "000001"), "");
}

TEST_F(BrokerFixture, ChecksWriteTheLimitsAndSwallowFailures) {
    broker.ConnectServices();
    broker.ServerInfo.SetValue("BaseLimited", "LIMITS");
    host->Validator->Rows["PALMB/04"] = VarArrayOf({"A01", "Meal"});
    Variant data;
    EXPECT_TRUE(broker.CheckValue("PALMB", "04", VarArrayOf({"A01"}), data));
    EXPECT_EQ(data.At(1).ToString(), "Meal");
    EXPECT_EQ(host->Validator->BaseLimited, "LIMITS");
    const test::Call& call = host->Validator->Calls.back();
    EXPECT_EQ(call.Args.size(), 5u);
    EXPECT_EQ(call.Args[2].ToString(), "DEMODB");
    EXPECT_FALSE(broker.QueryData("PALMB", "99", VarArrayOf({"A01"}), data));
    host->Validator->Fail = true;
    EXPECT_FALSE(broker.CheckValue("PALMB", "04", VarArrayOf({"A01"}), data));
}

TEST_F(BrokerFixture, QueryMaxSeqSendsAllButTheLastKeyAndOneEmptyElement) {
    broker.ConnectServices();
    data::DataSet ds("cdsBody1");
    ds.AddField("NB001", data::FieldType::String, 2);
    ds.AddField("NB002", data::FieldType::String, 4);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("NB001").SetAsString("01");
    ds.Post();
    EXPECT_EQ(broker.QueryMaxSeq(ds, "PALNB", "20261211", "NB001,NB002"), "0007");
    const test::Call& call = host->Validator->Calls.back();
    ASSERT_EQ(call.Args.size(), 7u);
    EXPECT_EQ(call.Args[0].ToString(), "PALNB");
    EXPECT_EQ(call.Args[1].ToString(), "NB001,NB002");
    EXPECT_EQ(VarDebugText(call.Args[2]), "[\"01\", \"\"]");
    EXPECT_EQ(call.Args[3].ToString(), "20261211");
    EXPECT_EQ(call.Args[4].ToString(), "ROVI18");
    EXPECT_EQ(call.Args[5].ToString(), "DEMODB");
    host->Validator->NextSeq = Variant();
    EXPECT_EQ(broker.QueryMaxSeq(ds, "PALNB", "", "NB001,NB002"), "unKnow");
    host->Validator->Fail = true;
    EXPECT_EQ(broker.QueryMaxSeq(ds, "PALNB", "", "NB001,NB002"), "unKnow");
}

TEST_F(BrokerFixture, F2LookupInItsThreeModes) {
    broker.ConnectServices();
    broker.ServerInfo.SetValue("BaseLimited", "LIM");
    window.PowerRights = {33};
    host->F2Window->Picked = VarArrayOf({VarArrayOf({"A01", "Meal"})});
    const Variant picked = broker.F2Lookup("PALMB", "03", VarArrayOf({"x"}), "A0", false, true, 0, "t1", "t2", "t3");
    EXPECT_EQ(VarDebugText(picked), "[[\"A01\", \"Meal\"]]");
    const Variant& request = host->F2Window->Calls.back().Args[0];
    ASSERT_EQ(request.Length(), 19);
    EXPECT_EQ(request.At(0).ToString(), "PALMB");
    EXPECT_EQ(request.At(1).ToString(), "03");
    EXPECT_FALSE(request.At(3).ToBool());
    EXPECT_EQ(request.At(4).ToString(), "A0");
    EXPECT_EQ(request.At(5).ToString(), "DEMO");
    EXPECT_EQ(request.At(6).ToString(), "DEMODB");
    EXPECT_EQ(request.At(7).ToInt(), 4242);
    EXPECT_EQ(request.At(8).ToInt(), 1);
    EXPECT_TRUE(request.At(9).ToBool());
    EXPECT_EQ(request.At(13).ToString(), "t3");
    EXPECT_EQ(request.At(14).ToString(), "LIM");
    EXPECT_TRUE(request.At(15).ToBool());
    EXPECT_FALSE(request.At(16).ToBool());
    EXPECT_TRUE(request.At(17).IsDispatch());
    EXPECT_EQ(request.At(18).ToString(), "DS");

    window.LookupModeValue = 1;
    EXPECT_TRUE(broker.F2Lookup("PALMB", "03", "x", "A0", false, true, 0, "", "t2", "t3").IsEmpty());
    ASSERT_EQ(window.LookupOpenParams.Length(), 14);
    EXPECT_EQ(VarDebugText(window.LookupOpenParams),
              "[\"PALMB\", \"03\", \"x\", Integer:1, \"A0\", \"DEMODB\", Integer:0, \"\", \"\", \"\", \"LIM\", \"\", \"\", \"9\"]");

    window.LookupModeValue = 2;
    window.LookupReturn = "returned";
    EXPECT_EQ(broker.F2Lookup("PALMB", "03", "x", "", false, false).ToString(), "returned");
    EXPECT_EQ(host->F2Window->Calls.size(), 1u);
    // The recorded request holds the host itself; drop it so the host can go.
    host->F2Window->Calls.clear();
}

TEST_F(BrokerFixture, PickersAndCalculator) {
    broker.ConnectServices();
    EXPECT_EQ(broker.ShowInputDay(true, "115/12/11"), "20261211");
    EXPECT_EQ(VarDebugText(host->F2Window->Calls.back().Args[0]), "[Boolean:True, \"115/12/11\", \"DEMODB\"]");
    EXPECT_EQ(broker.GetPhrase("start"), "start phrase");
    EXPECT_EQ(broker.GetPhrase("cancel"), "");
    EXPECT_EQ(broker.ShowCharacters(2, true, 0, "", "").ToString(), "chars");
    EXPECT_EQ(host->F2Window->Calls.back().Args[0].ToString(), "DS");
    EXPECT_EQ(host->F2Window->Calls.back().Args[4].ToString(), "4242");
    EXPECT_EQ(broker.GetCalcValue("6*7"), "42");
    host->F2Window->CalcFails = true;
    auto responder = Answer(ui::mrOk);
    EXPECT_EQ(broker.GetCalcValue("6*7"), "");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].Text.contains("V2ArozazA.dll"));
}

TEST_F(BrokerFixture, RunProgramTemplatesByResult) {
    broker.ConnectServices();
    host->Counter->Answers["SimpleSQL"] = VarArrayOf({VarArrayOf({Gb("薪资项目"), "Pay items", "", ""})});
    const std::pair<int, const char*> cases[] = {
        {-1, "[薪资项目]作业程序文档不存在!"},       {-2, "[薪资项目]作业程序文档装入失败!"},
        {-3, "[薪资项目]作业程序启动时无法录入公用元件!"}, {-4, "[薪资项目]作业程序启动时取作业权限错误!"},
        {-5, "[薪资项目]作业程序无运行作业权限!"},    {-6, "[薪资项目]作业程序起始化错误!"},
        {-7, "[薪资项目]作业程序发生不可预知的错误!"}, {-8, ""},
    };
    host->Messages["E000032"] = "%s";
    for (const auto& [rc, text] : cases) {
        auto responder = Answer(ui::mrOk);
        host->ExecWorkResult = rc;
        Variant result;
        EXPECT_EQ(broker.RunProgram("PALR01", VarArrayOf({}), true, Variant(), result), rc);
        ASSERT_EQ(shown.size(), 1u) << rc;
        EXPECT_EQ(shown[0].Text.trimmed(), QString::fromUtf8(text)) << rc;
        shown.clear();
    }
    const test::Call& call = host->ExecWorkCalls.back();
    EXPECT_EQ(VarDebugText(call.Args[0]), "[\"DS\", \"DEMO\", \"PALR01\", Integer:4242]");
    EXPECT_EQ(VarDebugText(call.Args[2]), "[Integer:0, Integer:4, Empty]");
    EXPECT_EQ(call.Args[3].ToInt(), 2);

    host->ExecWorkResult = 3;
    host->ExecWorkOut = "out";
    Variant result;
    EXPECT_EQ(broker.RunProgram("PALR01", Variant(), true, VarArrayOf({0, 0, Variant()}), result), 3);
    EXPECT_EQ(result.ToString(), "out");
    EXPECT_TRUE(shown.empty());
    TBrokers lonely(nullptr, &window);
    EXPECT_EQ(lonely.RunProgram("PALR01", Variant(), true, Variant(), result), -1);
}

TEST_F(BrokerFixture, ProgramTitleFromTheRegistry) {
    broker.ConnectServices();
    EXPECT_EQ(broker.ProgramTitle("PALR01"), "PALR01");
    host->Counter->Answers["SimpleSQL"] = VarArrayOf({VarArrayOf({"Chinese title", "English title", "", ""})});
    EXPECT_EQ(broker.ProgramTitle("O'NEIL"), "Chinese title");
    const Variant& params = host->Counter->Calls.back().Args[1];
    EXPECT_EQ(params.At(0).ToString(), "SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='O''NEIL'");
    EXPECT_EQ(params.At(1).ToString(), "MB002,MB011,MB012,MB013");
    EXPECT_EQ(params.At(3).ToString(), "N");
    EXPECT_EQ(VarDebugText(host->Counter->Calls.back().Args[2]), "[\"DEMO\", \"DEMODB\"]");
    window.UIPage = "437";
    EXPECT_EQ(broker.ProgramTitle("PALR01"), "English title");
}

TEST_F(BrokerFixture, WorkflowJobsOfKindOne) {
    broker.ConnectServices();
    broker.FlowSettingA = Gb("流程§");
    std::vector<Variant> data14;
    for (int i = 0; i < 14; ++i) {
        data14.push_back("d" + std::to_string(i));
    }
    std::vector<Variant> data16 = data14;
    data16.push_back("d14");
    data16.push_back("d15");
    struct Case {
        int HostResult;
        bool Sent;
        const char* Message;
    } cases[] = {{0, true, "I200007"}, {1, false, "E200128"}, {2, false, "E200129"}, {3, false, ""}};
    for (const auto& data : {data14, data16}) {
        for (const Case& c : cases) {
            auto responder = Answer(ui::mrOk);
            host->Counter->Answers["INSERTWDJOB"] = c.HostResult;
            EXPECT_EQ(broker.SendWorkflowJob(1, VarArrayOf(data)), c.Sent) << c.HostResult;
            if (*c.Message) {
                ASSERT_EQ(shown.size(), 1u);
                EXPECT_TRUE(shown[0].Text.startsWith(c.Message));
            } else {
                EXPECT_TRUE(shown.empty());
            }
            shown.clear();
        }
        const Variant job = host->Counter->Calls.back().Args[1].At(0);
        const bool wide = data.size() == 16;
        ASSERT_EQ(job.Length(), wide ? 14 : 12);
        EXPECT_EQ(job.At(0).ToString(), "DEMO");
        EXPECT_EQ(job.At(2).ToString(), "d6");
        EXPECT_EQ(job.At(10).ToString(), "936");
        EXPECT_TRUE(job.At(7).IsNull());
        EXPECT_EQ(job.At(wide ? 13 : 11).ToString(), "SP8");
        const Variant document = job.At(4);
        ASSERT_EQ(document.Length(), 17);
        EXPECT_EQ(VarDebugText(document.At(3)), "\"d1\"");
        EXPECT_EQ(document.At(5).ToString(), "d0");
        EXPECT_EQ(document.At(15).ToString(), wide ? "d14" : "d12");
        EXPECT_EQ(document.At(16).ToString(), wide ? "d15" : "d13");
    }
    EXPECT_FALSE(broker.SendWorkflowJob(1, VarArrayOf({"too", "short"})));
    EXPECT_FALSE(broker.SendWorkflowJob(1, "not an array"));
}

TEST_F(BrokerFixture, WorkflowMessageLinkAndHostCommand) {
    broker.ConnectServices();
    host->Counter->Answers["SimpleSQL"] = VarArrayOf({VarArrayOf({"Identity", "", "", ""})});
    EXPECT_TRUE(broker.SendWorkflowJob(3, "01||A"));
    const test::Call& call = host->ExecWorkCalls.back();
    EXPECT_EQ(VarDebugText(call.Args[0]), "[\"DS\", \"DEMO\", \"TMCI05\"]");
    EXPECT_EQ(call.Args[1].At(1).At(2).ToString(),
              "<A href=\"pendex://Zenfor/DEMO/ROVI18/query/01||A\">Identity</A>");
    EXPECT_THROW(broker.SendWorkflowJob(2, VarArrayOf({"x"})), EOleSysError);

    host->ExecWorkOut = true;
    EXPECT_TRUE(broker.ExecHostCommand("PRINT", "doc"));
    EXPECT_EQ(VarDebugText(host->ExecWorkCalls.back().Args[2]), "[Integer:6, Integer:0, \"doc\"]");
    EXPECT_EQ(host->ExecWorkCalls.back().Args[3].ToInt(), 0);
    host->ExecWorkOut = Variant();
    EXPECT_FALSE(broker.ExecHostCommand("PRINT", "doc"));
}

TEST(ProgramID, FromTheModuleFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/corvane/C_PKG/ROVI18C.so", "ROVI18"}, {"ROVI18C.dll", "ROVI18"}, {"rovi18c.so", "ROVI18"},
        {"PALR01.so", "PALR01"},                    {"NODIGIT.so", ""},        {"A1B2C.x.y", "A1B2"},
        {"", ""}};
    for (const auto& [path, id] : cases) {
        EXPECT_EQ(ProgramIDFromFileName(path), id) << path;
    }
}

} // namespace
} // namespace corvane
