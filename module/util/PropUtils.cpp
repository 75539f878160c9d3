#include "module/util/PropUtils.h"

#include <QFont>
#include <QMetaProperty>
#include <QObject>
#include <QStringList>
#include <QVariant>

namespace corvane {
namespace {

// A property found by name: declared (index >= 0) or dynamic (its exact name).
struct Found {
    int Index = -1;
    QByteArray DynamicName;
    bool IsValid() const { return Index >= 0 || !DynamicName.isEmpty(); }
};

Found FindProperty(const QObject* component, const QString& name) {
    Found found;
    if (!component || name.trimmed().isEmpty()) {
        return found;
    }
    const QMetaObject* meta = component->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        if (QString::fromLatin1(meta->property(i).name()).compare(name, Qt::CaseInsensitive) == 0) {
            found.Index = i;
            return found;
        }
    }
    for (const QByteArray& dynamic : component->dynamicPropertyNames()) {
        if (QString::fromUtf8(dynamic).compare(name, Qt::CaseInsensitive) == 0) {
            found.DynamicName = dynamic;
            return found;
        }
    }
    return found;
}

QVariant Read(const QObject* component, const Found& found) {
    if (found.Index >= 0) {
        return component->metaObject()->property(found.Index).read(component);
    }
    return component->property(found.DynamicName.constData());
}

bool Write(QObject* component, const Found& found, const QVariant& value) {
    if (found.Index >= 0) {
        QMetaProperty property = component->metaObject()->property(found.Index);
        return property.isWritable() && property.write(component, value);
    }
    component->setProperty(found.DynamicName.constData(), value);
    return true;
}

bool HoldsComponent(const QMetaType& type) { return type.flags().testFlag(QMetaType::PointerToQObject); }

TTypeKind KindOf(const QObject* component, const Found& found) {
    if (!found.IsValid()) {
        return TTypeKind::tkUnknown;
    }
    QMetaType type;
    if (found.Index >= 0) {
        QMetaProperty property = component->metaObject()->property(found.Index);
        if (property.isFlagType()) {
            return TTypeKind::tkSet;
        }
        if (property.isEnumType()) {
            return TTypeKind::tkEnumeration;
        }
        type = property.metaType();
    } else {
        type = Read(component, found).metaType();
    }
    if (HoldsComponent(type)) {
        return TTypeKind::tkClass;
    }
    switch (type.id()) {
    case QMetaType::Bool:
        return TTypeKind::tkBoolean;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        return TTypeKind::tkInteger;
    case QMetaType::Double:
    case QMetaType::Float:
        return TTypeKind::tkFloat;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return TTypeKind::tkString;
    default:
        return TTypeKind::tkOther;
    }
}

// The text assigned to a declared property, turned into its type: symbolic
// names for enumerations and sets, numbers and booleans from their text.
bool AssignText(QObject* component, const Found& found, const QString& text) {
    if (found.Index < 0) {
        return Write(component, found, text);
    }
    QMetaProperty property = component->metaObject()->property(found.Index);
    if (property.isEnumType() || property.isFlagType()) {
        const QMetaEnum enumerator = property.enumerator();
        QString symbol = text.trimmed();
        bool isNumber = false;
        int value = symbol.toInt(&isNumber);
        if (!isNumber) {
            bool ok = false;
            if (property.isFlagType()) {
                if (symbol.startsWith('[') && symbol.endsWith(']')) {
                    symbol = symbol.mid(1, symbol.size() - 2);
                }
                QStringList names = symbol.split(',', Qt::SkipEmptyParts);
                for (QString& name : names) {
                    name = name.trimmed();
                }
                value = names.isEmpty() ? 0 : enumerator.keysToValue(names.join('|').toLatin1(), &ok);
                ok = ok || names.isEmpty();
            } else {
                value = enumerator.keyToValue(symbol.toLatin1(), &ok);
            }
            if (!ok) {
                return false;
            }
        }
        return Write(component, found, value);
    }
    QVariant converted(text);
    const QMetaType type = property.metaType();
    if (type.id() == QMetaType::Bool) {
        const QString t = text.trimmed();
        if (t.compare("true", Qt::CaseInsensitive) == 0 || t == "1") {
            return Write(component, found, true);
        }
        if (t.compare("false", Qt::CaseInsensitive) == 0 || t == "0") {
            return Write(component, found, false);
        }
        return false;
    }
    if (type.id() != QMetaType::QString) {
        const QVariant original = converted;
        if (!converted.convert(type)) {
            return false;
        }
        // Numbers must read back from the whole text: "12abc" is no integer.
        if ((type.id() == QMetaType::Int || type.id() == QMetaType::Double || type.id() == QMetaType::LongLong)) {
            bool ok = false;
            if (type.id() == QMetaType::Double) {
                original.toString().trimmed().toDouble(&ok);
            } else {
                original.toString().trimmed().toLongLong(&ok);
            }
            if (!ok) {
                return false;
            }
        }
    }
    return Write(component, found, converted);
}

bool AssignFontPart(QObject* component, const Found& found, const QString& part, const QString& text) {
    QFont font = Read(component, found).value<QFont>();
    if (part.compare("Name", Qt::CaseInsensitive) == 0) {
        font.setFamily(text.trimmed());
    } else if (part.compare("Size", Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const int size = text.trimmed().toInt(&ok);
        if (!ok || size <= 0) {
            return false;
        }
        font.setPointSize(size);
    } else {
        return false;
    }
    return Write(component, found, font);
}

} // namespace

bool HasProp(const QObject* component, const QString& name) { return FindProperty(component, name).IsValid(); }

TTypeKind PropKind(const QObject* component, const QString& name) {
    return KindOf(component, FindProperty(component, name));
}

QString GetStrPropByName(const QObject* component, const QString& name) {
    const Found found = FindProperty(component, name);
    return found.IsValid() ? Read(component, found).toString() : QString();
}

void SetStrPropByName(QObject* component, const QString& name, const QString& value) {
    const Found found = FindProperty(component, name);
    if (found.IsValid()) {
        Write(component, found, value);
    }
}

long long GetOrdPropByName(const QObject* component, const QString& name) {
    const Found found = FindProperty(component, name);
    if (!found.IsValid()) {
        return 0;
    }
    const QVariant value = Read(component, found);
    return value.metaType().id() == QMetaType::Bool ? (value.toBool() ? 1 : 0) : value.toLongLong();
}

void SetOrdPropByName(QObject* component, const QString& name, long long value) {
    const Found found = FindProperty(component, name);
    if (!found.IsValid()) {
        return;
    }
    if (KindOf(component, found) == TTypeKind::tkBoolean) {
        Write(component, found, value != 0);
    } else if (found.Index >= 0 && (component->metaObject()->property(found.Index).isEnumType())) {
        Write(component, found, static_cast<int>(value));
    } else {
        QVariant converted(value);
        if (found.Index >= 0) {
            converted.convert(component->metaObject()->property(found.Index).metaType());
        }
        Write(component, found, converted);
    }
}

bool SetPropByPath(QObject* object, const QString& path, const QString& value) {
    if (!object || path.trimmed().isEmpty()) {
        return false;
    }
    const QStringList parts = path.split('.');
    QObject* current = object;
    for (int i = 0; i < parts.size(); ++i) {
        const Found found = FindProperty(current, parts[i].trimmed());
        if (!found.IsValid()) {
            return false;
        }
        const bool last = i == parts.size() - 1;
        if (last) {
            return AssignText(current, found, value);
        }
        const QVariant held = Read(current, found);
        if (held.metaType().id() == QMetaType::QFont && i == parts.size() - 2) {
            return AssignFontPart(current, found, parts[i + 1].trimmed(), value);
        }
        if (!HoldsComponent(held.metaType())) {
            return false;
        }
        current = held.value<QObject*>();
        if (!current) {
            return false;
        }
    }
    return false;
}

} // namespace corvane
