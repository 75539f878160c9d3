#include "tests/module/boundary/TestHost.h"

namespace corvane::test {

namespace host = contract::host;

ValidatorDouble::ValidatorDouble() : DispatchObject("Com_Validator") {
    DefineProperty(host::BaseLimited, [this] { return Variant(BaseLimited); },
                   [this](const Variant& v) { BaseLimited = v.ToString(); });
    const auto check = [this](const char* member) {
        return [this, member](Args& args) {
            Calls.push_back({member, args});
            if (Fail) {
                throw EOleError("validator is down");
            }
            auto it = Rows.find(ArgAt(args, 0).ToString() + "/" + ArgAt(args, 1).ToString());
            if (it == Rows.end()) {
                return Variant(false);
            }
            args.at(4) = it->second;
            return Variant(true);
        };
    };
    DefineMethod(host::CheckValue, check("CheckValue"));
    DefineMethod(host::QueryData, check("QueryData"));
    DefineMethod(host::QueryMaxSeq, [this](Args& args) {
        Calls.push_back({"QueryMaxSeq", args});
        if (Fail) {
            throw EOleError("validator is down");
        }
        args.at(6) = NextSeq;
        return Variant(!NextSeq.IsEmpty());
    });
}

F2WindowDouble::F2WindowDouble() : DispatchObject("Com_F2Window") {
    DefineMethod(host::F2GetData, [this](Args& args) {
        Calls.push_back({"F2GetData", args});
        return Picked;
    });
    DefineMethod(host::ShowInputDay, [this](Args& args) {
        Calls.push_back({"ShowInputDay", args});
        return Variant("20261211");
    });
    DefineMethod(host::GetPhrase2, [this](Args& args) {
        Calls.push_back({"GetPhrase2", args});
        if (ArgAt(args, 3).ToString() == "cancel") {
            return Variant(-1);
        }
        args.at(3) = ArgAt(args, 3).ToString() + " phrase";
        return Variant(0);
    });
    DefineMethod(host::ShowCharaters, [this](Args& args) {
        Calls.push_back({"ShowCharaters", args});
        return Variant("chars");
    });
    DefineMethod(host::GetCalcValue, [this](Args& args) {
        Calls.push_back({"GetCalcValue", args});
        if (CalcFails) {
            throw EOleError("no calculator");
        }
        return Variant("42");
    });
}

CounterDouble::CounterDouble() : DispatchObject("Com_Counter") {
    DefineMethod(host::GETCOUNTER, [this](Args& args) {
        Calls.push_back({"GETCOUNTER", args});
        auto it = Answers.find(ArgAt(args, 0).ToString());
        return it == Answers.end() ? Variant() : it->second;
    });
    DefineMethod(host::GetSysInfo, [this](Args& args) {
        Calls.push_back({"GetSysInfo", args});
        return SysInfo;
    });
}

HostDouble::HostDouble() : DispatchObject("Host") {
    DefineProperty(host::DependencyVersion, [this] {
        if (Version.IsEmpty()) {
            throw EOleError("Member 'DependencyVersion' is not supported");
        }
        return Version;
    });
    DefineProperty(host::Com_Validator, [this] { return Variant(std::static_pointer_cast<Dispatch>(Validator)); });
    DefineProperty(host::Com_F2Window, [this] { return Variant(std::static_pointer_cast<Dispatch>(F2Window)); });
    DefineProperty(host::Com_Counter, [this] { return Variant(std::static_pointer_cast<Dispatch>(Counter)); });
    DefineMethod(host::GetMessage, [this](Args& args) {
        auto it = Messages.find(ArgAt(args, 0).ToString() + ArgAt(args, 1).ToString());
        return Variant(it == Messages.end() ? ArgAt(args, 0).ToString() + ArgAt(args, 1).ToString() + " %s"
                                            : it->second);
    });
    DefineMethod(host::ExecWork, [this](Args& args) {
        ExecWorkCalls.push_back({"ExecWork", args});
        if (args.size() > 4) {
            args[4] = ExecWorkOut;
        }
        return Variant(ExecWorkResult);
    });
    DefineMethod(host::CallHelp, [](Args&) { return Variant(); });
}

} // namespace corvane::test
