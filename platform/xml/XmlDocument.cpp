#include "platform/xml/XmlDocument.h"

#include "platform/sys/CodePage.h"
#include "platform/sys/SysUtils.h"

#include <pugixml.hpp>

#include <fstream>
#include <sstream>

namespace corvane::xml {
namespace {

pugi::xpath_query Compile(std::string_view xpath) {
    try {
        return pugi::xpath_query(std::string(xpath).c_str());
    } catch (const pugi::xpath_exception& error) {
        throw EXmlError("Invalid XPath expression \"" + std::string(xpath) + "\": " + error.what());
    }
}

// Documents declared in a Chinese code page are turned into UTF-8 before
// parsing; the parser itself reads Unicode and Latin-1 only.
std::string CodePageOfDeclaration(std::string_view text) {
    if (!text.starts_with("<?xml")) {
        return {};
    }
    const size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end);
    const size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return {};
    }
    const size_t open = declaration.find_first_of("\"'", at);
    if (open == std::string_view::npos) {
        return {};
    }
    const size_t close = declaration.find(declaration[open], open + 1);
    const std::string name = LowerCase(declaration.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1));
    if (name == "gb2312" || name == "gbk" || name == "cp936" || name == "x-gbk" || name == "gb18030") {
        return "936";
    }
    if (name == "big5" || name == "cp950" || name == "big5-hkscs") {
        return "950";
    }
    return {};
}

} // namespace

XmlNode::XmlNode() : m_node(std::make_unique<pugi::xml_node>()) {}
XmlNode::XmlNode(const pugi::xml_node& node) : m_node(std::make_unique<pugi::xml_node>(node)) {}
XmlNode::~XmlNode() = default;
XmlNode::XmlNode(const XmlNode& other) : m_node(std::make_unique<pugi::xml_node>(*other.m_node)) {}
XmlNode& XmlNode::operator=(const XmlNode& other) {
    *m_node = *other.m_node;
    return *this;
}

bool XmlNode::IsNull() const { return m_node->empty(); }
std::string XmlNode::Name() const { return m_node->name(); }

std::string XmlNode::Text() const {
    if (IsNull()) {
        return {};
    }
    return pugi::xpath_query(".").evaluate_string(*m_node);
}

void XmlNode::SetText(std::string_view text) {
    if (!IsNull()) {
        m_node->text().set(std::string(text).c_str());
    }
}

bool XmlNode::HasAttribute(std::string_view name) const {
    return !m_node->attribute(std::string(name).c_str()).empty();
}

std::string XmlNode::Attribute(std::string_view name, std::string_view defaultValue) const {
    pugi::xml_attribute attribute = m_node->attribute(std::string(name).c_str());
    return attribute.empty() ? std::string(defaultValue) : std::string(attribute.value());
}

void XmlNode::SetAttribute(std::string_view name, std::string_view value) {
    if (IsNull()) {
        return;
    }
    const std::string key(name);
    pugi::xml_attribute attribute = m_node->attribute(key.c_str());
    if (attribute.empty()) {
        attribute = m_node->append_attribute(key.c_str());
    }
    attribute.set_value(std::string(value).c_str());
}

std::vector<std::pair<std::string, std::string>> XmlNode::Attributes() const {
    std::vector<std::pair<std::string, std::string>> list;
    for (const pugi::xml_attribute& attribute : m_node->attributes()) {
        list.emplace_back(attribute.name(), attribute.value());
    }
    return list;
}

std::vector<XmlNode> XmlNode::Children() const {
    std::vector<XmlNode> list;
    for (const pugi::xml_node& child : m_node->children()) {
        if (child.type() == pugi::node_element) {
            list.push_back(XmlNode(child));
        }
    }
    return list;
}

XmlNode XmlNode::Child(std::string_view name) const { return XmlNode(m_node->child(std::string(name).c_str())); }

XmlNode XmlNode::AppendChild(std::string_view name) {
    return XmlNode(m_node->append_child(std::string(name).c_str()));
}

