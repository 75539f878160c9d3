// The suite's text properties of components under their own names (Caption,
// Hint, ButtonHint, Text, Items, Lines, Panels, Font, TitleFont), resolved on
// Qt objects: a property of that name when the object publishes one, else the
// Qt property that plays the part (a label's or button's text, a group box's
// title, a window's title, a tool tip, a combo box's items, an editor's lines).
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <string_view>

class QObject;

namespace corvane {

bool ReadTextProperty(const QObject* object, std::string_view name, QString& value);
bool WriteTextProperty(QObject* object, std::string_view name, const QString& value);
// String lists: Items, Lines, Panels. Writing keeps the selected item of lists.
bool ReadLines(const QObject* object, std::string_view name, QStringList& lines);
bool WriteLines(QObject* object, std::string_view name, const QStringList& lines);
// Fonts: Font, TitleFont.
bool ReadFontProperty(const QObject* object, std::string_view name, QFont& font);
bool WriteFontProperty(QObject* object, std::string_view name, const QFont& font);

} // namespace corvane
