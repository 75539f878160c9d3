#include "platform/variant/Dispatch.h"

#include "platform/sys/SysUtils.h"

#include <mutex>

namespace corvane {
namespace {

struct Registry {
    std::mutex Lock;
    std::map<std::string, ObjectFactory> Factories;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

Arg VarRef(Variant& target) { return Arg(Arg::RefTag{}, target); }

Variant CallMember(Dispatch& object, std::string_view name, const std::vector<Arg>& args) {
    std::vector<Variant> values;
    values.reserve(args.size());
    for (const Arg& arg : args) {
        values.push_back(arg.Value());
    }
    Variant result = object.Invoke(name, values);
    for (size_t i = 0; i < args.size(); ++i) {
        if (Variant* target = args[i].Target()) {
            *target = std::move(values[i]);
        }
    }
    return result;
}

Variant Variant::Get(std::string_view name) const { return ToDispatch()->GetProperty(name); }

void Variant::Put(std::string_view name, const Variant& value) const { ToDispatch()->PutProperty(name, value); }

Variant Variant::Call(std::string_view name, std::initializer_list<Arg> args) const {
    return CallMember(*ToDispatch(), name, std::vector<Arg>(args));
}

Variant Variant::Call(std::string_view name, std::vector<Arg> args) const {
    return CallMember(*ToDispatch(), name, args);
}

const Variant& DispatchObject::ArgAt(const Args& args, size_t index) {
    static const Variant empty;
    return index < args.size() ? args[index] : empty;
}

void DispatchObject::DefineMethod(std::string_view name, Method method) {
    m_members[UpperCase(name)].Call = std::move(method);
}

void DispatchObject::DefineProperty(std::string_view name, Getter getter, Setter setter) {
    Member& member = m_members[UpperCase(name)];
    member.Get = std::move(getter);
    member.Set = std::move(setter);
}

DispatchObject::Member* DispatchObject::Find(std::string_view name) {
    auto it = m_members.find(UpperCase(name));
    return it == m_members.end() ? nullptr : &it->second;
}

const DispatchObject::Member* DispatchObject::Find(std::string_view name) const {
    auto it = m_members.find(UpperCase(name));
    return it == m_members.end() ? nullptr : &it->second;
}

void DispatchObject::Unknown(std::string_view name) const {
    throw EOleError("Member '" + std::string(name) + "' is not supported by the automation object " + m_name);
}

bool DispatchObject::HasMember(std::string_view name) const { return Find(name) != nullptr; }

Variant DispatchObject::GetProperty(std::string_view name) {
    Member* member = Find(name);
    if (!member) {
        Unknown(name);
    }
    if (member->Get) {
        return member->Get();
    }
    Args none;
    return member->Call(none);
}

void DispatchObject::PutProperty(std::string_view name, const Variant& value) {
    Member* member = Find(name);
    if (!member) {
        Unknown(name);
    }
    if (!member->Set) {
        throw EOleError("Property '" + std::string(name) + "' of " + m_name + " is read-only");
    }
    member->Set(value);
}

Variant DispatchObject::Invoke(std::string_view name, Args& args) {
    Member* member = Find(name);
    if (!member) {
        Unknown(name);
    }
    if (member->Call) {
        return member->Call(args);
    }
    if (args.empty()) {
        return member->Get();
    }
    throw EOleError("'" + std::string(name) + "' of " + m_name + " is a property, not a method");
}

void RegisterOleObject(std::string_view progId, ObjectFactory factory) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.Lock);
    registry.Factories[UpperCase(progId)] = std::move(factory);
}

void UnregisterOleObject(std::string_view progId) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.Lock);
    registry.Factories.erase(UpperCase(progId));
}

bool IsOleObjectRegistered(std::string_view progId) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.Lock);
    return registry.Factories.count(UpperCase(progId)) != 0;
}

DispatchPtr CreateOleObject(std::string_view progId) {
    ObjectFactory factory;
    {
        Registry& registry = TheRegistry();
        std::lock_guard guard(registry.Lock);
        auto it = registry.Factories.find(UpperCase(progId));
        if (it != registry.Factories.end()) {
            factory = it->second;
        }
    }
    if (!factory) {
        throw EOleSysError("Invalid class string: no object is registered as \"" + std::string(progId) + "\"");
    }
    DispatchPtr object = factory();
    if (!object) {
        throw EOleSysError("The object \"" + std::string(progId) + "\" could not be created");
    }
    return object;
}

} // namespace corvane
