// What the broker needs of its owner window: the parent and caption of its
// dialogs, the window's handle, its code pages and conversion of texts, the
// hook run after every message, and the lookup-combo protocol state.
#pragma once

#include "platform/variant/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

namespace corvane {

class IBrokerOwner {
public:
    virtual ~IBrokerOwner() = default;

    virtual QWidget* OwnerWidget() = 0;
    virtual uintptr_t OwnerHandle() = 0;
    // The interface's conversion mode: 0 none, 1 traditional to simplified,
    // 2 simplified to traditional, 3 and 4 as the code-page settings define.
    virtual int ConvertMode() const = 0;
    virtual std::string UICodePage() const = 0;
    virtual std::string SystemCodePage() const = 0;
    // A text converted for the conversion mode (mode 1 to simplified, mode 2 to traditional).
    virtual std::string ConvertText(std::string_view text) const = 0;
    // A stored text as the window shows it.
    virtual std::string ToDisplay(std::string_view text) const = 0;
    // Run after every coded message.
    virtual void AfterMessage() = 0;

    // The lookup-combo protocol: 0 normal, 1 collect parameters, 2 deliver the return.
    virtual int LookupMode() const = 0;
    virtual void SetLookupOpenParams(const Variant& params) = 0;
    virtual Variant LookupReturnValue() const = 0;
    // True when the user's data rights hold this element.
    virtual bool HasPowerRight(int element) const = 0;
};

} // namespace corvane
