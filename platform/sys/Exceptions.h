// The exception classes of the platform layer.
//
// Every failure the platform or the module raises derives from Exception, which
// carries a class name so that logs can say what kind of error was caught, the
// way the error logs of the suite name them.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace corvane {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    virtual const char* ClassName() const { return "Exception"; }
    std::string Message() const { return what(); }
};

// A text could not be converted to a number, date or other value.
class EConvertError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EConvertError"; }
};

// An operating-system call failed; ErrorCode is the errno value.
class EOSError : public Exception {
public:
    EOSError(const std::string& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
    const char* ClassName() const override { return "EOSError"; }
    int ErrorCode = 0;
};

// A file could not be opened, read or written.
class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
    const char* ClassName() const override { return "EInOutError"; }
    int ErrorCode = 0;
};

// A database engine failure; it may carry several errors of the engine.
class EDBEngineError : public Exception {
public:
    struct Item {
        int Code = 0;
        std::string Message;
    };
    EDBEngineError(const std::string& message, std::vector<Item> errors)
        : Exception(message), Errors(std::move(errors)) {}
    const char* ClassName() const override { return "EDBEngineError"; }
    std::vector<Item> Errors;
};

// The silent abort: a quiet exception that ends the current user action after
// a message has been shown. The event loop swallows it without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    const char* ClassName() const override { return "EAbort"; }
};

[[noreturn]] inline void Abort() { throw EAbort(); }

// The class name of any caught exception: ours by ClassName, others by their
// demangled type name.
std::string ExceptionClassName(const std::exception& error);

} // namespace corvane
