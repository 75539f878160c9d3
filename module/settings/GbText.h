// Fixed Chinese texts of the module are written in UTF-8 in the sources and
// used as simplified Chinese (code page 936) text, as the module keeps them.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

std::string GbText(std::string_view utf8);

} // namespace corvane
