#include "module/boundary/DLLBaseCtrller.h"

#include "platform/sys/Exceptions.h"

corvane::TDLLControllerClass DLLControllerClass = nullptr;

corvane::TDLLBaseController* GetController() {
    if (!DLLControllerClass) {
        throw corvane::Exception(corvane::InternalErrorText("Not Assign \"DLLControllerClass\" varible"));
    }
    return DLLControllerClass();
}

namespace corvane {

std::string InternalErrorText(const std::string& what) { return "KTC DLL Internal Error :\r" + what; }

TDLLBaseController::~TDLLBaseController() = default;

void TDLLBaseController::DoCreated() { Notify(kNotifyCreated); }

void TDLLBaseController::DoShow(QObject*) {}

void TDLLBaseController::DoHide(QObject*) {}

void TDLLBaseController::DoDestroy(QObject*) {}

void TDLLBaseController::DoClose(QObject*, TCloseAction&) {}

void TDLLBaseController::Notify(int code) {
    if (OnNotify) {
        OnNotify(code, this);
    }
}

void TDLLBaseController::Reserved() {}

} // namespace corvane
