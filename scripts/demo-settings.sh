#!/usr/bin/env bash
# Writes the demo installation under ./demo: the machine settings store
# (standing in for the registry key Software\KTC\Corvane) and the client and
# server configuration files. Run it again at any time: it writes the same files.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
demo="$top/demo"
mkdir -p "$demo/client/Log" "$demo/client/c_Data" "$demo/server"

cat > "$demo/registry.ini" <<INI
[Software\\KTC\\Corvane]
ClientPath=$demo/client/
ServerPath=$demo/server/
ProfileType=0
INI

cat > "$demo/client/CorvaneC.ini" <<INI
[Client Components]
LangType=CHS

[ProductVersion]
Version=8.0

[CodePage]
UICodePage=936
DBCodePage=936

[Server Information]
ComputerName=127.0.0.1
ServerPort=211
SupportCallBack=0

[WorkDLLPath]
Programs=$top/build/lib/
INI

cat > "$demo/server/CorvaneS.ini" <<INI
[DBE Setting]
MainAlias=Helmar
MainDBType=SQLITE
MainDBName=$demo/server/demo.db

[DBPasswordCtrl]
ComputerName=127.0.0.1
ServerPort=211

[CodePage]
UICodePage=936
DBCodePage=936
INI
echo "$demo/registry.ini"
