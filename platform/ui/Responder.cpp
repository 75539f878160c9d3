#include "platform/ui/Responder.h"

#include <QDialog>

namespace corvane::ui {
namespace {

MessageResponder& MessageSlot() {
    static MessageResponder responder;
    return responder;
}

DialogResponder& DialogSlot() {
    static DialogResponder responder;
    return responder;
}

} // namespace

ScopedMessageResponder::ScopedMessageResponder(MessageResponder responder) : m_previous(MessageSlot()) {
    MessageSlot() = std::move(responder);
}

ScopedMessageResponder::~ScopedMessageResponder() { MessageSlot() = std::move(m_previous); }

ScopedDialogResponder::ScopedDialogResponder(DialogResponder responder) : m_previous(DialogSlot()) {
    DialogSlot() = std::move(responder);
}

ScopedDialogResponder::~ScopedDialogResponder() { DialogSlot() = std::move(m_previous); }

const MessageResponder& CurrentMessageResponder() { return MessageSlot(); }

const DialogResponder& CurrentDialogResponder() { return DialogSlot(); }

int ExecModal(QDialog& dialog) {
    if (const DialogResponder& responder = DialogSlot()) {
        const int result = responder(dialog);
        dialog.setResult(result);
        return result;
    }
    return dialog.exec();
}

int PressDefaultButton(const MessageDialogRequest& request) {
    if (request.DefaultButton) {
        return ModalResultOf(*request.DefaultButton);
    }
    return request.Buttons.empty() ? mrNone : ModalResultOf(request.Buttons.front());
}

} // namespace corvane::ui
