#include "module/boundary/DLLMTCtrller.h"

#include "module/boundary/Brokers.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/SysUtils.h"
#include "platform/ui/MessageDialog.h"

#include <QWidget>

corvane::TFormClass frmRadicalClass = nullptr;

namespace corvane {
namespace {

const char* const kTooNewText = "This program's version is too old, please update.";
const char* const kTooOldText = "HelmarWorkCenter version too old,please update.";
const char* const kVersionFailedText = "HelmarWorkCenter version too old,please update!";

void PlainMessage(const char* text) {
    ui::MessageDialogRequest request;
    request.Text = QString::fromLatin1(text);
    request.Type = ui::MsgDlgType::Custom;
    request.Buttons = {ui::mbOK};
    request.DefaultButton = ui::mbOK;
    ui::ShowMessageDialog(request);
}

// The module registers its controller class when it is loaded.
const bool kRegistered = [] {
    DLLControllerClass = &NewMTController;
    return true;
}();

// Host rights bit -> window rights bit.
constexpr std::pair<int32_t, uint16_t> kRightsMap[] = {
    {0x01, 0x01}, {0x02, 0x08}, {0x04, 0x04}, {0x08, 0x02}, {0x10, 0x10}, {0x20, 0x20}, {0x40, 0x40}, {0x80, 0x80},
};

} // namespace

TDLLBaseController* NewMTController() {
    (void)kRegistered;
    return new TDLLMTCtrller();
}

TDLLMTCtrller::~TDLLMTCtrller() {
    if (Form) {
        CloseForm(false);
    }
}

int TDLLMTCtrller::TranslateCallKind(int hostKind) {
    switch (hostKind) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 7:
    case 8:
        return hostKind;
    case 10:
        return 9;
    case 12:
        return 10;
    case 13:
        return 11;
    default:
        return 0;
    }
}

uint16_t TDLLMTCtrller::TranslateRights(uint16_t windowRights, int32_t hostRights) {
    for (const auto& [hostBit, windowBit] : kRightsMap) {
        if (!(hostRights & hostBit)) {
            windowRights = static_cast<uint16_t>(windowRights & ~windowBit);
        }
    }
    return windowRights;
}

void TDLLMTCtrller::GetVersion(std::u16string& version) {
    if (Form) {
        version = codepage::ToUtf16(Form->VersionStamp(), "1252");
    }
}

int16_t TDLLMTCtrller::GetVisible() { return Form && Form->Widget()->isVisible() ? -1 : 0; }

void TDLLMTCtrller::SetVisible(int16_t value) {
    if (!Form) {
        return;
    }
    QWidget* widget = Form->Widget();
    widget->setVisible(value != 0);
    if (value != 0) {
        if (widget->isMinimized()) {
            widget->showNormal();
        }
        widget->raise();
        widget->activateWindow();
    }
}

uintptr_t TDLLMTCtrller::GetHandle() { return Form ? static_cast<uintptr_t>(Form->Widget()->winId()) : 0; }

// Only the host version 8000 passes; anything else, or a host that cannot
// answer, gives the messages and the error the host expects.
void TDLLMTCtrller::CheckHostVersion() {
    try {
        const int version = Host.Get("DependencyVersion").ToInt();
        if (version > 8000) {
            PlainMessage(kTooNewText);
            throw Exception(kTooNewText);
        }
        if (Host.Get("DependencyVersion").ToInt() < 8000) {
            PlainMessage(kTooOldText);
            throw Exception(kTooOldText);
        }
    } catch (const std::exception& error) {
        PlainMessage(kVersionFailedText);
        throw Exception(std::string(kVersionFailedText) + error.what());
    }
}

void TDLLMTCtrller::HookForm() {
    if (m_hooked || !Form) {
        return;
    }
    m_hooked = true;
    OldOnShow = Form->OnShow();
    OldOnHide = Form->OnHide();
    OldOnDestroy = Form->OnDestroy();
    OldOnClose = Form->OnClose();
    Form->OnShow() = [this](QObject* sender) { DoShow(sender); };
    Form->OnHide() = [this](QObject* sender) { DoHide(sender); };
    Form->OnDestroy() = [this](QObject* sender) { DoDestroy(sender); };
    Form->OnClose() = [this](QObject* sender, TCloseAction& action) { DoClose(sender, action); };
}

