// Late-bound objects: members called by name, and objects created by name.
//
// A Dispatch is the stand-in for an automation object. Member names compare
// without regard to case. A call passes its arguments as a vector the callee
// may change; a change reaches the caller only for arguments passed by
// reference (VarRef), as with "var" parameters of automation calls.
//
// The object registry creates objects by programmatic name
// ("VOVIR01U.Class1"); the process has one registry, shared by the host and
// every plug-in it loads.
#pragma once

#include "platform/variant/Variant.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace corvane {

class EOleError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EOleError"; }
};

// The object registry has no class of that name.
class EOleSysError : public EOleError {
public:
    using EOleError::EOleError;
    const char* ClassName() const override { return "EOleSysError"; }
};

class Dispatch {
public:
    virtual ~Dispatch() = default;

    virtual Variant GetProperty(std::string_view name) = 0;
    virtual void PutProperty(std::string_view name, const Variant& value) = 0;
    virtual Variant Invoke(std::string_view name, std::vector<Variant>& args) = 0;
    // True when the object answers the member (property or method).
    virtual bool HasMember(std::string_view name) const = 0;
};

// An argument of a late-bound call: a value, or with VarRef a variable that
// receives what the callee leaves in that argument.
class Arg {
public:
    template <typename T>
        requires(!std::is_same_v<std::remove_cvref_t<T>, Arg>)
    Arg(T&& value) : m_value(std::forward<T>(value)) {}
    Arg(const Arg&) = default;
    Arg(Arg&&) = default;

    const Variant& Value() const { return m_value; }
    Variant* Target() const { return m_target; }

private:
    friend Arg VarRef(Variant& target);
    struct RefTag {};
    Arg(RefTag, Variant& target) : m_value(target), m_target(&target) {}

    Variant m_value;
    Variant* m_target = nullptr;
};

Arg VarRef(Variant& target);

// Calls a member with the arguments and writes back the by-reference ones.
Variant CallMember(Dispatch& object, std::string_view name, const std::vector<Arg>& args);

// A base for objects that answer members from a table of handlers, so that an
// implementation only lists its members. A property read of a method name
// calls the method without arguments, and a call of a property name with no
// arguments reads it, as automation does.
class DispatchObject : public Dispatch {
public:
    using Args = std::vector<Variant>;
    using Method = std::function<Variant(Args& args)>;
    using Getter = std::function<Variant()>;
    using Setter = std::function<void(const Variant& value)>;

    Variant GetProperty(std::string_view name) override;
    void PutProperty(std::string_view name, const Variant& value) override;
    Variant Invoke(std::string_view name, Args& args) override;
    bool HasMember(std::string_view name) const override;

    // The argument at `index`, or Empty when the caller passed fewer.
    static const Variant& ArgAt(const Args& args, size_t index);

protected:
    // `name` is the display name used in error messages.
    explicit DispatchObject(std::string name) : m_name(std::move(name)) {}
    void DefineMethod(std::string_view name, Method method);
    void DefineProperty(std::string_view name, Getter getter, Setter setter = {});
    const std::string& ObjectName() const { return m_name; }

private:
    struct Member {
        Method Call;
        Getter Get;
        Setter Set;
    };
    Member* Find(std::string_view name);
    const Member* Find(std::string_view name) const;
    [[noreturn]] void Unknown(std::string_view name) const;

    std::string m_name;
    std::map<std::string, Member> m_members;
};

using ObjectFactory = std::function<DispatchPtr()>;

// Registers (or replaces) the factory of a programmatic name.
void RegisterOleObject(std::string_view progId, ObjectFactory factory);
void UnregisterOleObject(std::string_view progId);
bool IsOleObjectRegistered(std::string_view progId);
// Creates the object; throws EOleSysError naming an unknown programmatic name.
DispatchPtr CreateOleObject(std::string_view progId);

} // namespace corvane
