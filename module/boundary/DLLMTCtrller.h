// The controller of a program window: creates the window from the class
// variable frmRadicalClass, checks the host's version, hooks the window's
// show, hide, destroy and close events to send the host its notifications,
// and translates the host's call kind and rights for the window.
#pragma once

#include "module/boundary/DLLBaseCtrller.h"
#include "module/boundary/ProgramWindow.h"

#include <QPointer>

namespace corvane {

using TFormClass = IProgramWindow* (*)();

class TDLLMTCtrller : public TDLLBaseController {
public:
    TDLLMTCtrller() = default;
    ~TDLLMTCtrller() override;

    void GetVersion(std::u16string& version) override;
    int16_t GetVisible() override;
    void SetVisible(int16_t value) override;
    uintptr_t GetHandle() override;
    int CreateForm(const Variant& params) override;
    int SetParams(const Variant& params) override;
    int SetCallMode(int32_t callKind, int32_t rights, const Variant& param) override;
    void ShowModal(Variant& returnValue) override;
    void CloseForm(bool silent) override;
    int GetInfo(Variant& info) override;
    bool FormFreed() override;
    void DoShow(QObject* sender) override;
    void DoHide(QObject* sender) override;
    void DoDestroy(QObject* sender) override;
    void DoClose(QObject* sender, TCloseAction& action) override;

    IProgramWindow* Form = nullptr;
    TNotifyEvent OldOnShow;
    TNotifyEvent OldOnHide;
    TNotifyEvent OldOnDestroy;
    TCloseEvent OldOnClose;

    // The window's call kind for a host call kind (0 for kinds it does not know).
    static int TranslateCallKind(int hostKind);
    // The window's rights after clearing those the host's bits withhold.
    static uint16_t TranslateRights(uint16_t windowRights, int32_t hostRights);

private:
    void CheckHostVersion();
    void HookForm();

    bool m_hooked = false;
};

// Registers this controller as the module's controller class.
TDLLBaseController* NewMTController();

} // namespace corvane

extern "C" {
// The program window class; the module's main block sets it when the module loads.
extern corvane::TFormClass frmRadicalClass;
}