int TDLLMTCtrller::CreateForm(const Variant& params) {
    const Variant kept = params;
    int result = -1;
    if (!Form) {
        if (!frmRadicalClass) {
            throw Exception(InternalErrorText("Not Assign \"frmRadicalClass\" varible"));
        }
        Form = frmRadicalClass();
        m_hooked = false;
        Form->SetModuleFileName(ModuleFileName(reinterpret_cast<const void*>(&NewMTController)).substr(0, 260));
        CheckHostVersion();
        Form->Broker().Host = Host;
        DoCreated();
    }
    HookForm();
    if (Form->Initialize(kept)) {
        result = 0;
    }
    return result;
}

int TDLLMTCtrller::SetParams(const Variant& params) {
    if (!Form || !params.IsArray()) {
        return -1;
    }
    std::string filterText;
    Variant filterParam;
    bool hasParam = false;
    try {
        const Variant& second = params.At(params.LowBound() + 1);
        if (second.IsArray()) {
            filterText = VarToStr(second.At(second.LowBound()));
            filterParam = second.At(second.LowBound() + 1);
            hasParam = true;
        } else {
            filterText = VarToStr(second);
        }
    } catch (const std::exception&) {
        return -1;
    }
    Form->SetFilterText(filterText);
    if (hasParam) {
        Form->SetFilterParam(filterParam);
    }
    return 0;
}

int TDLLMTCtrller::SetCallMode(int32_t callKind, int32_t rights, const Variant& param) {
    if (!Form) {
        return -1;
    }
    Form->SetRights(TranslateRights(Form->Rights(), rights));
    Form->UpdateActions();
    Form->SetCallKind(TranslateCallKind(callKind));
    if (callKind == 7 || callKind == 8 || callKind == 10) {
        Form->SetCallParam(param);
    }
    return 0;
}

void TDLLMTCtrller::ShowModal(Variant& returnValue) {
    if (!Form) {
        return;
    }
    Form->ShowModalWindow();
    if (Form) {
        returnValue = Form->ReturnValue();
    }
    CloseForm(false);
}

void TDLLMTCtrller::CloseForm(bool silent) {
    if (!Form || Form->Destroying()) {
        return;
    }
    if (!silent) {
        TCloseAction action = TCloseAction::caHide;
        DoClose(Form->Widget(), action);
    }
    if (Form) {
        delete Form->Widget();
        // A window that was never hooked does not report its own destruction.
        Form = nullptr;
    }
}

int TDLLMTCtrller::GetInfo(Variant& info) {
    if (!Form) {
        return -1;
    }
    const TBrokers& broker = Form->Broker();
    info = VarArrayCreate({0, 3});
    info.At(0) = broker.UserID;
    info.At(1) = broker.CompanyID;
    info.At(2) = broker.ProgramID;
    info.At(3) = broker.ProgramName;
    return 0;
}

bool TDLLMTCtrller::FormFreed() { return Form == nullptr; }

void TDLLMTCtrller::DoShow(QObject* sender) {
    if (OldOnShow) {
        OldOnShow(sender);
    }
    Notify(kNotifyShown);
}

void TDLLMTCtrller::DoHide(QObject* sender) {
    if (OldOnHide) {
        OldOnHide(sender);
    }
    Notify(kNotifyHidden);
}

void TDLLMTCtrller::DoDestroy(QObject* sender) {
    if (Form) {
        ResultCode = Form->ResultCode();
        ReturnValue = Form->ReturnValue();
        if (OldOnDestroy) {
            OldOnDestroy(sender);
        }
        Notify(kNotifyDestroyed);
    }
    Form = nullptr;
}

void TDLLMTCtrller::DoClose(QObject* sender, TCloseAction& action) {
    if (OldOnClose) {
        OldOnClose(sender, action);
    }
    Notify(kNotifyClosing);
}

} // namespace corvane
