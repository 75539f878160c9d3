// Rewrites the SQL fragments the module sends, written for the suite's
// dialects, into SQLite's: "$$" before a table name and the company database
// name followed by ".." are dropped (the company database is the one the
// server has open), and "select top N ..." becomes "select ... limit N".
// Text between quotes is left as it is. RPAD, LPAD and SUBSTRING are SQL
// functions of the server's connections.
#pragma once

#include <string>
#include <string_view>

namespace corvane::server {

std::string RewriteDialect(std::string_view sql, std::string_view dbName);

} // namespace corvane::server
