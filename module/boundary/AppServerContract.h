// The application server as the module reaches it: the programmatic names of
// the in-process servers, the provider names and the late-bound members.
#pragma once

#include <string_view>

namespace corvane::contract::appserver {

// Created in process when the server address is "127.0.0.1".
inline constexpr std::string_view ServerClass = "VOVIR01U.Class1";
// The class name a socket connection asks for on a remote server.
inline constexpr std::string_view SocketServerClass = "VovIR01U.Class1";
inline constexpr std::string_view ServerGuid = "{BB7E4B70-77C3-11D2-9FDC-0080C844E23B}";
inline constexpr std::string_view LookupServerClass = "Z2IzevuzO.Class1";
inline constexpr std::string_view LookupServerGuid = "{BB19C8CE-93C6-11D2-B924-0080C8938389}";
inline constexpr std::string_view LocalAddress = "127.0.0.1";
inline constexpr int kDefaultPort = 211;

// Providers.
inline constexpr std::string_view pvdMain = "pvdMain";
inline constexpr std::string_view pvdConSave = "pvdConSave";
inline constexpr std::string_view pvdColor = "pvdColor";
inline constexpr std::string_view pvdF2Win = "pvdF2Win";

// Members of the server object.
inline constexpr std::string_view Connect = "Connect";              // (var [program, user, company, db, true, flag]) -> int
inline constexpr std::string_view SvrData = "SvrData";              // () -> name=value text
inline constexpr std::string_view WhatIs = "WhatIs";                // (name) -> value; also called as "Whatis"
inline constexpr std::string_view SetTopRow = "SetTopRow";
inline constexpr std::string_view SetIsSeq = "SetIsSeq";
inline constexpr std::string_view GetRecCount = "GetRecCount";
inline constexpr std::string_view GetBaseLimitedRecs = "GetBaseLimitedRecs";
inline constexpr std::string_view GetFormat = "GetFormat";
inline constexpr std::string_view LoadTable = "LoadTable";
inline constexpr std::string_view InsertConTable = "InsertConTable";
inline constexpr std::string_view DeleteConTable = "DeleteConTable";
inline constexpr std::string_view ChangeConName = "ChangeConName";

// WhatIs names.
inline constexpr std::string_view TODAY = "TODAY";
inline constexpr std::string_view SQLTYPE = "SQLTYPE";
inline constexpr std::string_view SEQNO = "SEQNO";

} // namespace corvane::contract::appserver
