// The small XML routines of the suite over the platform's XML documents.
#pragma once

#include "platform/xml/XmlDocument.h"

#include <string>
#include <string_view>

namespace corvane {

// An empty document that loads synchronously.
xml::XmlDocument NewXmlDocument();
// A document parsed from text; empty (no document element) when the text is not XML.
xml::XmlDocument LoadXmlText(std::string_view text);
// The text of the node at `path` (or of its attribute `attr` when `attr` is not
// blank), searched from the document element; `defaultValue` when the text is
// not XML, the path is not valid or selects nothing, or the attribute is missing.
std::string XmlValue(std::string_view xmlText, std::string_view path, std::string_view attr,
                     std::string_view defaultValue);

} // namespace corvane
