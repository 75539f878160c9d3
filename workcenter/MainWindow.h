// The work center's main window: the programs of the registry (ADMMB) with
// their titles; Enter or a double click starts the selected one.
#pragma once

#include "workcenter/ProgramRunner.h"

#include <QMainWindow>

class QTableWidget;

namespace corvane::host {

class MainWindow : public QMainWindow {
public:
    MainWindow(std::shared_ptr<Session> session, ProgramRunner& runner);

    QTableWidget* Programs() const { return m_programs; }
    // Starts the selected program; a failure is shown as a message.
    void StartSelected();
    // Loads the program list; answers the codes listed.
    std::vector<std::string> LoadPrograms();

private:
    std::shared_ptr<Session> m_session;
    ProgramRunner& m_runner;
    QTableWidget* m_programs;
};

} // namespace corvane::host
