#include "module/boundary/Brokers.h"

#include "module/boundary/HostContract.h"
#include "module/util/FormatText.h"
#include "module/util/LibStrs.h"
#include "platform/dataset/DataSet.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/SysUtils.h"
#include "platform/variant/Dispatch.h"

#include <QApplication>
#include <QWidget>

#include <cctype>

namespace corvane {

namespace host = contract::host;

namespace {

// Dialog kind and buttons by message type.
struct TypeLayout {
    ui::MsgDlgType Kind;
    std::vector<ui::MsgDlgBtn> Buttons;
};

TypeLayout LayoutOf(std::string_view type) {
    using namespace ui;
    if (type == "T") {
        return {MsgDlgType::Error, {mbYes, mbNo, mbCancel, mbYesToAll}};
    }
    if (type == "C") {
        return {MsgDlgType::Warning, {mbOK, mbCancel}};
    }
    if (type == "D") {
        return {MsgDlgType::Warning, {mbYes, mbNo, mbCancel}};
    }
    if (type == "E") {
        return {MsgDlgType::Error, {mbOK}};
    }
    if (type == "I") {
        return {MsgDlgType::Information, {mbOK}};
    }
    if (type == "Q") {
        return {MsgDlgType::Confirmation, {mbOK, mbCancel}};
    }
    if (type == "W") {
        return {MsgDlgType::Warning, {mbOK, mbCancel}};
    }
    return {MsgDlgType::Custom, {mbOK}};
}

// Error templates of RunProgram by result code.
std::string RunProgramTemplate(int rc) {
    switch (rc) {
    case -1:
        return BrokerText("[%s]作业程序文档不存在!");
    case -2:
        return BrokerText("[%s]作业程序文档装入失败!");
    case -3:
        return BrokerText("[%s]作业程序启动时无法录入公用元件!");
    case -4:
        return BrokerText("[%s]作业程序启动时取作业权限错误!");
    case -5:
        return BrokerText("[%s]作业程序无运行作业权限!");
    case -6:
        return BrokerText("[%s]作业程序起始化错误!");
    case -7:
        return BrokerText("[%s]作业程序发生不可预知的错误!");
    default:
        return {};
    }
}

std::string Quoted(std::string_view text) { return "'" + ReplaceAll(text, "'", "''") + "'"; }

// Element i of a variant array counted from its low bound, or Empty.
Variant Element(const Variant& array, int i) {
    if (!array.IsArray() || array.DimCount() != 1 || i >= array.Length()) {
        return Variant();
    }
    return array.At(array.LowBound() + i);
}

} // namespace

std::string BrokerText(std::string_view utf8) { return codepage::FromUtf8(utf8, "936"); }

std::string ProgramIDFromFileName(std::string_view path) {
    std::string name = ExtractFileName(path);
    const size_t dot = name.find('.');
    if (dot != std::string::npos) {
        name.resize(dot);
    }
    while (!name.empty() && !std::isdigit(static_cast<unsigned char>(name.back()))) {
        name.pop_back();
    }
    return UpperCase(name);
}

TBrokers::TBrokers(QObject* parent, IBrokerOwner* owner) : QObject(parent), m_owner(owner) {
    setObjectName("Brokers");
}

TBrokers::~TBrokers() = default;

std::string TBrokers::Converted(std::string_view text) const {
    const int mode = m_owner ? m_owner->ConvertMode() : 0;
    return mode == 1 || mode == 2 ? m_owner->ConvertText(text) : std::string(text);
}

QString TBrokers::ToQString(std::string_view text) const {
    std::string page = m_owner ? m_owner->UICodePage() : "936";
    if (!codepage::IsKnownCodePage(page)) {
        page = "936";
    }
    return QString::fromStdString(codepage::ToUtf8(text, page));
}

std::string TBrokers::GetMsgText(std::string_view type, std::string_view code) {
    if (!Host.IsDispatch()) {
        return {};
    }
    return VarToStr(Host.Call(host::GetMessage, {std::string(type), std::string(code)}));
}

int16_t TBrokers::ShowMsg(std::string_view type, std::string_view code, const std::vector<Variant>& args,
                          bool abortIfNotOK, ui::MsgDlgBtn defaultButton) {
    std::string text = Converted(GetMsgText(type == "T" ? "E" : type, code));
    const std::string uiPage = m_owner ? m_owner->UICodePage() : "936";
    if (uiPage == "950" || (m_owner && m_owner->SystemCodePage() == "950")) {
        text += "    ";
    }
    text = FormatText(text + " ", args);
    if (type == "T") {
        text += "\r\n" + Converted(BrokerText("是否继续?"));
    }

    const TypeLayout layout = LayoutOf(type);
    const int mode = m_owner ? m_owner->ConvertMode() : 0;
    if (mode != 0 || codepage::SystemAnsiCodePage() != 936) {
        text += "      ";
    }
    ui::MessageDialogRequest request;
    request.Text = ToQString(text);
    request.Type = layout.Kind;
    request.Buttons = layout.Buttons;
    request.DefaultButton = defaultButton;
    QWidget* parent = m_owner ? m_owner->OwnerWidget() : nullptr;
    request.Parent = parent;
    request.Caption = parent ? parent->windowTitle() : QString();
    if (uiPage != "437") {
        for (ui::MsgDlgBtn button : layout.Buttons) {
            std::string caption = LocalizedButtonCaption(ui::kButtonNames[button]);
            if (mode == 2) {
                caption = m_owner->ConvertText(caption);
            }
            request.ButtonCaptions[button] = ToQString(caption);
        }
    }
    request.Font = QFont("SimSun");
    request.FontCharset = mode == 2 || mode == 3 ? "BIG5" : "GB2312";
    const int result = ui::ShowMessageDialog(request);
    if (type == "W" && result != ui::mrOk && abortIfNotOK) {
        Abort();
    }
    if (m_owner) {
        m_owner->AfterMessage();
    }
    return static_cast<int16_t>(result);
}

void TBrokers::GetParam(std::string_view name, std::string& value) const {
    if (!name.empty()) {
        value = ProgramParams.Value(name);
    }
}

std::string TBrokers::GetParam(std::string_view name) const { return ProgramParams.Value(name); }

void TBrokers::SetParam(std::string_view name, std::string_view value) {
    if (!name.empty()) {
        ProgramParams.SetValue(name, value);
    }
}

bool TBrokers::ConnectServices() {
    if (!Host.IsDispatch()) {
        return false;
    }
    try {
        const std::pair<unsigned, std::pair<std::string_view, Variant*>> services[] = {
            {0x02, {host::Com_Validator, &Com_Validator}},
            {0x04, {host::Com_F2Window, &Com_F2Window}},
            {0x08, {host::Com_Counter, &Com_Counter}},
        };
        for (const auto& [bit, service] : services) {
            if ((FetchServices & bit) && !service.second->IsDispatch()) {
                *service.second = Host.Get(service.first);
            }
        }
        LoadProgramInfo();
        return true;
    } catch (const std::exception&) {
        for (int i = 0; i < 3; ++i) {
            QApplication::beep();
        }
        return false;
    }
}

void TBrokers::LoadProgramInfo() {
    ProgramName.clear();
    Variant data;
    if (!CheckValue("ADMMB", "06", VarArrayOf({ProgramID, DBName}), data) || !data.IsArray() || data.Length() == 0) {
        return;
    }
    ProgramName = VarToStr(Element(data, 0));
    PrintProgram = VarToStr(Element(data, 1));
    TxnParams[0] = VarToStr(Element(data, 2));
    TxnParams[1] = VarToStr(Element(data, 3));
    FlowSettingA = VarToStr(Element(data, 5));
    FlowSettingB = VarToStr(Element(data, 6));
    ProgramFlag = VarToStr(Element(data, 7)) == "Y";
    const std::string kind = VarToStr(Element(data, 8));
    ProgramKind = kind == "W" ? 1 : kind == "E" ? 2 : kind == "Z" ? 3 : 0;
    if (data.Length() > 9 && m_owner && m_owner->UICodePage() == "437") {
        ProgramName = VarToStr(Element(data, 9));
    }
}

bool TBrokers::LoadProgramParams() {
    if (!Com_Counter.IsDispatch()) {
        return false;
    }
    Variant company = CompanyID;
    const Variant result = Com_Counter.Call(host::GetSysInfo, {VarRef(company)});
    if (!result.IsArray() || result.DimCount() != 2) {
        return false;
    }
    for (int i = result.LowBound(2); i <= result.HighBound(2); ++i) {
        SetParam(VarToStr(result.At(result.LowBound(1), i)), VarToStr(result.At(result.LowBound(1) + 1, i)));
    }
    return true;
}

Variant TBrokers::CallCounter(std::string_view function, const Variant& params) {
    if (!Com_Counter.IsDispatch()) {
        return Variant();
    }
    Variant name = std::string(function);
    Variant arguments = params;
    return Com_Counter.Call(host::GETCOUNTER, {VarRef(name), VarRef(arguments), VarArrayOf({CompanyID, DBName})});
}

void TBrokers::WriteBaseLimited() {
    try {
        Com_Validator.Put(host::BaseLimited, ServerInfo.Value("BaseLimited"));
    } catch (const std::exception&) {
        // A validator that does not take the limits still answers the check.
    }
}

bool TBrokers::CallValidator(std::string_view member, std::string_view table, std::string_view kind,
                             const Variant& keys, Variant& data) {
    if (!Com_Validator.IsDispatch()) {
        return false;
    }
    WriteBaseLimited();
    try {
        Variant db = DBName;
        Variant keyArray = keys;
        Variant row;
        const bool found =
            Com_Validator.Call(member, {std::string(table), std::string(kind), VarRef(db), VarRef(keyArray), VarRef(row)})
                .ToBool();
        data = row;
        return found;
    } catch (const std::exception&) {
        return false;
    }
}

bool TBrokers::CheckValue(std::string_view table, std::string_view kind, const Variant& keys, Variant& data) {
    return CallValidator(host::CheckValue, table, kind, keys, data);
}

bool TBrokers::QueryData(std::string_view table, std::string_view kind, const Variant& keys, Variant& data) {
    return CallValidator(host::QueryData, table, kind, keys, data);
}

std::string TBrokers::QueryMaxSeq(data::DataSet& dataSet, std::string_view table, std::string_view dateText,
                                  std::string_view keyFields) {
    const std::string unknown = "unKnow";
    if (!Com_Validator.IsDispatch()) {
        return unknown;
    }
    try {
        std::vector<Variant> values;
        const int count = CountTokens(keyFields, ",");
        for (int i = 1; i < count; ++i) {
            values.push_back(dataSet.FieldByName(Trim(NthToken(keyFields, ",", i))).AsString());
        }
        values.push_back(std::string());
        WriteBaseLimited();
        Variant tableArg = std::string(table);
        Variant fieldsArg = std::string(keyFields);
        Variant valuesArg = VarArrayOf(values);
        Variant dateArg = std::string(dateText);
        Variant programArg = ProgramID;
        Variant dbArg = DBName;
        Variant next;
        const bool found = Com_Validator
                               .Call(host::QueryMaxSeq, {VarRef(tableArg), VarRef(fieldsArg), VarRef(valuesArg),
                                                         VarRef(dateArg), VarRef(programArg), VarRef(dbArg), VarRef(next)})
                               .ToBool();
        return found ? VarToStr(next) : unknown;
    } catch (const std::exception&) {
        return unknown;
    }
}

int TBrokers::MaxRecords() const {
    long long value = 0;
    if (!TryParseInt(ServerInfo.Value("MAX_RECORD"), value)) {
        return 0;
    }
    return static_cast<int>(std::min<long long>(value, 40));
}

Variant TBrokers::F2Lookup(std::string_view table, std::string_view kind, const Variant& extra,
                           std::string_view currentText, bool flagA, bool flagB, uintptr_t parentHandle,
                           std::string_view text1, std::string_view text2, std::string_view text3) {
    const int mode = m_owner ? m_owner->LookupMode() : 0;
    const std::string baseLimited = ServerInfo.Value("BaseLimited");
    if (mode == 1) {
        const bool withTexts = !text1.empty();
        m_owner->SetLookupOpenParams(VarArrayOf({std::string(table), std::string(kind), extra, 1,
                                                 std::string(currentText), DBName, 0,
                                                 withTexts ? std::string(text1) : std::string(),
                                                 withTexts ? std::string(text2) : std::string(),
                                                 withTexts ? std::string(text3) : std::string(), baseLimited, "", "",
                                                 "9"}));
        return Variant();
    }
    if (mode == 2) {
        return m_owner->LookupReturnValue();
    }
    if (!Com_F2Window.IsDispatch()) {
        return Variant();
    }
    const uintptr_t handle = parentHandle ? parentHandle : (m_owner ? m_owner->OwnerHandle() : 0);
    Variant request = VarArrayOf({
        std::string(table),
        std::string(kind),
        extra,
        flagA,
        std::string(currentText),
        CompanyID,
        DBName,
        static_cast<long long>(handle),
        1,
        flagB,
        0,
        std::string(text1),
        std::string(text2),
        std::string(text3),
        baseLimited,
        m_owner && (m_owner->HasPowerRight(33) || m_owner->HasPowerRight(35)),
        m_owner && (m_owner->HasPowerRight(32) || m_owner->HasPowerRight(34)),
        Host,
        UserID,
    });
    return Com_F2Window.Call(host::F2GetData, {VarRef(request)});
}

std::string TBrokers::ShowInputDay(bool calendarFlag, std::string_view dateText) {
    if (!Com_F2Window.IsDispatch()) {
        return {};
    }
    return VarToStr(Com_F2Window.Call(host::ShowInputDay, {VarArrayOf({calendarFlag, std::string(dateText), DBName})}));
}

std::string TBrokers::GetPhrase(std::string_view start) {
    if (!Com_F2Window.IsDispatch()) {
        return {};
    }
    Variant phrase = std::string(start);
    const uintptr_t handle = m_owner ? m_owner->OwnerHandle() : 0;
    const int result = Com_F2Window
                           .Call(host::GetPhrase2, {UserID, CompanyID, static_cast<long long>(handle), VarRef(phrase)})
                           .ToInt();
    return result < 0 ? std::string() : VarToStr(phrase);
}

Variant TBrokers::ShowCharacters(int kind, bool flag, uintptr_t handle, std::string_view user,
                                 std::string_view company) {
    if (!Com_F2Window.IsDispatch()) {
        return Variant();
    }
    Variant userArg = user.empty() ? UserID : std::string(user);
    Variant companyArg = company.empty() ? CompanyID : std::string(company);
    Variant kindArg = kind;
    Variant handleArg = std::to_string(handle ? handle : (m_owner ? m_owner->OwnerHandle() : 0));
    return Com_F2Window.Call(host::ShowCharaters, {VarRef(userArg), VarRef(companyArg), VarRef(kindArg), flag,
                                                   VarRef(handleArg)});
}

std::string TBrokers::GetCalcValue(std::string_view expression) {
    if (!Com_F2Window.IsDispatch()) {
        return {};
    }
    try {
        Variant expr = std::string(expression);
        const uintptr_t handle = m_owner ? m_owner->OwnerHandle() : 0;
        return VarToStr(Com_F2Window.Call(host::GetCalcValue, {VarRef(expr), static_cast<long long>(handle)}));
    } catch (const std::exception&) {
        const std::string text = BrokerText("请更新V2ArozazA.dll");
        ShowMsg("E", "000032", {m_owner ? m_owner->ToDisplay(text) : text});
        return {};
    }
}

int TBrokers::RunProgram(std::string_view code, const Variant& params, bool showErrors, const Variant& options,
                         Variant& result) {
    if (!Host.IsDispatch()) {
        return -1;
    }
    const uintptr_t handle = m_owner ? m_owner->OwnerHandle() : 0;
    Variant program = VarArrayOf({UserID, CompanyID, std::string(code), static_cast<long long>(handle)});
    Variant opts = options.IsEmptyOrNull() ? VarArrayOf({0, 4, Variant()}) : options;
    result = Variant();
    const int rc =
        Host.Call(host::ExecWork, {VarRef(program), params, VarRef(opts), 2, VarRef(result)}).ToInt();
    if (!showErrors || rc >= 0) {
        return rc;
    }
    const std::string title = Converted(ProgramTitle(code));
    const std::string text = FormatText(Converted(RunProgramTemplate(rc)), {title});
    ShowMsg("E", "000032", {text});
    return rc;
}

std::string TBrokers::ProgramTitle(std::string_view code) {
    std::string title(code);
    const std::string sql = "SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001=" + Quoted(code);
    const Variant rows = CallCounter(host::SimpleSQL, VarArrayOf({sql, "MB002,MB011,MB012,MB013", DBName, "N"}));
    if (rows.IsArray() && rows.Length() > 0) {
        const Variant first = Element(rows, 0);
        const bool english = m_owner && m_owner->UICodePage() == "437";
        title = VarToStr(Element(first, english ? 1 : 0));
    }
    return title;
}

bool TBrokers::SendWorkflowJob(int kind, const Variant& data) {
    if (kind == 1) {
        try {
            if (!data.IsArray() || (data.Length() != 14 && data.Length() != 16)) {
                return false;
            }
            const bool wide = data.Length() == 16;
            const std::string marker = FlowSettingA.find(BrokerText("§")) != std::string::npos ? "SP8" : "SP7";
            std::vector<Variant> document = {UserID, CompanyID, ProgramID, Element(data, 1), Element(data, 2),
                                             Element(data, 0)};
            for (int i = 3; i <= 11; ++i) {
                document.push_back(Element(data, i));
            }
            document.push_back(Element(data, wide ? 14 : 12));
            document.push_back(Element(data, wide ? 15 : 13));
            std::vector<Variant> job = {CompanyID, ProgramID,     Element(data, 6), UserID,         VarArrayOf(document),
                                        "N",       std::string(), Variant::Null(),  Variant::Null(), std::string(),
                                        "936"};
            if (wide) {
                job.push_back(Element(data, 12));
                job.push_back(Element(data, 13));
            }
            job.push_back(marker);
            const Variant answer = CallCounter(host::INSERTWDJOB, VarArrayOf({VarArrayOf(job)}));
            const int rc = answer.IsEmptyOrNull() ? -1 : answer.ToInt();
            if (rc == 0) {
                ShowMsg("I", "200007");
                return true;
            }
            if (rc == 1) {
                ShowMsg("E", "200128");
            } else if (rc == 2) {
                ShowMsg("E", "200129");
            }
            return false;
        } catch (const EAbort&) {
            throw;
        } catch (const std::exception&) {
            return false;
        }
    }
    if (kind == 2) {
        Variant pager(CreateOleObject("KTCPagerC.Class1"));
        if (pager.IsDispatch()) {
            pager.Call("ShowSendHelmar", {UserID, VarArrayOf({CompanyID, ProgramID}), Element(data, 0), Variant()});
        }
        return true;
    }
    if (kind == 3) {
        const std::string link = "<A href=\"pendex://Zenfor/" + CompanyID + "/" + ProgramID + "/query/" +
                                 VarToStr(data) + "\">" + ProgramTitle(ProgramID) + "</A>";
        Variant program = VarArrayOf({UserID, CompanyID, std::string(host::MessageProgram)});
        Variant options = VarArrayOf({0, 4, Variant()});
        Variant result;
        Host.Call(host::ExecWork, {VarRef(program), VarArrayOf({"0", VarArrayOf({"", "", link})}), VarRef(options), 2,
                                   VarRef(result)});
        return true;
    }
    return false;
}

bool TBrokers::ExecHostCommand(const Variant& target, const Variant& data) {
    Variant program = target;
    Variant options = VarArrayOf({6, 0, data});
    Variant result;
    Host.Call(host::ExecWork, {VarRef(program), Variant(), VarRef(options), 0, VarRef(result)});
    return !result.IsEmptyOrNull() && result.ToBool();
}

} // namespace corvane
