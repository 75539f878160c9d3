// A small program window for the boundary tests: it implements what the
// controller needs of a window and what the broker needs of its owner, and
// records how it was started.
#pragma once

#include "module/boundary/BrokerOwner.h"
#include "module/boundary/Brokers.h"
#include "module/boundary/ProgramWindow.h"

#include <QWidget>

namespace corvane::test {

class TestWindow : public QWidget, public IProgramWindow, public IBrokerOwner {
public:
    TestWindow();
    ~TestWindow() override;

    // IProgramWindow
    QWidget* Widget() override { return this; }
    void SetModuleFileName(const std::string& path) override { ModuleFileName = path; }
    TBrokers& Broker() override { return *m_broker; }
    bool Initialize(const Variant& params) override;
    uint16_t Rights() const override { return m_rights; }
    void SetRights(uint16_t rights) override { m_rights = rights; }
    int CallKind() const override { return m_callKind; }
    void SetCallKind(int kind) override { m_callKind = kind; }
    Variant CallParam() const override { return m_callParam; }
    void SetCallParam(const Variant& param) override { m_callParam = param; }
    std::string FilterText() const override { return m_filterText; }
    void SetFilterText(const std::string& text) override { m_filterText = text; }
    Variant FilterParam() const override { return m_filterParam; }
    void SetFilterParam(const Variant& param) override { m_filterParam = param; }
    void UpdateActions() override { ++UpdateActionsCalls; }
    Variant ReturnValue() const override { return Returned; }
    int ResultCode() const override { return Result; }
    std::string VersionStamp() const override { return "2026.12.11"; }
    bool Destroying() const override { return m_destroying; }
    void ShowModalWindow() override;
    TNotifyEvent& OnShow() override { return m_onShow; }
    TNotifyEvent& OnHide() override { return m_onHide; }
    TNotifyEvent& OnDestroy() override { return m_onDestroy; }
    TCloseEvent& OnClose() override { return m_onClose; }

    // IBrokerOwner
    QWidget* OwnerWidget() override { return this; }
    uintptr_t OwnerHandle() override { return 4242; }
    int ConvertMode() const override { return Mode; }
    std::string UICodePage() const override { return UIPage; }
    std::string SystemCodePage() const override { return SystemPage; }
    std::string ConvertText(std::string_view text) const override;
    std::string ToDisplay(std::string_view text) const override { return std::string(text); }
    void AfterMessage() override { ++AfterMessageCalls; }
    int LookupMode() const override { return LookupModeValue; }
    void SetLookupOpenParams(const Variant& params) override { LookupOpenParams = params; }
    Variant LookupReturnValue() const override { return LookupReturn; }
    bool HasPowerRight(int element) const override;

    // What a test sets and reads.
    std::string ModuleFileName;
    Variant StartParams;
    Variant Returned;
    int Result = 2;
    int UpdateActionsCalls = 0;
    int AfterMessageCalls = 0;
    int Mode = 0;
    std::string UIPage = "936";
    std::string SystemPage = "936";
    int LookupModeValue = 0;
    Variant LookupOpenParams;
    Variant LookupReturn;
    std::vector<int> PowerRights;
    // The close action the window's own close handling chooses.
    TCloseAction CloseChoice = TCloseAction::caFree;

    static TestWindow* Last;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TBrokers* m_broker;
    uint16_t m_rights = kAllRights;
    int m_callKind = 0;
    Variant m_callParam;
    std::string m_filterText;
    Variant m_filterParam;
    bool m_destroying = false;
    bool m_modal = false;
    TNotifyEvent m_onShow, m_onHide, m_onDestroy;
    TCloseEvent m_onClose;
};

// The window class the tests register as frmRadicalClass.
IProgramWindow* NewTestWindow();

} // namespace corvane::test
