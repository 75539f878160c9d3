#include "module/lang/CodeConverter.h"

#include "module/lang/ComponentText.h"
#include "module/settings/CorvaneINI.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/SysUtils.h"

#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QWidget>

namespace corvane {
namespace {

constexpr char kFieldSeparator = '\x03';

// The properties converted on every component, by the names the exclusion lines use.
constexpr std::string_view kTextProperties[] = {"Caption", "Hint", "ButtonHint", "Text"};
constexpr std::string_view kListProperties[] = {"Items", "Lines", "Panels"};
constexpr std::string_view kFontProperties[] = {"Font", "TitleFont"};

void Flatten(const Variant& value, std::string& line) {
    if (value.IsArray()) {
        for (const Variant& element : value.Array().Elements()) {
            Flatten(element, line);
        }
        return;
    }
    if (!line.empty()) {
        line += kFieldSeparator;
    }
    line += VarToStr(value);
}

void ConvertTreeItem(QTreeWidgetItem* item, int columns, const TCodeConverter& converter, int mode) {
    for (int col = 0; col < columns; ++col) {
        item->setText(col, converter.ConvertWidgetText(mode, item->text(col)));
    }
    for (int i = 0; i < item->childCount(); ++i) {
        ConvertTreeItem(item->child(i), columns, converter, mode);
    }
}

} // namespace

TCodeConverter::TCodeConverter(QObject* parent, TDesignType designType) : QObject(parent), DesignType(designType) {
    setObjectName("KtConverter");
    std::unique_ptr<TCorvaneIni> config;
    if (designType == TDesignType::dtClient) {
        config = std::make_unique<TCorvaneIniC>();
    } else {
        config = std::make_unique<TCorvaneIniS>();
    }
    SystemCodePage = config->SystemCodePage;
    UICodePage = config->UICodePage;
    DBCodePage = config->DBCodePage;
    SetModes(config->UIConvertMode, config->DBConvertMode);
}

TCodeConverter::~TCodeConverter() = default;

void TCodeConverter::SetModes(int uiMode, int dbMode) {
    UIConvertMode = uiMode;
    DBConvertMode = dbMode;
    if (UIConvertMode != 0 && !m_translator) {
        m_translator = std::make_unique<TTranslator>();
    } else if (UIConvertMode == 0) {
        m_translator.reset();
    }
}

const TTranslator& TCodeConverter::Library() const {
    if (m_translator) {
        return *m_translator;
    }
    if (!m_directTranslator) {
        m_directTranslator = std::make_unique<TTranslator>();
    }
    return *m_directTranslator;
}

std::string TCodeConverter::ConvertString(int mode, std::string_view text) const {
    if (!m_translator || text.empty()) {
        return std::string(text);
    }
    if (mode == 1) {
        return m_translator->BIG5toGB(text);
    }
    if (mode == 2) {
        return m_translator->GBtoBIG5(text);
    }
    return std::string(text);
}

Variant TCodeConverter::ConvertText(int mode, const Variant& value) const {
    if (mode == 0 || !m_translator || value.IsEmptyOrNull()) {
        return value;
    }
    if (value.IsArray()) {
        Variant copy = value;
        for (Variant& element : copy.Array().Elements()) {
            element = ConvertText(mode, element);
        }
        return copy;
    }
    if (mode != 1 && mode != 2) {
        return value;
    }
    if (value.Type() == VarType::WideString) {
        const std::string utf8 = codepage::Utf16ToUtf8(value.ToWideString());
        return Variant(codepage::Utf8ToUtf16(mode == 1 ? m_translator->TraditionalToSimplified(utf8)
                                                       : m_translator->SimplifiedToTraditional(utf8)));
    }
    if (value.Type() != VarType::String) {
        return value;
    }
    return Variant(ConvertString(mode, value.ToString()));
}

QString TCodeConverter::ConvertWidgetText(int mode, const QString& text) const {
    if (!m_translator || text.isEmpty() || (mode != 1 && mode != 2)) {
        return text;
    }
    const std::string utf8 = text.toStdString();
    return QString::fromStdString(mode == 1 ? m_translator->TraditionalToSimplified(utf8)
                                            : m_translator->SimplifiedToTraditional(utf8));
}

Variant TCodeConverter::ToStorage(const Variant& value) const {
    try {
        return ConvertText(UIConvertMode == 1 ? 2 : UIConvertMode == 2 ? 1 : 0, value);
    } catch (const std::exception&) {
        return value;
    }
}

std::string TCodeConverter::ToStorageText(std::string_view text) const {
    try {
        return ConvertString(UIConvertMode == 1 ? 2 : UIConvertMode == 2 ? 1 : 0, text);
    } catch (const std::exception&) {
        return std::string(text);
    }
}

Variant TCodeConverter::DisplayToDB(const Variant& value) const {
    try {
        return ConvertText(DBConvertMode == 1 ? 2 : DBConvertMode == 2 ? 1 : 0, value);
    } catch (const std::exception&) {
        return value;
    }
}

std::string TCodeConverter::Big5ToGBText(std::string_view text) const {
    return text.empty() ? std::string() : Library().BIG5toGB(text);
}

std::string TCodeConverter::GBToBig5Text(std::string_view text) const {
    return text.empty() ? std::string() : Library().GBtoBIG5(text);
}

int TCodeConverter::ModeCharset(int mode) { return mode == 2 || mode == 3 ? 136 : 134; }

void TCodeConverter::SetModeFont(int, QFont& font) { font.setFamily("SimSun"); }

void TCodeConverter::ConvertCaption(QWidget* form) const {
    if (form && SystemCodePage == "950") {
        form->setWindowTitle(ConvertWidgetText(2, form->windowTitle()));
    }
}

void TCodeConverter::ConvertComponent(QObject* component, const std::string* exclusion) {
    const int mode = UIConvertMode;
    const std::string upperLine = exclusion ? UpperCase(*exclusion) : std::string();
    const auto excluded = [&](std::string_view name) {
        return exclusion && upperLine.find(UpperCase(name)) != std::string::npos;
    };
    for (std::string_view name : kFontProperties) {
        QFont font;
        if (!excluded(name) && ReadFontProperty(component, name, font)) {
            SetModeFont(mode, font);
            WriteFontProperty(component, name, font);
        }
    }
    for (std::string_view name : kTextProperties) {
        QString text;
        if (!excluded(name) && ReadTextProperty(component, name, text) && !text.isEmpty()) {
            WriteTextProperty(component, name, ConvertWidgetText(mode, text));
        }
    }
    for (std::string_view name : kListProperties) {
        QStringList lines;
        if (!excluded(name) && ReadLines(component, name, lines) && !lines.isEmpty()) {
            for (QString& line : lines) {
                line = ConvertWidgetText(mode, line);
            }
            WriteLines(component, name, lines);
        }
    }
}

// Components whose texts live outside their properties: list and tree views,
// tab sets and string grids.
void TCodeConverter::ConvertSpecial(QObject* component, bool deep) {
    const int mode = UIConvertMode;
    if (mode != 1 && mode != 2) {
        return;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(component)) {
        const int columns = tree->columnCount();
        if (QTreeWidgetItem* header = tree->headerItem()) {
            for (int col = 0; col < columns; ++col) {
                header->setText(col, ConvertWidgetText(mode, header->text(col)));
            }
        }
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = tree->topLevelItem(i);
            if (deep) {
                ConvertTreeItem(item, columns, *this, mode);
            } else {
                for (int col = 0; col < columns; ++col) {
                    item->setText(col, ConvertWidgetText(mode, item->text(col)));
                }
            }
        }
    } else if (auto* tabs = qobject_cast<QTabBar*>(component)) {
        const int selected = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setTabText(i, ConvertWidgetText(mode, tabs->tabText(i)));
        }
        tabs->setCurrentIndex(selected);
    } else if (auto* pages = qobject_cast<QTabWidget*>(component)) {
        const int selected = pages->currentIndex();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setTabText(i, ConvertWidgetText(mode, pages->tabText(i)));
        }
        pages->setCurrentIndex(selected);
    } else if (auto* grid = qobject_cast<QTableWidget*>(component); grid && deep) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int col = 0; col < grid->columnCount(); ++col) {
                if (QTableWidgetItem* cell = grid->item(row, col)) {
                    cell->setText(ConvertWidgetText(mode, cell->text()));
                }
            }
        }
        for (int col = 0; col < grid->columnCount(); ++col) {
            if (QTableWidgetItem* header = grid->horizontalHeaderItem(col)) {
                header->setText(ConvertWidgetText(mode, header->text()));
            }
        }
        for (int row = 0; row < grid->rowCount(); ++row) {
            if (QTableWidgetItem* header = grid->verticalHeaderItem(row)) {
                header->setText(ConvertWidgetText(mode, header->text()));
            }
        }
    }
}

