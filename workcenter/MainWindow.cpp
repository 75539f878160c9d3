#include "workcenter/MainWindow.h"

#include "platform/sys/CodePage.h"
#include "platform/ui/MessageDialog.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableWidget>

namespace corvane::host {

namespace {

// Enter in the program list starts the selected program.
class EnterStarts : public QObject {
public:
    EnterStarts(QObject* parent, MainWindow* window) : QObject(parent), m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_window->StartSelected();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    MainWindow* m_window;
};

} // namespace

MainWindow::MainWindow(std::shared_ptr<Session> session, ProgramRunner& runner)
    : m_session(std::move(session)), m_runner(runner), m_programs(new QTableWidget(this)) {
    setObjectName("frmWorkCenter");
    setWindowTitle(QString::fromUtf8("工作中心 - ") + QString::fromStdString(m_session->Company) + " / " +
                   QString::fromStdString(m_session->User));
    m_programs->setObjectName("gdPrograms");
    m_programs->setColumnCount(2);
    m_programs->setHorizontalHeaderLabels({QString::fromUtf8("作业代号"), QString::fromUtf8("作业名称")});
    m_programs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_programs->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_programs->setSelectionMode(QAbstractItemView::SingleSelection);
    m_programs->horizontalHeader()->setStretchLastSection(true);
    m_programs->verticalHeader()->hide();
    m_programs->installEventFilter(new EnterStarts(this, this));
    setCentralWidget(m_programs);
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8("作业(&P)"));
    QAction* start = menu->addAction(QString::fromUtf8("启动(&S)"));
    start->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(start, &QAction::triggered, this, &MainWindow::StartSelected);
    QAction* quit = menu->addAction(QString::fromUtf8("结束(&X)"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    connect(m_programs, &QTableWidget::cellDoubleClicked, this, [this](int, int) { StartSelected(); });
    statusBar()->showMessage(QString::fromUtf8("Enter 或双击启动作业"));
    resize(560, 380);
    LoadPrograms();
}

std::vector<std::string> MainWindow::LoadPrograms() {
    std::vector<std::string> codes;
    server::Statement list(*m_session->Db, "SELECT MB001, MB002, MB011 FROM ADMMB ORDER BY MB001");
    m_programs->setRowCount(0);
    while (list.Step()) {
        const int row = m_programs->rowCount();
        m_programs->insertRow(row);
        codes.push_back(list.Text(0));
        m_programs->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(list.Text(0))));
        const std::string title = m_session->UICodePage == "437" && !list.Text(2).empty() ? list.Text(2) : list.Text(1);
        m_programs->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(title)));
    }
    if (m_programs->rowCount() > 0) {
        m_programs->selectRow(0);
    }
    return codes;
}

void MainWindow::StartSelected() {
    const int row = m_programs->currentRow();
    if (row < 0 || !m_programs->item(row, 0)) {
        return;
    }
    StartOptions options;
    options.HostWindow = static_cast<uintptr_t>(winId());
    std::string error;
    if (m_runner.Start(m_programs->item(row, 0)->text().toStdString(), options, error) != 0) {
        ui::MessageDialogRequest request;
        request.Type = ui::MsgDlgType::Error;
        request.Buttons = {ui::mbOK};
        request.DefaultButton = ui::mbOK;
        request.Caption = windowTitle();
        request.Text = QString::fromStdString(error);
        request.Parent = this;
        ui::ShowMessageDialog(request);
    }
}

} // namespace corvane::host
