#include "workcenter/ProgramRunner.h"

#include "platform/sys/SysUtils.h"

#include <QTimer>

#include <dlfcn.h>

#include <algorithm>

namespace corvane::host {

struct ProgramRunner::Program {
    std::string Code;
    std::unique_ptr<TDLLBaseController> Controller;
};

ProgramRunner::ProgramRunner(std::shared_ptr<Session> session, Variant host, std::vector<std::string> folders)
    : m_session(std::move(session)), m_host(std::move(host)), m_folders(std::move(folders)) {}

ProgramRunner::~ProgramRunner() {
    // Controllers close their windows before their code is unloaded.
    m_controllers.clear();
    for (void* library : m_libraries) {
        dlclose(library);
    }
}

std::string ProgramRunner::PluginPath(const std::string& code) const {
    for (const std::string& folder : m_folders) {
        const std::string path = IncludeTrailingPathDelimiter(folder) + UpperCase(code) + "C.so";
        if (FileExists(path)) {
            return path;
        }
    }
    return {};
}

void ProgramRunner::Free(TDLLBaseController* controller) {
    auto it = std::find_if(m_controllers.begin(), m_controllers.end(),
                           [&](const auto& running) { return running->Controller.get() == controller; });
    if (it == m_controllers.end()) {
        return;
    }
    m_controllers.erase(it);
    if (m_controllers.empty() && OnIdle) {
        OnIdle();
    }
}

int ProgramRunner::Start(const std::string& code, const StartOptions& options, std::string& error) {
    const std::string path = PluginPath(code);
    if (path.empty()) {
        std::string folders;
        for (const auto& folder : m_folders) {
            folders += (folders.empty() ? "" : ", ") + folder;
        }
        error = "The program " + code + " cannot be started: its file " + UpperCase(code) + "C.so is not in " +
                (folders.empty() ? std::string("any work folder") : folders) + ".";
        return -1;
    }
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        error = "The program " + code + " cannot be loaded: " + std::string(dlerror());
        return -2;
    }
    if (std::find(m_libraries.begin(), m_libraries.end(), library) == m_libraries.end()) {
        m_libraries.push_back(library);
    } else {
        dlclose(library);
    }
    auto getController = reinterpret_cast<TDLLBaseController* (*)()>(dlsym(library, "GetController"));
    if (!getController) {
        error = "The program " + code + " has no controller (GetController is missing in " + path + ").";
        return -3;
    }
    auto running = std::make_unique<Program>();
    running->Code = code;
    try {
        running->Controller.reset(getController());
    } catch (const std::exception& failure) {
        error = "The program " + code + " did not give a controller: " + failure.what();
        return -3;
    }
    TDLLBaseController* controller = running->Controller.get();
    controller->Host = m_host;
    controller->OnNotify = [this, code](int notification, TDLLBaseController* from) {
        if (OnNotification) {
            OnNotification(code, notification);
        }
        if (notification == kNotifyDestroyed) {
            // The controller is inside its own call now: free it once that returns.
            QTimer::singleShot(0, this, [this, from] { Free(from); });
        }
    };
    m_controllers.push_back(std::move(running));
    const Variant params = VarArrayOf({m_session->User, m_session->Company, m_session->DBName,
                                       static_cast<long long>(options.HostWindow), Variant()});
    try {
        if (controller->CreateForm(params) != 0) {
            error = "The program " + code + " could not start its window.";
            Free(controller);
            return -6;
        }
        controller->SetCallMode(options.CallMode, options.Rights, Variant());
        if (!options.Filter.empty()) {
            controller->SetParams(VarArrayOf({"", options.Filter}));
        }
        if (options.Modal) {
            Variant returned;
            controller->ShowModal(returned);
        } else {
            controller->SetVisible(-1);
        }
    } catch (const std::exception& failure) {
        error = "The program " + code + " could not start: " + failure.what();
        Free(controller);
        return -6;
    }
    return 0;
}

} // namespace corvane::host