void TCodeConverter::ConvertForm(QWidget* form, bool useExclusions, bool deep) {
    if (!m_translator || !form) {
        return;
    }
    ConvertCaption(form);
    form->setToolTip(ConvertWidgetText(UIConvertMode, form->toolTip()));
    QFont font = QApplication::font();
    SetModeFont(UIConvertMode, font);
    QToolTip::setFont(font);
    QApplication::setFont(font, "QMenu");
    if (UIConvertMode == 0) {
        return;
    }
    for (QObject* component : form->findChildren<QObject*>()) {
        if (component == this) {
            continue;
        }
        const std::string name = UpperCase(component->objectName().toStdString());
        const std::string* exclusion = nullptr;
        if (useExclusions && !name.empty()) {
            for (const std::string& line : ExclusionList) {
                const size_t separator = line.find(kFieldSeparator);
                if (UpperCase(line.substr(0, separator)) == name) {
                    exclusion = &line;
                    break;
                }
            }
        }
        if (exclusion) {
            // A listed component converts only what its line does not name, and only when it names something.
            if (exclusion->find(kFieldSeparator) != std::string::npos) {
                ConvertComponent(component, exclusion);
            }
            continue;
        }
        ConvertComponent(component, nullptr);
        ConvertSpecial(component, deep);
    }
}

