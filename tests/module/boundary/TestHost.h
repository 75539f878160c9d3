// Doubles of the host work center for the boundary tests: the host object and
// its three service objects, answering the members of the host contract and
// recording what they were asked.
#pragma once

#include "module/boundary/HostContract.h"
#include "platform/variant/Dispatch.h"

#include <map>
#include <string>
#include <vector>

namespace corvane::test {

struct Call {
    std::string Member;
    std::vector<Variant> Args;
};

class ValidatorDouble : public DispatchObject {
public:
    ValidatorDouble();
    std::string BaseLimited;
    // Rows by table + "/" + kind, answered by CheckValue and QueryData.
    std::map<std::string, Variant> Rows;
    Variant NextSeq = "0007";
    bool Fail = false;
    std::vector<Call> Calls;
};

class F2WindowDouble : public DispatchObject {
public:
    F2WindowDouble();
    Variant Picked;
    std::vector<Call> Calls;
    bool CalcFails = false;
};

class CounterDouble : public DispatchObject {
public:
    CounterDouble();
    // Answers by function name.
    std::map<std::string, Variant> Answers;
    Variant SysInfo;
    std::vector<Call> Calls;
};

class HostDouble : public DispatchObject {
public:
    HostDouble();
    Variant Version = contract::host::kDependencyVersion;
    // Message texts by type + code.
    std::map<std::string, std::string> Messages;
    int ExecWorkResult = 0;
    Variant ExecWorkOut;
    std::vector<Call> ExecWorkCalls;

    std::shared_ptr<ValidatorDouble> Validator = std::make_shared<ValidatorDouble>();
    std::shared_ptr<F2WindowDouble> F2Window = std::make_shared<F2WindowDouble>();
    std::shared_ptr<CounterDouble> Counter = std::make_shared<CounterDouble>();
};

} // namespace corvane::test
