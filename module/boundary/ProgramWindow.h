// What the controller needs of a program window: its broker, start-up,
// rights, call kind and filter, result, version stamp, visibility, modal
// showing and four replaceable events (show, hide, destroy, close).
//
// The window chain implements it; the controller creates windows through the
// class variable frmRadicalClass.
#pragma once

#include "platform/variant/Variant.h"

#include <cstdint>
#include <functional>
#include <string>

class QObject;
class QWidget;

namespace corvane {

class TBrokers;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(QObject* sender)>;
using TCloseEvent = std::function<void(QObject* sender, TCloseAction& action)>;

// The window's command rights: the bits governing add, edit, query, delete,
// print, confirm, cancel confirmation and invalidate, plus 0x100.
inline constexpr uint16_t kAllRights = 0x1FF;

class IProgramWindow {
public:
    virtual ~IProgramWindow() = default;

    virtual QWidget* Widget() = 0;
    virtual void SetModuleFileName(const std::string& path) = 0;
    virtual TBrokers& Broker() = 0;
    // Start-up with the host's parameter array; true when the window is ready.
    virtual bool Initialize(const Variant& params) = 0;

    virtual uint16_t Rights() const = 0;
    virtual void SetRights(uint16_t rights) = 0;
    virtual int CallKind() const = 0;
    virtual void SetCallKind(int kind) = 0;
    virtual Variant CallParam() const = 0;
    virtual void SetCallParam(const Variant& param) = 0;
    virtual std::string FilterText() const = 0;
    virtual void SetFilterText(const std::string& text) = 0;
    virtual Variant FilterParam() const = 0;
    virtual void SetFilterParam(const Variant& param) = 0;
    // Re-evaluates which commands are enabled.
    virtual void UpdateActions() = 0;

    virtual Variant ReturnValue() const = 0;
    virtual int ResultCode() const = 0;
    virtual std::string VersionStamp() const = 0;
    // True once the window's destruction has begun.
    virtual bool Destroying() const = 0;
    // Shows the window modally; returns when it has been closed.
    virtual void ShowModalWindow() = 0;

    virtual TNotifyEvent& OnShow() = 0;
    virtual TNotifyEvent& OnHide() = 0;
    virtual TNotifyEvent& OnDestroy() = 0;
    virtual TCloseEvent& OnClose() = 0;
};

} // namespace corvane
