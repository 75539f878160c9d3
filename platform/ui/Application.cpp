#include "platform/ui/Application.h"

#include "platform/sys/Exceptions.h"
#include "platform/ui/MessageDialog.h"

namespace corvane::ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& error) {
        ShowUnexpectedError(error);
        return false;
    } catch (...) {
        ShowUnexpectedError(Exception("An unknown error occurred"));
        return false;
    }
}

void Application::ShowUnexpectedError(const std::exception& error) {
    if (OnUnexpectedError) {
        try {
            OnUnexpectedError(error);
        } catch (...) {
            // Reporting must not fail the report.
        }
    }
    MessageDialogRequest request;
    request.Type = MsgDlgType::Error;
    request.Buttons = {mbOK};
    request.DefaultButton = mbOK;
    request.Caption = QApplication::applicationDisplayName();
    request.Text = QString::fromUtf8(error.what());
    request.Parent = QApplication::activeWindow();
    ShowMessageDialog(request);
}

} // namespace corvane::ui
