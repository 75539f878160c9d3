// XML documents with XPath 1.0 selection, over pugixml.
//
// Texts are UTF-8. A parse failure is reported with the parser's reason and
// the byte offset where it stopped; an XPath expression that does not compile
// raises EXmlError naming the expression.
#pragma once

#include "platform/sys/Exceptions.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

namespace corvane::xml {

class EXmlError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EXmlError"; }
};

// A node of a document; a default-built node is null (IsNull) and answers
// empty texts. A node is valid while its document lives.
class XmlNode {
public:
    XmlNode();
    ~XmlNode();
    XmlNode(const XmlNode& other);
    XmlNode& operator=(const XmlNode& other);

    bool IsNull() const;
    explicit operator bool() const { return !IsNull(); }

    std::string Name() const;
    // The text content of the node and its descendants, as XPath string() gives it.
    std::string Text() const;
    void SetText(std::string_view text);
    bool HasAttribute(std::string_view name) const;
    std::string Attribute(std::string_view name, std::string_view defaultValue = {}) const;
    void SetAttribute(std::string_view name, std::string_view value);
    std::vector<std::pair<std::string, std::string>> Attributes() const;

    std::vector<XmlNode> Children() const;
    XmlNode Child(std::string_view name) const;
    XmlNode AppendChild(std::string_view name);
    bool RemoveChild(const XmlNode& child);

    XmlNode SelectSingleNode(std::string_view xpath) const;
    std::vector<XmlNode> SelectNodes(std::string_view xpath) const;

private:
    friend class XmlDocument;
    explicit XmlNode(const pugi::xml_node& node);
    static XmlNode SelectFrom(const pugi::xml_node& from, std::string_view xpath);
    std::unique_ptr<pugi::xml_node> m_node;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;

    // Each answers false and keeps the reason in ErrorText on failure; the
    // document is then empty.
    bool LoadXml(std::string_view text);
    bool Load(std::string_view path);
    const std::string& ErrorText() const { return m_errorText; }

    // Each raises EXmlError with the reason on failure.
    static XmlDocument Parse(std::string_view text);
    static XmlDocument ParseFile(std::string_view path);

    bool Save(std::string_view path) const;
    std::string Xml() const;

    // The root element (null when the document is empty).
    XmlNode DocumentElement() const;
    // Selection from the document node, so absolute and relative paths both work.
    XmlNode SelectSingleNode(std::string_view xpath) const;
    std::vector<XmlNode> SelectNodes(std::string_view xpath) const;
    // A node for a new root element; an existing root is replaced.
    XmlNode CreateRoot(std::string_view name);

private:
    std::unique_ptr<pugi::xml_document> m_doc;
    std::string m_errorText;
};

} // namespace corvane::xml
