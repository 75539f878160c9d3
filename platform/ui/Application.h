// The application object of the work center and of tests that show windows.
//
// Every event the event loop delivers runs inside one top-level handler: the
// silent abort is swallowed without a message, and any other error is shown
// in an error dialog (through the message responder when one is installed),
// handed to OnUnexpectedError when set (the work center logs it there), and
// the program goes on running.
#pragma once

#include <QApplication>

#include <exception>
#include <functional>

namespace corvane::ui {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Reports an unexpected error the way the event loop does.
    static void ShowUnexpectedError(const std::exception& error);
    static inline std::function<void(const std::exception& error)> OnUnexpectedError;
};

} // namespace corvane::ui
