#include "module/settings/GbText.h"

#include "platform/sys/CodePage.h"

namespace corvane {

std::string GbText(std::string_view utf8) { return codepage::FromUtf8(utf8, "936"); }

} // namespace corvane
