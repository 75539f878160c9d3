// The controller through which the host drives the one program window of the
// module: the exported GetController answers a new controller, and the host
// calls its virtual operations.
//
// The eighteen virtual operations are declared in slot order; that order is
// the contract with the host, which is built with the same compiler. The
// fields are read and written by the host directly. Booleans that slots 1 and
// 2 carry are 16-bit automation booleans (true is -1).
#pragma once

#include "platform/variant/Variant.h"

#include <cstdint>
#include <functional>
#include <string>

class QObject;

namespace corvane {

enum class TCloseAction;

// Notification codes sent to OnNotify, always with the controller.
inline constexpr int kNotifyCreated = 0x100;
inline constexpr int kNotifyShown = 0x110;
inline constexpr int kNotifyHidden = 0x120;
inline constexpr int kNotifyDestroyed = 0x130;
inline constexpr int kNotifyClosing = 0x140;

class TDLLBaseController;

using TNotifyCallback = std::function<void(int code, TDLLBaseController* controller)>;

class TDLLBaseController {
public:
    TDLLBaseController() = default;
    TDLLBaseController(const TDLLBaseController&) = delete;
    TDLLBaseController& operator=(const TDLLBaseController&) = delete;

    // Slots 0 to 17.
    virtual void GetVersion(std::u16string& version) = 0;
    virtual int16_t GetVisible() = 0;
    virtual void SetVisible(int16_t value) = 0;
    virtual uintptr_t GetHandle() = 0;
    virtual int CreateForm(const Variant& params) = 0;
    virtual int SetParams(const Variant& params) = 0;
    virtual int SetCallMode(int32_t callKind, int32_t rights, const Variant& param) = 0;
    virtual void ShowModal(Variant& returnValue) = 0;
    virtual void CloseForm(bool silent) = 0;
    virtual int GetInfo(Variant& info) = 0;
    virtual bool FormFreed() = 0;
    virtual void DoCreated();
    virtual void DoShow(QObject* sender);
    virtual void DoHide(QObject* sender);
    virtual void DoDestroy(QObject* sender);
    virtual void DoClose(QObject* sender, TCloseAction& action);
    virtual void Notify(int code);
    virtual void Reserved();

    virtual ~TDLLBaseController();

    // Fields, in this order.
    Variant Host;
    int32_t ResultCode = 0;
    Variant ReturnValue;
    TNotifyCallback OnNotify;
};

// The class variable of the controller to make, and the export's signature.
using TDLLControllerClass = TDLLBaseController* (*)();

// The text of the module's internal errors: "KTC DLL Internal Error :", a
// carriage return and what is missing.
std::string InternalErrorText(const std::string& what);

} // namespace corvane

extern "C" {
// The controller class; the concrete controller's unit sets it when the module loads.
extern corvane::TDLLControllerClass DLLControllerClass;
// Answers a new controller of the class in DLLControllerClass.
corvane::TDLLBaseController* GetController();
}