bool XmlNode::RemoveChild(const XmlNode& child) { return m_node->remove_child(*child.m_node); }

XmlNode XmlNode::SelectSingleNode(std::string_view xpath) const { return SelectFrom(*m_node, xpath); }

std::vector<XmlNode> XmlNode::SelectNodes(std::string_view xpath) const {
    std::vector<XmlNode> list;
    if (IsNull()) {
        return list;
    }
    pugi::xpath_query query = Compile(xpath);
    try {
        for (const pugi::xpath_node& found : m_node->select_nodes(query)) {
            if (found.node()) {
                list.push_back(XmlNode(found.node()));
            }
        }
    } catch (const pugi::xpath_exception& error) {
        throw EXmlError("XPath expression \"" + std::string(xpath) + "\" does not select nodes: " + error.what());
    }
    return list;
}

XmlNode XmlNode::SelectFrom(const pugi::xml_node& from, std::string_view xpath) {
    if (from.empty()) {
        return XmlNode();
    }
    pugi::xpath_query query = Compile(xpath);
    try {
        pugi::xpath_node found = from.select_node(query);
        return found.node() ? XmlNode(found.node()) : XmlNode();
    } catch (const pugi::xpath_exception& error) {
        throw EXmlError("XPath expression \"" + std::string(xpath) + "\" does not select nodes: " + error.what());
    }
}

XmlDocument::XmlDocument() : m_doc(std::make_unique<pugi::xml_document>()) {}
XmlDocument::~XmlDocument() = default;
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;

bool XmlDocument::LoadXml(std::string_view text) {
    const std::string codePage = CodePageOfDeclaration(text);
    std::string converted;
    if (!codePage.empty()) {
        converted = codepage::ToUtf8(text, codePage);
        text = converted;
    }
    pugi::xml_parse_result result = m_doc->load_buffer(text.data(), text.size(),
                                                       pugi::parse_default,
                                                       codePage.empty() ? pugi::encoding_auto : pugi::encoding_utf8);
    if (!result) {
        m_errorText = std::string(result.description()) + " at offset " + std::to_string(result.offset);
        m_doc->reset();
        return false;
    }
    m_errorText.clear();
    return true;
}

bool XmlDocument::Load(std::string_view path) {
    const std::string native = NativePath(path);
    std::ifstream in(native, std::ios::binary);
    if (!in) {
        m_errorText = native + ": File was not found";
        m_doc->reset();
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (!LoadXml(buffer.str())) {
        m_errorText = native + ": " + m_errorText;
        return false;
    }
    return true;
}

XmlDocument XmlDocument::Parse(std::string_view text) {
    XmlDocument doc;
    if (!doc.LoadXml(text)) {
        throw EXmlError("XML parse error: " + doc.ErrorText());
    }
    return doc;
}

XmlDocument XmlDocument::ParseFile(std::string_view path) {
    XmlDocument doc;
    if (!doc.Load(path)) {
        throw EXmlError("XML parse error: " + doc.ErrorText());
    }
    return doc;
}

bool XmlDocument::Save(std::string_view path) const { return m_doc->save_file(NativePath(path).c_str()); }

std::string XmlDocument::Xml() const {
    std::ostringstream out;
    m_doc->save(out, "  ");
    return out.str();
}

XmlNode XmlDocument::DocumentElement() const { return XmlNode(m_doc->document_element()); }

XmlNode XmlDocument::SelectSingleNode(std::string_view xpath) const { return XmlNode::SelectFrom(*m_doc, xpath); }

std::vector<XmlNode> XmlDocument::SelectNodes(std::string_view xpath) const {
    return XmlNode(static_cast<pugi::xml_node>(*m_doc)).SelectNodes(xpath);
}

XmlNode XmlDocument::CreateRoot(std::string_view name) {
    m_doc->reset();
    return XmlNode(m_doc->append_child(std::string(name).c_str()));
}

} // namespace corvane::xml
