// Access to the published properties of components by name.
//
// A component is a QObject; its published properties are its Qt properties
// (declared or dynamic). Names compare without regard to case. Each function
// does nothing, or answers an empty value, for a missing component, an empty
// name or a property the component does not publish.
#pragma once

#include <QString>

class QObject;

namespace corvane {

enum class TTypeKind { tkUnknown, tkInteger, tkEnumeration, tkSet, tkFloat, tkString, tkClass, tkBoolean, tkOther };

bool HasProp(const QObject* component, const QString& name);
TTypeKind PropKind(const QObject* component, const QString& name);
QString GetStrPropByName(const QObject* component, const QString& name);
void SetStrPropByName(QObject* component, const QString& name, const QString& value);
// Integers, booleans (0 or 1), enumerations and sets by their value.
long long GetOrdPropByName(const QObject* component, const QString& name);
void SetOrdPropByName(QObject* component, const QString& name, long long value);

// Assigns `value` to the property at a dotted path ("Font.Name",
// "Owner.Caption"). The path is followed through properties that hold
// components; a font property takes Name and Size. Enumerations accept their
// symbolic names and sets their names between brackets; enumeration and set
// values are trimmed. False when the path does not lead to a property or the
// value does not fit it.
bool SetPropByPath(QObject* object, const QString& path, const QString& value);

} // namespace corvane
