// Fills the placeholders of a message text with arguments, as the suite's
// message table writes them: %s (any value as text), %d (integer), %f, %.Nf,
// %e, %g, %x and %% (a percent sign); a width may stand after the percent
// sign ("%5d", "%-8s"), and "%.2d" pads with zeros. Unlike a strict format
// routine it never fails: a placeholder without an argument becomes empty,
// a value that is not a number formats as 0 and an unknown placeholder is
// copied as it stands, so a faulty message text still shows.
#pragma once

#include "platform/variant/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

std::string FormatText(std::string_view format, const std::vector<Variant>& args);

} // namespace corvane
