#include "module/lang/ComponentText.h"


#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaProperty>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

namespace corvane {
namespace {

// A text property published under exactly this name (the framework's own
// components publish Caption, Text and the like; Qt's "text" is not "Text").
bool HasOwnTextProperty(const QObject* object, std::string_view name) {
    const std::string key(name);
    const int index = object->metaObject()->indexOfProperty(key.c_str());
    if (index >= 0) {
        return object->metaObject()->property(index).metaType().id() == QMetaType::QString;
    }
    return object->dynamicPropertyNames().contains(QByteArray(key.c_str())) &&
           object->property(key.c_str()).metaType().id() == QMetaType::QString;
}

// The Qt property that plays the part of a text property on this object.
const char* QtTextProperty(const QObject* object, std::string_view name) {
    if (name == "Caption") {
        if (qobject_cast<const QAction*>(object)) {
            return "text";
        }
        if (qobject_cast<const QMenu*>(object) || qobject_cast<const QGroupBox*>(object)) {
            return "title";
        }
        if (qobject_cast<const QAbstractButton*>(object) || qobject_cast<const QLabel*>(object)) {
            return "text";
        }
        const auto* widget = qobject_cast<const QWidget*>(object);
        if (widget && (widget->isWindow() || qobject_cast<const QDockWidget*>(object))) {
            return "windowTitle";
        }
        return nullptr;
    }
    if (name == "Hint") {
        return qobject_cast<const QWidget*>(object) || qobject_cast<const QAction*>(object) ? "toolTip" : nullptr;
    }
    if (name == "Text") {
        // Labels and buttons have a caption, not a text.
        if (qobject_cast<const QLineEdit*>(object)) {
            return "text";
        }
        if (qobject_cast<const QComboBox*>(object)) {
            return "currentText";
        }
        return nullptr;
    }
    return nullptr;
}

} // namespace

bool ReadTextProperty(const QObject* object, std::string_view name, QString& value) {
    if (!object) {
        return false;
    }
    if (HasOwnTextProperty(object, name)) {
        value = object->property(std::string(name).c_str()).toString();
        return true;
    }
    if (const char* qtName = QtTextProperty(object, name)) {
        value = object->property(qtName).toString();
        return true;
    }
    return false;
}

bool WriteTextProperty(QObject* object, std::string_view name, const QString& value) {
    if (!object) {
        return false;
    }
    if (HasOwnTextProperty(object, name)) {
        const std::string key(name);
        const bool declared = object->metaObject()->indexOfProperty(key.c_str()) >= 0;
        // Setting a dynamic property answers false although it is set.
        return object->setProperty(key.c_str(), value) || !declared;
    }
    if (const char* qtName = QtTextProperty(object, name)) {
        if (auto* combo = qobject_cast<QComboBox*>(object); combo && std::string_view(qtName) == "currentText") {
            if (!combo->isEditable()) {
                return false;
            }
            combo->setEditText(value);
            return true;
        }
        return object->setProperty(qtName, value);
    }
    return false;
}

bool ReadLines(const QObject* object, std::string_view name, QStringList& lines) {
    if (!object) {
        return false;
    }
    lines.clear();
    if (name == "Items") {
        if (const auto* combo = qobject_cast<const QComboBox*>(object)) {
            for (int i = 0; i < combo->count(); ++i) {
                lines << combo->itemText(i);
            }
            return true;
        }
        if (const auto* list = qobject_cast<const QListWidget*>(object)) {
            for (int i = 0; i < list->count(); ++i) {
                lines << list->item(i)->text();
            }
            return true;
        }
    }
    if (name == "Lines") {
        if (const auto* edit = qobject_cast<const QPlainTextEdit*>(object)) {
            lines = edit->toPlainText().split('\n');
            return true;
        }
        if (const auto* edit = qobject_cast<const QTextEdit*>(object)) {
            lines = edit->toPlainText().split('\n');
            return true;
        }
    }
    const QVariant value = object->property(std::string(name).c_str());
    if (value.metaType().id() == QMetaType::QStringList) {
        lines = value.toStringList();
        return true;
    }
    return false;
}

bool WriteLines(QObject* object, std::string_view name, const QStringList& lines) {
    if (!object) {
        return false;
    }
    if (name == "Items") {
        if (auto* combo = qobject_cast<QComboBox*>(object)) {
            const int selected = combo->currentIndex();
            const QSignalBlocker blocker(combo);
            for (int i = 0; i < lines.size(); ++i) {
                if (i < combo->count()) {
                    combo->setItemText(i, lines[i]);
                } else {
                    combo->addItem(lines[i]);
                }
            }
            while (combo->count() > lines.size()) {
                combo->removeItem(combo->count() - 1);
            }
            combo->setCurrentIndex(selected < combo->count() ? selected : -1);
            return true;
        }
        if (auto* list = qobject_cast<QListWidget*>(object)) {
            const int selected = list->currentRow();
            for (int i = 0; i < lines.size(); ++i) {
                if (i < list->count()) {
                    list->item(i)->setText(lines[i]);
                } else {
                    list->addItem(lines[i]);
                }
            }
            while (list->count() > lines.size()) {
                delete list->takeItem(list->count() - 1);
            }
            list->setCurrentRow(selected < list->count() ? selected : -1);
            return true;
        }
    }
    if (name == "Lines") {
        if (auto* edit = qobject_cast<QPlainTextEdit*>(object)) {
            edit->setPlainText(lines.join('\n'));
            return true;
        }
        if (auto* edit = qobject_cast<QTextEdit*>(object)) {
            edit->setPlainText(lines.join('\n'));
            return true;
        }
    }
    const QVariant value = object->property(std::string(name).c_str());
    if (value.metaType().id() == QMetaType::QStringList) {
        return object->setProperty(std::string(name).c_str(), lines);
    }
    return false;
}

bool ReadFontProperty(const QObject* object, std::string_view name, QFont& font) {
    if (!object) {
        return false;
    }
    if (name == "Font") {
        if (const auto* widget = qobject_cast<const QWidget*>(object)) {
            font = widget->font();
            return true;
        }
    }
    const QVariant value = object->property(std::string(name).c_str());
    if (value.metaType().id() == QMetaType::QFont) {
        font = value.value<QFont>();
        return true;
    }
    return false;
}

bool WriteFontProperty(QObject* object, std::string_view name, const QFont& font) {
    if (!object) {
        return false;
    }
    if (name == "Font") {
        if (auto* widget = qobject_cast<QWidget*>(object)) {
            widget->setFont(font);
            return true;
        }
    }
    const QVariant value = object->property(std::string(name).c_str());
    if (value.metaType().id() == QMetaType::QFont) {
        return object->setProperty(std::string(name).c_str(), font);
    }
    return false;
}

} // namespace corvane
