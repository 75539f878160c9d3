#include "workcenter/Windows.h"

#include "platform/ui/Responder.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace corvane::host {

namespace {

// Moves the table's selection from the search box with the arrow keys.
class ArrowKeys : public QObject {
public:
    explicit ArrowKeys(QTableWidget* table) : QObject(table), m_table(table) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
                QCoreApplication::sendEvent(m_table, event);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableWidget* m_table;
};

} // namespace

LookupWindow::LookupWindow(const QString& title, const std::vector<std::string>& columns,
                           const std::vector<std::vector<std::string>>& rows, bool multiple, QWidget* parent)
    : QDialog(parent), m_search(new QLineEdit(this)), m_table(new QTableWidget(this)) {
    setObjectName("frmLookup");
    setWindowTitle(title);
    m_search->setObjectName("edSearch");
    m_search->setPlaceholderText(QString::fromUtf8("查找 (Enter 选取, Esc 取消)"));
    m_table->setObjectName("gdRows");
    m_table->setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    for (const std::string& column : columns) {
        headers << QString::fromStdString(column);
    }
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size() && c < columns.size(); ++c) {
            m_table->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(QString::fromStdString(rows[r][c])));
        }
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    if (m_table->rowCount() > 0) {
        m_table->selectRow(0);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(520, 360);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    connect(m_search, &QLineEdit::textChanged, this, &LookupWindow::Filter);
    // Up and down in the search box move through the rows.
    m_search->installEventFilter(new ArrowKeys(m_table));
    m_search->setFocus();
}

void LookupWindow::Filter(const QString& text) {
    int first = -1;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        bool match = text.isEmpty();
        for (int c = 0; c < m_table->columnCount() && !match; ++c) {
            const QTableWidgetItem* item = m_table->item(r, c);
            match = item && item->text().contains(text, Qt::CaseInsensitive);
        }
        m_table->setRowHidden(r, !match);
        if (match && first < 0) {
            first = r;
        }
    }
    m_table->clearSelection();
    if (first >= 0) {
        m_table->selectRow(first);
    }
}

Variant LookupWindow::Picked() const {
    std::vector<Variant> rows;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        if (m_table->isRowHidden(r) || !m_table->item(r, 0) || !m_table->item(r, 0)->isSelected()) {
            continue;
        }
        std::vector<Variant> row;
        for (int c = 0; c < m_table->columnCount(); ++c) {
            const QTableWidgetItem* item = m_table->item(r, c);
            row.push_back(item ? item->text().toStdString() : std::string());
        }
        rows.push_back(VarArrayOf(row));
    }
    return rows.empty() ? Variant() : VarArrayOf(rows);
}

std::shared_ptr<Pickers> WindowPickers(QWidget* parent) {
    auto pickers = std::make_shared<Pickers>();
    pickers->PickRows = [parent](const std::string& title, const std::vector<std::string>& columns,
                                 const std::vector<std::vector<std::string>>& rows, bool multiple) {
        LookupWindow window(QString::fromStdString(title), columns, rows, multiple, parent);
        return ui::ExecModal(window) == QDialog::Accepted ? window.Picked() : Variant();
    };
    pickers->PickDate = [parent](const std::string& date) {
        QDialog dialog(parent);
        dialog.setObjectName("frmCalendar");
        dialog.setWindowTitle(QString::fromUtf8("日期"));
        auto* calendar = new QCalendarWidget(&dialog);
        calendar->setObjectName("calDate");
        const QDate initial = QDate::fromString(QString::fromStdString(date).remove('/').remove('-'), "yyyyMMdd");
        if (initial.isValid()) {
            calendar->setSelectedDate(initial);
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(calendar);
        layout->addWidget(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        QObject::connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
        if (ui::ExecModal(dialog) != QDialog::Accepted) {
            return date;
        }
        return calendar->selectedDate().toString("yyyyMMdd").toStdString();
    };
    pickers->PickPhrase = [parent](std::vector<std::string>& phrases, std::string& picked) {
        QDialog dialog(parent);
        dialog.setObjectName("frmPhrase");
        dialog.setWindowTitle(QString::fromUtf8("常用语"));
        auto* list = new QListWidget(&dialog);
        list->setObjectName("lbPhrases");
        for (const std::string& phrase : phrases) {
            list->addItem(QString::fromStdString(phrase));
        }
        auto* edit = new QLineEdit(QString::fromStdString(picked), &dialog);
        edit->setObjectName("edPhrase");
        auto* add = new QPushButton(QString::fromUtf8("新增(&A)"), &dialog);
        auto* remove = new QPushButton(QString::fromUtf8("删除(&D)"), &dialog);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(list);
        layout->addWidget(edit);
        layout->addWidget(add);
        layout->addWidget(remove);
        layout->addWidget(buttons);
        QObject::connect(add, &QPushButton::clicked, [&] {
            if (!edit->text().trimmed().isEmpty()) {
                list->addItem(edit->text().trimmed());
            }
        });
        QObject::connect(remove, &QPushButton::clicked, [&] { delete list->takeItem(list->currentRow()); });
        QObject::connect(list, &QListWidget::currentTextChanged, edit, &QLineEdit::setText);
        QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        const bool ok = ui::ExecModal(dialog) == QDialog::Accepted;
        phrases.clear();
        for (int i = 0; i < list->count(); ++i) {
            phrases.push_back(list->item(i)->text().toStdString());
        }
        if (ok) {
            picked = edit->text().toStdString();
        }
        return ok;
    };
    pickers->PickCharacter = [parent](int) {
        QDialog dialog(parent);
        dialog.setObjectName("frmCharacters");
        dialog.setWindowTitle(QString::fromUtf8("特殊字符"));
        auto* list = new QListWidget(&dialog);
        list->setObjectName("lbCharacters");
        for (const char* character : {"±", "×", "÷", "°", "‰", "※", "√", "∑", "≤", "≥", "①", "②", "③"}) {
            list->addItem(QString::fromUtf8(character));
        }
        list->setCurrentRow(0);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(list);
        layout->addWidget(buttons);
        QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        if (ui::ExecModal(dialog) != QDialog::Accepted || !list->currentItem()) {
            return std::string();
        }
        return list->currentItem()->text().toStdString();
    };
    return pickers;
}

} // namespace corvane::host
