// Scriptable answers to modal dialogs, so that tests and headless runs drive
// dialogs without a screen and without waiting.
//
// While a message responder is installed, every message dialog is handed to
// it instead of being shown, and its answer is the dialog's modal result.
// While a dialog responder is installed, every framework dialog run through
// ExecModal is handed to it (built, not shown); it may fill in the dialog's
// controls and answers the dialog's result code. Responders nest: the scope
// object restores the previous one.
#pragma once

#include "platform/ui/MessageDialog.h"

#include <functional>

class QDialog;

namespace corvane::ui {

using MessageResponder = std::function<int(const MessageDialogRequest& request)>;
using DialogResponder = std::function<int(QDialog& dialog)>;

class ScopedMessageResponder {
public:
    explicit ScopedMessageResponder(MessageResponder responder);
    ~ScopedMessageResponder();
    ScopedMessageResponder(const ScopedMessageResponder&) = delete;
    ScopedMessageResponder& operator=(const ScopedMessageResponder&) = delete;

private:
    MessageResponder m_previous;
};

class ScopedDialogResponder {
public:
    explicit ScopedDialogResponder(DialogResponder responder);
    ~ScopedDialogResponder();
    ScopedDialogResponder(const ScopedDialogResponder&) = delete;
    ScopedDialogResponder& operator=(const ScopedDialogResponder&) = delete;

private:
    DialogResponder m_previous;
};

const MessageResponder& CurrentMessageResponder();
const DialogResponder& CurrentDialogResponder();

// Runs a dialog modally, or hands it to the dialog responder.
int ExecModal(QDialog& dialog);

// A responder that presses the default button (or the first one).
int PressDefaultButton(const MessageDialogRequest& request);

} // namespace corvane::ui
