// The errors a dataset raises.
#pragma once

#include "platform/sys/Exceptions.h"

#include <string>

namespace corvane::data {

// A dataset operation that cannot be done in the dataset's state, or a field
// value that is refused (read-only, too long, required and empty ...).
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EDatabaseError"; }
};

// A data packet, delta or apply result that cannot be decoded.
class EPacketError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EPacketError"; }
};

// A row the provider refused while applying changes.
class EReconcileError : public EDatabaseError {
public:
    EReconcileError(const std::string& message, std::string context, int errorCode, int previousError)
        : EDatabaseError(message), Context(std::move(context)), ErrorCode(errorCode), PreviousError(previousError) {}
    const char* ClassName() const override { return "EReconcileError"; }

    std::string Context;
    int ErrorCode = 0;
    int PreviousError = 0;
};

} // namespace corvane::data
