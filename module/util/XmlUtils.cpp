#include "module/util/XmlUtils.h"

#include "platform/sys/SysUtils.h"

namespace corvane {

xml::XmlDocument NewXmlDocument() { return xml::XmlDocument(); }

xml::XmlDocument LoadXmlText(std::string_view text) {
    xml::XmlDocument doc;
    doc.LoadXml(text);
    return doc;
}

std::string XmlValue(std::string_view xmlText, std::string_view path, std::string_view attr,
                     std::string_view defaultValue) {
    try {
        const xml::XmlDocument doc = LoadXmlText(xmlText);
        const xml::XmlNode root = doc.DocumentElement();
        if (root.IsNull()) {
            return std::string(defaultValue);
        }
        const xml::XmlNode node = root.SelectSingleNode(path);
        if (node.IsNull()) {
            return std::string(defaultValue);
        }
        if (Trim(attr).empty()) {
            return node.Text();
        }
        return node.HasAttribute(Trim(attr)) ? node.Attribute(Trim(attr)) : std::string(defaultValue);
    } catch (const std::exception&) {
        return std::string(defaultValue);
    }
}

} // namespace corvane
