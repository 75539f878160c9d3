#include "module/lang/LanguageController.h"

#include "module/lang/ComponentText.h"
#include "module/settings/CorvaneINI.h"
#include "module/util/PropUtils.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/SysUtils.h"

#include <QComboBox>
#include <QListWidget>
#include <QMetaObject>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace corvane {
namespace {

// A name usable as an element tag in an XPath step.
bool IsXmlName(const std::string& name) {
    if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
    });
}

xml::XmlNode FirstElement(const xml::XmlDocument& document, const std::string& tag) {
    if (!IsXmlName(tag)) {
        return {};
    }
    return document.SelectSingleNode("(//" + tag + ")[1]");
}

// "Items_3" -> ("Items", 3); false for a segment without an index.
bool SplitIndexed(const std::string& segment, std::string& name, int& index) {
    const size_t underscore = segment.rfind('_');
    if (underscore == std::string::npos || underscore + 1 >= segment.size()) {
        return false;
    }
    long long value = 0;
    if (!TryParseInt(segment.substr(underscore + 1), value) || value < 0 || value > 100000) {
        return false;
    }
    name = segment.substr(0, underscore);
    index = static_cast<int>(value);
    return SameText(name, "Items") || SameText(name, "Columns");
}

QTreeWidgetItem* NodeInTreeOrder(QTreeWidget* tree, int index) {
    int seen = 0;
    QTreeWidgetItem* found = nullptr;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        if (found) {
            return;
        }
        if (seen++ == index) {
            found = item;
            return;
        }
        for (int i = 0; i < item->childCount(); ++i) {
            walk(item->child(i));
        }
    };
    for (int i = 0; i < tree->topLevelItemCount() && !found; ++i) {
        walk(tree->topLevelItem(i));
    }
    return found;
}

} // namespace

std::string LanguageCode(std::string_view codePage) {
    if (codePage == "936") {
        return "CHS";
    }
    if (codePage == "950") {
        return "CHT";
    }
    if (codePage == "437") {
        return "ENG";
    }
    return {};
}

std::string LanguageFolder(TDesignType designType) {
    std::string base;
    std::string codePage;
    if (designType == TDesignType::dtClient) {
        const TCorvaneIniC config;
        base = config.ClientPath;
        codePage = config.UICodePage;
    } else {
        const TCorvaneIniS config;
        base = config.ServerPath;
        codePage = config.UICodePage;
    }
    const std::string code = LanguageCode(codePage);
    if (code.empty() || base.empty()) {
        return {};
    }
    const std::string folder = base + "MultiLanguage/" + code + "/";
    return DirectoryExists(folder) ? folder : std::string();
}

std::string GetLangText(const TCodeConverter& converter, std::string_view className, std::string_view key,
                        bool convertDefault, std::string_view defaultText) {
    const std::string fallback = convertDefault ? converter.ToDisplayText(defaultText) : std::string(defaultText);
    try {
        const std::string file = LanguageFolder(converter.DesignType) + std::string(className) + ".Lng";
        if (!FileExists(file)) {
            return fallback;
        }
        xml::XmlDocument document;
        if (!document.Load(file)) {
            return fallback;
        }
        const xml::XmlNode node = FirstElement(document, std::string(key));
        if (node.IsNull() || !node.HasAttribute("Msg")) {
            return fallback;
        }
        const std::string page = codepage::IsKnownCodePage(converter.UICodePage) ? converter.UICodePage : "936";
        return codepage::FromUtf8(node.Attribute("Msg"), page);
    } catch (const std::exception&) {
        return fallback;
    }
}

bool ApplyLanguageAttribute(QObject* component, const std::string& path, const QString& value) {
    const size_t dot = path.find('.');
    const std::string first = path.substr(0, dot);
    const std::string rest = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    std::string name;
    int index = 0;
    if (SplitIndexed(first, name, index)) {
        if (SameText(name, "Items") && rest.empty()) {
            QStringList lines;
            if (!ReadLines(component, "Items", lines)) {
                return false;
            }
            while (lines.size() <= index) {
                lines << QString();
            }
            lines[index] = value;
            return WriteLines(component, "Items", lines);
        }
        if (SameText(name, "Items") && SameText(rest, "Caption")) {
            if (auto* tree = qobject_cast<QTreeWidget*>(component); tree && index < tree->topLevelItemCount()) {
                tree->topLevelItem(index)->setText(0, value);
                return true;
            }
            if (auto* list = qobject_cast<QListWidget*>(component); list && index < list->count()) {
                list->item(index)->setText(value);
                return true;
            }
            return false;
        }
        if (SameText(name, "Items") && SameText(rest, "Text")) {
            if (auto* tree = qobject_cast<QTreeWidget*>(component)) {
                if (QTreeWidgetItem* node = NodeInTreeOrder(tree, index)) {
                    node->setText(0, value);
                    return true;
                }
            }
            return false;
        }
        if (SameText(name, "Columns") && SameText(rest, "Caption")) {
            if (auto* tree = qobject_cast<QTreeWidget*>(component); tree && index < tree->columnCount()) {
                tree->headerItem()->setText(index, value);
                return true;
            }
            if (auto* grid = qobject_cast<QTableWidget*>(component); grid && index < grid->columnCount()) {
                QTableWidgetItem* header = grid->horizontalHeaderItem(index);
                if (!header) {
                    grid->setHorizontalHeaderItem(index, header = new QTableWidgetItem());
                }
                header->setText(value);
                return true;
            }
            return false;
        }
        // Another property of an indexed item: the walk stays at the collection.
        return false;
    }
    if (SetPropByPath(component, QString::fromStdString(path), value)) {
        return true;
    }
    if (rest.empty()) {
        QStringList lines;
        if ((SameText(first, "Lines") || SameText(first, "Items") || SameText(first, "Panels")) &&
            ReadLines(component, first, lines)) {
            return WriteLines(component, first, value.split('\n'));
        }
        return WriteTextProperty(component, first, value);
    }
    return false;
}

