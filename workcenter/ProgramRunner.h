// Starts programs: finds a program's plug-in (code + "C.so") in the work
// folders, loads it, asks it for a controller, hands it the host object and
// drives it: CreateForm with [user, company, database, host window, context],
// SetCallMode, SetParams, then shows the window modeless or modal. A
// controller is freed once its window reports its destruction (304), and the
// program can then be started again.
#pragma once

#include "module/boundary/DLLBaseCtrller.h"
#include "workcenter/HostServices.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane::host {

struct StartOptions {
    int CallMode = 0;
    int Rights = 0xFF;
    std::string Filter;
    bool Modal = false;
    uintptr_t HostWindow = 0;
};

class ProgramRunner : public QObject {
public:
    ProgramRunner(std::shared_ptr<Session> session, Variant host, std::vector<std::string> folders);
    ~ProgramRunner() override;

    // Answers 0, or the host's negative result: -1 no plug-in file, -2 it cannot
    // be loaded, -3 it has no controller, -6 its window could not be started.
    // `error` says why, for the message the work center shows.
    int Start(const std::string& code, const StartOptions& options, std::string& error);
    int RunningCount() const { return static_cast<int>(m_controllers.size()); }
    std::string PluginPath(const std::string& code) const;

    // Every notification of every controller, with the program's code.
    std::function<void(const std::string& code, int notification)> OnNotification;
    // Called when the last running program was freed.
    std::function<void()> OnIdle;

private:
    struct Program;
    void Free(TDLLBaseController* controller);

    std::shared_ptr<Session> m_session;
    Variant m_host;
    std::vector<std::string> m_folders;
    std::vector<std::unique_ptr<Program>> m_controllers;
    std::vector<void*> m_libraries;
};

} // namespace corvane::host
