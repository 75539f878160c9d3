// The one object through which a program window and its data module reach
// the host work center: the login identity, the program's registry entry and
// parameters, coded messages, server functions and SQL through the counter,
// key checks and lookups, sequence numbers, the lookup window and pickers,
// starting other programs and sending documents to the workflow.
//
// Texts are 8-bit in the interface code page. Name=value lists compare names
// without regard to case and an empty value removes the line.
#pragma once

#include "module/boundary/BrokerOwner.h"
#include "module/util/NameValueList.h"
#include "platform/ui/MessageDialog.h"
#include "platform/variant/Variant.h"

#include <QObject>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

namespace data {
class DataSet;
}

// The text of "是否继续?" and the other fixed texts of the broker, in code page 936.
std::string BrokerText(std::string_view utf8);

// The program code of a module file: the file name up to its first ".", cut
// back to its last digit, in upper case ("ROVI18C.so" gives "ROVI18"); empty
// when no digit stands before the dot.
std::string ProgramIDFromFileName(std::string_view path);

class TBrokers : public QObject {
public:
    // `owner` is the program window, which also owns the broker as its parent.
    TBrokers(QObject* parent, IBrokerOwner* owner);
    ~TBrokers() override;

    // Login identity and program.
    std::string ProgramID;
    std::string UserID;
    std::string UserGroup;
    std::string CompanyID;
    std::string DBName;
    std::string ProgramName;
    std::string PrintProgram;
    std::string TxnParams[2];
    std::string FlowSettingA;
    std::string FlowSettingB;
    bool ProgramFlag = false;
    int ProgramKind = 0;
    NameValueList ProgramParams;
    NameValueList ServerInfo;

    Variant Host;
    Variant Com_F2Window;
    Variant Com_Validator;
    Variant Com_Counter;
    // Which service objects ConnectServices fetches: 0x02 validator, 0x04 lookup window, 0x08 counter.
    unsigned FetchServices = 0x0F;

    // Shows a coded message; answers the dialog's modal result. A "W" message
    // not answered OK raises the silent abort when abortIfNotOK is set.
    int16_t ShowMsg(std::string_view type, std::string_view code, const std::vector<Variant>& args = {},
                    bool abortIfNotOK = true, ui::MsgDlgBtn defaultButton = ui::mbOK);
    std::string GetMsgText(std::string_view type, std::string_view code);
    // Leaves `value` as it was for an empty name.
    void GetParam(std::string_view name, std::string& value) const;
    std::string GetParam(std::string_view name) const;
    void SetParam(std::string_view name, std::string_view value);

    bool ConnectServices();
    void LoadProgramInfo();
    bool LoadProgramParams();

    Variant CallCounter(std::string_view function, const Variant& params);
    bool CheckValue(std::string_view table, std::string_view kind, const Variant& keys, Variant& data);
    bool QueryData(std::string_view table, std::string_view kind, const Variant& keys, Variant& data);
    std::string QueryMaxSeq(data::DataSet& dataSet, std::string_view table, std::string_view dateText,
                            std::string_view keyFields);
    int MaxRecords() const;

    Variant F2Lookup(std::string_view table, std::string_view kind, const Variant& extra, std::string_view currentText,
                     bool flagA, bool flagB, uintptr_t parentHandle = 0, std::string_view text1 = {},
                     std::string_view text2 = {}, std::string_view text3 = {});
    std::string ShowInputDay(bool calendarFlag, std::string_view dateText);
    std::string GetPhrase(std::string_view start);
    Variant ShowCharacters(int kind, bool flag, uintptr_t handle, std::string_view user, std::string_view company);
    std::string GetCalcValue(std::string_view expression);

    int RunProgram(std::string_view code, const Variant& params, bool showErrors, const Variant& options,
                   Variant& result);
    std::string ProgramTitle(std::string_view code);
    bool SendWorkflowJob(int kind, const Variant& data);
    bool ExecHostCommand(const Variant& target, const Variant& data);

    IBrokerOwner* Owner() const { return m_owner; }

private:
    bool CallValidator(std::string_view member, std::string_view table, std::string_view kind, const Variant& keys,
                       Variant& data);
    void WriteBaseLimited();
    // A text in code page 936 as the owner shows it (converted for mode 1 or 2).
    std::string Converted(std::string_view text) const;
    QString ToQString(std::string_view text) const;

    IBrokerOwner* m_owner;
};

} // namespace corvane