TLangReader::TLangReader(const xml::XmlDocument& document, std::vector<std::string> excludeControls)
    : m_document(document), m_exclude(std::move(excludeControls)) {}

bool TLangReader::IsExcluded(const QString& name) const {
    const std::string trimmed = Trim(name.toStdString());
    return std::any_of(m_exclude.begin(), m_exclude.end(),
                       [&](const std::string& excluded) { return SameText(Trim(excluded), trimmed); });
}

void TLangReader::Apply(QObject* component, const xml::XmlNode& element) {
    if (BeforeLoadComponent) {
        BeforeLoadComponent(component, element);
    }
    // A combo box keeps its selected item across the reading.
    auto* combo = qobject_cast<QComboBox*>(component);
    const int selected = combo ? combo->currentIndex() : -1;
    for (const auto& [path, value] : element.Attributes()) {
        if (OnAttribute && OnAttribute(component, path, value)) {
            continue;
        }
        ApplyLanguageAttribute(component, path, QString::fromStdString(value));
    }
    if (combo && selected < combo->count()) {
        combo->setCurrentIndex(selected);
    }
    if (AfterLoadComponent) {
        AfterLoadComponent(component, element);
    }
}

void TLangReader::ReadTree(QObject* component, bool isRoot) {
    if (isRoot) {
        const xml::XmlNode root = m_document.DocumentElement();
        if (!root.IsNull()) {
            Apply(component, root);
        }
    }
    const QString name = component->objectName();
    if (!name.isEmpty() && !IsExcluded(name)) {
        const xml::XmlNode element = FirstElement(m_document, name.toStdString());
        if (!element.IsNull()) {
            Apply(component, element);
        }
    }
    for (QObject* child : component->children()) {
        ReadTree(child, false);
    }
}

void TLangReader::ReadComponent(QObject* component) {
    if (component) {
        ReadTree(component, true);
    }
}

TKtLangController::TKtLangController(QObject* parent, TDesignType designType)
    : QObject(parent), DesignType(designType) {
    setObjectName("LangController");
}

TKtLangController::~TKtLangController() = default;

void TKtLangController::SetActive(bool active) {
    if (active == Active()) {
        return;
    }
    if (!active) {
        if (BeforeClose) {
            BeforeClose(this);
        }
        m_reader.reset();
        m_document.reset();
        if (AfterClose) {
            AfterClose(this);
        }
        return;
    }
    if (BeforeOpen) {
        BeforeOpen(this);
    }
    m_reader.reset();
    auto document = std::make_unique<xml::XmlDocument>();
    if (!DocumentText.empty()) {
        if (!document->LoadXml(DocumentText)) {
            throw xml::EXmlError(document->ErrorText());
        }
    } else {
        if (m_fileName.empty()) {
            throw Exception("Cannot Find File " + m_fileName + "!");
        }
        if (!document->Load(m_fileName)) {
            throw xml::EXmlError(document->ErrorText());
        }
    }
    if (document->DocumentElement().IsNull()) {
        throw xml::EXmlError("The language document has no document element");
    }
    m_document = std::move(document);
    m_reader = std::make_unique<TLangReader>(*m_document, m_exclude);
    m_reader->BeforeLoadComponent = BeforeLoadComponent;
    m_reader->AfterLoadComponent = AfterLoadComponent;
    m_reader->OnAttribute = OnAttribute;
    if (AfterOpen) {
        AfterOpen(this);
    }
}

void TKtLangController::SetLangPackageName(const std::string& name) {
    if (name == m_packageName) {
        return;
    }
    m_packageName = name;
    const std::string fileName = LanguageFolder(DesignType) + name + ".Lng";
    if (fileName != m_fileName) {
        m_fileName = fileName;
        SetActive(false);
    }
}

void TKtLangController::SetExcludeControls(std::vector<std::string> names) {
    m_exclude = std::move(names);
    if (m_reader) {
        m_reader->SetExcludeControls(m_exclude);
    }
}

void TKtLangController::ReadComponent(QObject* component) {
    if (!m_reader) {
        throw Exception("No active LanguageController!");
    }
    m_reader->ReadComponent(component);
}

std::vector<std::string> ClassChain(const QObject* component) {
    std::vector<std::string> chain;
    for (const QMetaObject* meta = component ? component->metaObject() : nullptr; meta; meta = meta->superClass()) {
        std::string name = meta->className();
        const size_t scope = name.rfind("::");
        if (scope != std::string::npos) {
            name = name.substr(scope + 2);
        }
        if (name.size() > 1 && name[0] == 'Q' && std::isupper(static_cast<unsigned char>(name[1]))) {
            break;
        }
        chain.push_back(name);
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

void LoadLanguage(TKtLangController& controller, QObject* component) {
    for (const std::string& name : ClassChain(component)) {
        controller.SetLangPackageName(name);
        if (FileExists(controller.FileName())) {
            controller.SetActive(true);
            controller.ReadComponent(component);
        }
    }
}

} // namespace corvane
