#include "platform/ui/MessageDialog.h"

#include "platform/ui/Responder.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace corvane::ui {
namespace {

QMessageBox::ButtonRole RoleOf(MsgDlgBtn button) {
    switch (button) {
    case mbYes:
    case mbYesToAll:
    case mbAll:
        return QMessageBox::YesRole;
    case mbNo:
    case mbNoToAll:
        return QMessageBox::NoRole;
    case mbOK:
        return QMessageBox::AcceptRole;
    case mbCancel:
    case mbAbort:
        return QMessageBox::RejectRole;
    case mbHelp:
        return QMessageBox::HelpRole;
    default:
        return QMessageBox::ActionRole;
    }
}

QString PlatformCaption(MsgDlgBtn button) {
    switch (button) {
    case mbYes:
        return QMessageBox::tr("&Yes");
    case mbNo:
        return QMessageBox::tr("&No");
    case mbOK:
        return QMessageBox::tr("OK");
    case mbCancel:
        return QMessageBox::tr("Cancel");
    case mbAbort:
        return QMessageBox::tr("&Abort");
    case mbRetry:
        return QMessageBox::tr("&Retry");
    case mbIgnore:
        return QMessageBox::tr("&Ignore");
    case mbAll:
        return QMessageBox::tr("&All");
    case mbNoToAll:
        return QMessageBox::tr("N&o to All");
    case mbYesToAll:
        return QMessageBox::tr("Yes to &All");
    case mbHelp:
        return QMessageBox::tr("&Help");
    }
    return {};
}

QMessageBox::Icon IconOf(MsgDlgType type) {
    switch (type) {
    case MsgDlgType::Warning:
        return QMessageBox::Warning;
    case MsgDlgType::Error:
        return QMessageBox::Critical;
    case MsgDlgType::Information:
        return QMessageBox::Information;
    case MsgDlgType::Confirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int ModalResultOf(MsgDlgBtn button) {
    switch (button) {
    case mbYes:
        return mrYes;
    case mbNo:
        return mrNo;
    case mbOK:
        return mrOk;
    case mbCancel:
        return mrCancel;
    case mbAbort:
        return mrAbort;
    case mbRetry:
        return mrRetry;
    case mbIgnore:
        return mrIgnore;
    case mbAll:
        return mrAll;
    case mbNoToAll:
        return mrNoToAll;
    case mbYesToAll:
        return mrYesToAll;
    case mbHelp:
        return mrHelp;
    }
    return mrNone;
}

int ShowMessageDialog(MessageDialogRequest request) {
    // A default button the dialog does not have leaves it without a default.
    if (request.DefaultButton &&
        std::find(request.Buttons.begin(), request.Buttons.end(), *request.DefaultButton) == request.Buttons.end()) {
        request.DefaultButton.reset();
    }
    if (const MessageResponder& responder = CurrentMessageResponder()) {
        return responder(request);
    }
    QMessageBox box(request.Parent);
    box.setIcon(IconOf(request.Type));
    box.setWindowTitle(request.Caption);
    box.setText(request.Text);
    box.setFont(request.Font);
    std::map<QAbstractButton*, MsgDlgBtn> pressed;
    QPushButton* defaultButton = nullptr;
    for (MsgDlgBtn button : request.Buttons) {
        auto found = request.ButtonCaptions.find(button);
        QPushButton* widget =
            box.addButton(found != request.ButtonCaptions.end() ? found->second : PlatformCaption(button), RoleOf(button));
        widget->setAutoDefault(false);
        widget->setDefault(false);
        pressed[widget] = button;
        if (request.DefaultButton && *request.DefaultButton == button) {
            defaultButton = widget;
        }
    }
    if (defaultButton) {
        box.setDefaultButton(defaultButton);
        defaultButton->setFocus();
    }
    for (MsgDlgBtn button : request.Buttons) {
        if (button == mbCancel) {
            for (auto& [widget, name] : pressed) {
                if (name == mbCancel) {
                    box.setEscapeButton(widget);
                }
            }
        }
    }
    box.exec();
    auto it = pressed.find(box.clickedButton());
    return it == pressed.end() ? mrCancel : ModalResultOf(it->second);
}

} // namespace corvane::ui
