#include "tests/module/boundary/TestWindow.h"

#include "platform/sys/CodePage.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace corvane::test {

TestWindow* TestWindow::Last = nullptr;

TestWindow::TestWindow() : m_broker(new TBrokers(this, this)) {
    setWindowTitle("Test window");
    Last = this;
}

TestWindow::~TestWindow() {
    m_destroying = true;
    if (m_onDestroy) {
        m_onDestroy(this);
    }
    if (Last == this) {
        Last = nullptr;
    }
}

bool TestWindow::Initialize(const Variant& params) {
    StartParams = params;
    if (!params.IsArray() || params.Length() < 5) {
        return false;
    }
    Broker().UserID = VarToStr(params.At(params.LowBound()));
    Broker().CompanyID = VarToStr(params.At(params.LowBound() + 1));
    Broker().DBName = VarToStr(params.At(params.LowBound() + 2));
    Broker().ProgramID = ProgramIDFromFileName(ModuleFileName);
    Broker().ProgramName = "Identity types";
    return true;
}

void TestWindow::ShowModalWindow() {
    setWindowModality(Qt::ApplicationModal);
    m_modal = true;
    show();
    QEventLoop loop;
    while (isVisible()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    m_modal = false;
}

std::string TestWindow::ConvertText(std::string_view text) const {
    // Stands for simplified-to-traditional conversion: the same characters in code page 950.
    return Mode == 2 ? codepage::Convert(text, "936", "950") : std::string(text);
}

bool TestWindow::HasPowerRight(int element) const {
    return std::find(PowerRights.begin(), PowerRights.end(), element) != PowerRights.end();
}

void TestWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_onShow) {
        m_onShow(this);
    }
    // A host that starts the window with this filter wants it to close by itself.
    if (m_filterText == "CLOSE-ON-SHOW") {
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void TestWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_onHide) {
        m_onHide(this);
    }
}

void TestWindow::closeEvent(QCloseEvent* event) {
    TCloseAction action = CloseChoice;
    if (m_onClose) {
        m_onClose(this, action);
    }
    if (action == TCloseAction::caNone) {
        event->ignore();
        return;
    }
    event->accept();
    // A modal window is freed by whoever showed it, once the modal run is over.
    if (action == TCloseAction::caFree && !m_modal) {
        deleteLater();
    }
}

IProgramWindow* NewTestWindow() { return new TestWindow(); }

} // namespace corvane::test
