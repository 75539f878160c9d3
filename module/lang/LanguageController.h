// Language packages and message texts read from XML files in a per-language
// folder: MultiLanguage/<CHS|CHT|ENG>/ under the client (or server) path,
// chosen by the interface code page.
//
// A package (<class name>.Lng) holds property values for a component tree:
// its document element applies to the form or data module itself, and the
// first element anywhere whose tag is a component's name applies to that
// component; each attribute is a property path and its value. Message texts
// are the Msg attribute of the first element whose tag is the key.
#pragma once

#include "module/lang/CodeConverter.h"
#include "platform/xml/XmlDocument.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The language folder with its trailing "/"; empty when the interface code
// page has no language code or the folder does not exist.
std::string LanguageFolder(TDesignType designType);
// "936" -> "CHS", "950" -> "CHT", "437" -> "ENG"; empty for any other.
std::string LanguageCode(std::string_view codePage);

// The text of `key` in the message file of `className`, or the default when
// the folder, file or element is missing or the file cannot be read. The
// default passes through the converter's ToDisplay when convertDefault is
// set. The text comes in the interface code page.
std::string GetLangText(const TCodeConverter& converter, std::string_view className, std::string_view key,
                        bool convertDefault, std::string_view defaultText);

using ComponentElementEvent = std::function<void(QObject* component, const xml::XmlNode& element)>;
// Replaces the default assignment of one attribute when installed; answers true when it handled it.
using AttributeHook = std::function<bool(QObject* component, const std::string& path, const std::string& value)>;

// Applies the elements of a language document to a component tree.
class TLangReader {
public:
    TLangReader(const xml::XmlDocument& document, std::vector<std::string> excludeControls);

    void SetExcludeControls(std::vector<std::string> names) { m_exclude = std::move(names); }
    ComponentElementEvent BeforeLoadComponent;
    ComponentElementEvent AfterLoadComponent;
    AttributeHook OnAttribute;

    // Reads a form or data module and every component it owns.
    void ReadComponent(QObject* component);

private:
    void ReadTree(QObject* component, bool isRoot);
    void Apply(QObject* component, const xml::XmlNode& element);
    bool IsExcluded(const QString& name) const;

    const xml::XmlDocument& m_document;
    std::vector<std::string> m_exclude;
};

// Assigns one attribute of a language document: indexed paths (Items_3,
// Columns_2.Caption, Items_1.Caption, Items_4.Text) and everything else
// through the property system. Answers false when the path cannot be followed
// or the value does not fit; such attributes are ignored.
bool ApplyLanguageAttribute(QObject* component, const std::string& path, const QString& value);

class TKtLangController : public QObject {
public:
    explicit TKtLangController(QObject* parent = nullptr, TDesignType designType = TDesignType::dtClient);
    ~TKtLangController() override;

    bool Active() const { return m_reader != nullptr; }
    // Activation parses the package (or the in-memory document) and makes the
    // reader; it raises "Cannot Find File %s!" or the parser's reason.
    void SetActive(bool active);
    const std::string& LangPackageName() const { return m_packageName; }
    // Changing the name points the controller at LanguageFolder + name + ".Lng"
    // and deactivates it when the file changed.
    void SetLangPackageName(const std::string& name);
    const std::string& FileName() const { return m_fileName; }
    TDesignType DesignType = TDesignType::dtClient;
    const std::vector<std::string>& ExcludeControls() const { return m_exclude; }
    void SetExcludeControls(std::vector<std::string> names);
    // A document parsed instead of the file while it is not empty.
    std::string DocumentText;

    std::function<void(QObject* sender)> BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    ComponentElementEvent BeforeLoadComponent, AfterLoadComponent;
    AttributeHook OnAttribute;

    // Applies the active document; fails with "No active LanguageController!" without one.
    void ReadComponent(QObject* component);

private:
    std::string m_packageName;
    std::string m_fileName;
    std::vector<std::string> m_exclude;
    std::unique_ptr<xml::XmlDocument> m_document;
    std::unique_ptr<TLangReader> m_reader;
};

// The class names of a component from the topmost framework class down to
// its own class (Qt's own classes are not part of the chain).
std::vector<std::string> ClassChain(const QObject* component);

// Applies the packages of the component's class chain, topmost first.
void LoadLanguage(TKtLangController& controller, QObject* component);

} // namespace corvane
