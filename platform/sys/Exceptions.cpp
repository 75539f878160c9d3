#include "platform/sys/Exceptions.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace corvane {

std::string ExceptionClassName(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Exception*>(&error)) {
        return own->ClassName();
    }
    const char* mangled = typeid(error).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(mangled);
}

} // namespace corvane
