// The members of the host work center's automation object and of its three
// service objects, as the module calls them by name. The work center and the
// test hosts implement exactly these names.
#pragma once

#include <string_view>

namespace corvane::contract::host {

// The only host version the module accepts.
inline constexpr int kDependencyVersion = 8000;

// Host members.
inline constexpr std::string_view DependencyVersion = "DependencyVersion";
inline constexpr std::string_view Com_Validator = "Com_Validator";
inline constexpr std::string_view Com_F2Window = "Com_F2Window";
inline constexpr std::string_view Com_Counter = "Com_Counter";
inline constexpr std::string_view GetMessage = "GetMessage";       // (type letter, six-digit code) -> text
inline constexpr std::string_view ExecWork = "ExecWork";           // (var program, params, var options, mode, var result) -> int
inline constexpr std::string_view CallHelp = "CallHelp";           // ([program prefix, topic])

// Com_Validator members.
inline constexpr std::string_view BaseLimited = "BaseLimited";     // property, written before every call
inline constexpr std::string_view CheckValue = "CheckValue";       // (table, kind, var db, var keys, var data) -> bool
inline constexpr std::string_view QueryData = "QueryData";         // as CheckValue
inline constexpr std::string_view QueryMaxSeq = "QueryMaxSeq";     // seven by-reference arguments -> bool

// Com_F2Window members.
inline constexpr std::string_view F2GetData = "F2GetData";         // (var 19-element array) -> rows or empty
inline constexpr std::string_view ShowInputDay = "ShowInputDay";   // ([flag, date text, db]) -> date text
inline constexpr std::string_view GetPhrase2 = "GetPhrase2";       // (user, company, handle, var phrase) -> int
inline constexpr std::string_view ShowCharaters = "ShowCharaters"; // (user, company, kind, flag, handle) -> value
inline constexpr std::string_view GetCalcValue = "GetCalcValue";   // (var expression, handle) -> text

// Com_Counter members.
inline constexpr std::string_view GETCOUNTER = "GETCOUNTER";       // (var name, var params, [company, db]) -> result
inline constexpr std::string_view GetSysInfo = "GetSysInfo";       // (var company) -> 2 x n names and values

// GETCOUNTER functions.
inline constexpr std::string_view SimpleSQL = "SimpleSQL";
inline constexpr std::string_view TransactionSQL = "TransactionSQL";
inline constexpr std::string_view INSERTWDJOB = "INSERTWDJOB";
inline constexpr std::string_view GetWDApprove = "GetWDApprove";
inline constexpr std::string_view CallWebService = "CallWebService";
inline constexpr std::string_view GetUserDefine = "GetUserDefine";
inline constexpr std::string_view SetUserDefine = "SetUserDefine";
inline constexpr std::string_view QueryUDFData = "QueryUDFData";

// Programs the module starts through ExecWork.
inline constexpr std::string_view MessageProgram = "TMCI05";

} // namespace corvane::contract::host