void TCodeConverter::ConvertFormWithData(QWidget* form, const Variant& data, bool deep) {
    if (!m_translator) {
        return;
    }
    ExclusionList.clear();
    if (data.IsArray()) {
        for (const Variant& element : data.Array().Elements()) {
            JoinBuffer.clear();
            Flatten(element, JoinBuffer);
            ExclusionList.push_back(JoinBuffer);
        }
    } else if (!data.IsEmptyOrNull()) {
        ExclusionList.push_back(VarToStr(data));
    }
    ConvertForm(form, true, deep);
}

int TCodeConverter::ShowConvertedDialog(QWidget* form, std::string_view text, ui::MsgDlgType kind,
                                        const std::vector<ui::MsgDlgBtn>& buttons) const {
    if (text.empty()) {
        return ui::mrNone;
    }
    std::string shown(text);
    if (UICodePage == "936" || SystemCodePage == "936") {
        shown += "      ";
    }
    if (form && form->isMinimized()) {
        form->showNormal();
    }
    ui::MessageDialogRequest request;
    const std::string page = codepage::IsKnownCodePage(UICodePage) ? UICodePage : "936";
    request.Text = QString::fromStdString(codepage::ToUtf8(shown, page));
    request.Type = kind;
    request.Buttons = buttons;
    request.DefaultButton = buttons.empty() ? std::optional<ui::MsgDlgBtn>() : buttons.front();
    request.Parent = form;
    request.Caption = form ? form->windowTitle() : QString();
    SetModeFont(UIConvertMode, request.Font);
    request.FontCharset = ModeCharset(UIConvertMode) == 136 ? "BIG5" : "GB2312";
    return ui::ShowMessageDialog(request);
}

} // namespace corvane
