// The work center's own windows: the lookup window (search box, keyboard,
// single or multiple selection), the calendar, the phrase list, the
// character picker and the login. Each runs through ui::ExecModal, so tests
// and batch runs answer it without a screen.
#pragma once

#include "workcenter/HostServices.h"

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace corvane::host {

class LookupWindow : public QDialog {
public:
    LookupWindow(const QString& title, const std::vector<std::string>& columns,
                 const std::vector<std::vector<std::string>>& rows, bool multiple, QWidget* parent = nullptr);

    // The picked rows as an array of row arrays (UTF-8 texts), Empty when none.
    Variant Picked() const;
    QLineEdit* Search() const { return m_search; }
    QTableWidget* Table() const { return m_table; }

private:
    void Filter(const QString& text);

    QLineEdit* m_search;
    QTableWidget* m_table;
};

// Pickers that show the work center's windows.
std::shared_ptr<Pickers> WindowPickers(QWidget* parent);

} // namespace corvane::host
