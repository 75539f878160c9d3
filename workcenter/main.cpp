// workcenter: the host work center. It logs a user into a company, lists the
// registered programs and starts their plug-ins, serving them the host
// services over the company database.
//
//   workcenter [--user U --company C] [--program P [--call-mode N] [--filter TEXT] [--modal]]
//              [--batch] [--host-version N] [--screenshot FILE] [--screenshot-lookup FILE]
//
// --batch answers every dialog with its default button and prints what the
// work center shows and hears on standard output, and ends when no program is
// running; --host-version makes the host report another version (to check
// how a plug-in refuses it); the screenshot options write a picture of the
// program list or of the lookup window and end.

#include "appserver/AppServer.h"
#include "module/boundary/AppServerContract.h"
#include "module/settings/CorvaneINI.h"
#include "platform/dataset/SocketTransport.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/MachineSettings.h"
#include "platform/sys/SysUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Responder.h"
#include "workcenter/MainWindow.h"
#include "workcenter/Windows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <map>

using namespace corvane;

namespace {

struct Options {
    std::string User, Company, Program, Filter, Screenshot, LookupScreenshot;
    int CallMode = 0;
    int HostVersion = 8000;
    bool Modal = false;
    bool Batch = false;
};

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    const std::map<std::string, std::string*> texts = {
        {"--user", &options.User},           {"--company", &options.Company}, {"--program", &options.Program},
        {"--filter", &options.Filter},       {"--screenshot", &options.Screenshot},
        {"--screenshot-lookup", &options.LookupScreenshot}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--modal") {
            options.Modal = true;
        } else if (arg == "--batch") {
            options.Batch = true;
        } else if ((arg == "--call-mode" || arg == "--host-version") && i + 1 < argc) {
            long long value = 0;
            if (!TryParseInt(argv[++i], value)) {
                error = arg + " takes a number";
                return false;
            }
            (arg == "--call-mode" ? options.CallMode : options.HostVersion) = static_cast<int>(value);
        } else if (texts.count(arg) && i + 1 < argc) {
            *texts.at(arg) = argv[++i];
        } else {
            error = "unknown or incomplete option " + arg;
            return false;
        }
    }
    return true;
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Writes a picture of a widget once it is drawn, then ends the event loop.
void SaveScreenshotLater(QApplication& app, QWidget& widget, const std::string& file) {
    widget.show();
    QTimer::singleShot(300, [&app, &widget, file] {
        const bool saved = widget.grab().save(QString::fromStdString(file));
        Say(saved ? "screenshot: " + file : "screenshot failed: " + file);
        app.exit(saved ? 0 : 1);
    });
}

void ShowError(const QString& caption, const std::string& text) {
    ui::MessageDialogRequest request;
    request.Type = ui::MsgDlgType::Error;
    request.Buttons = {ui::mbOK};
    request.DefaultButton = ui::mbOK;
    request.Caption = caption;
    request.Text = QString::fromStdString(text);
    ui::ShowMessageDialog(request);
}

// Asks for the user and the company.
bool AskLogin(Options& options) {
    QDialog dialog;
    dialog.setObjectName("frmLogin");
    dialog.setWindowTitle(QString::fromUtf8("登录工作中心"));
    auto* user = new QLineEdit(QString::fromStdString(options.User), &dialog);
    user->setObjectName("edUser");
    auto* company = new QLineEdit(QString::fromStdString(options.Company.empty() ? "DEMO" : options.Company), &dialog);
    company->setObjectName("edCompany");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QString::fromUtf8("用户(&U)"), user);
    layout->addRow(QString::fromUtf8("公司(&C)"), company);
    layout->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (ui::ExecModal(dialog) != QDialog::Accepted) {
        return false;
    }
    options.User = user->text().trimmed().toStdString();
    options.Company = company->text().trimmed().toStdString();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "workcenter: %s\n", error.c_str());
        return 2;
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!platform || !*platform) && (!display || !*display) && (!wayland || !*wayland)) {
        std::fprintf(stderr,
                     "workcenter: there is no display to show the work center on.\n"
                     "Run it under a virtual display:  xvfb-run -a %s ...\n"
                     "or without windows on screen:    QT_QPA_PLATFORM=offscreen %s --batch ...\n",
                     argv[0], argv[0]);
        return 2;
    }
    ui::Application app(argc, argv);
    app.setApplicationDisplayName(QString::fromUtf8("工作中心"));

    std::optional<ui::ScopedMessageResponder> messages;
    std::optional<ui::ScopedDialogResponder> dialogs;
    if (options.Batch) {
        messages.emplace([](const ui::MessageDialogRequest& request) {
            Say("message: " + request.Text.toStdString());
            return ui::PressDefaultButton(request);
        });
        dialogs.emplace([](QDialog& dialog) {
            Say("dialog: " + dialog.objectName().toStdString());
            return static_cast<int>(QDialog::Rejected);
        });
    }

    const TCorvaneIniC client;
    if (!client.ErrorCode.empty()) {
        ShowError("workcenter", "The client configuration cannot be read (" + client.ErrorCode +
                                    "): check the settings store " + MachineSettingsPath());
        return 1;
    }
    const char* folderVariable = std::getenv("CORVANE_DB_FOLDER");
    const std::string dbFolder =
        folderVariable && *folderVariable ? IncludeTrailingPathDelimiter(folderVariable) : TCorvaneIniS().ServerPath;
    const server::DatabaseResolver resolver = server::FolderDatabases(dbFolder);
    server::RegisterServerClasses(resolver);
    if (const char* remote = std::getenv("CORVANE_APPSERVER"); remote && *remote) {
        // The programs' server objects live in an application server on the network ("host:port").
        const std::string where = remote;
        const size_t colon = where.rfind(':');
        const int port = colon == std::string::npos ? 0 : std::atoi(where.c_str() + colon + 1);
        if (port <= 0) {
            ShowError("workcenter", "CORVANE_APPSERVER must name the application server as host:port, not \"" + where + "\".");
            return 1;
        }
        const std::string host = where.substr(0, colon);
        for (std::string_view className : {contract::appserver::ServerClass, contract::appserver::LookupServerClass}) {
            RegisterOleObject(className, [host, port, name = std::string(className)]() -> DispatchPtr {
                return data::RemoteServer::Connect(host, port, name);
            });
        }
    }

    if ((options.User.empty() || options.Company.empty()) && !AskLogin(options)) {
        return 0;
    }
    auto session = std::make_shared<host::Session>();
    session->User = options.User;
    session->Company = options.Company;
    session->DBName = options.Company;
    session->UICodePage = client.UICodePage;
    session->CodePage = client.DBCodePage;
    session->ClientPath = client.ClientPath;
    const std::string dbPath = resolver(session->DBName);
    if (dbPath.empty() || !FileExists(dbPath)) {
        ShowError("workcenter", "The company " + options.Company + " has no database (" + dbPath + ").");
        return 1;
    }
    session->Db = std::make_unique<server::Database>(dbPath);
    {
        server::Statement user(*session->Db, "SELECT 1 FROM ADMUSER WHERE USER_ID=?");
        user.Bind(1, session->User);
        server::Statement company(*session->Db, "SELECT 1 FROM ADMCOMPANY WHERE COMPANY=?");
        company.Bind(1, session->Company);
        if (!user.Step() || !company.Step()) {
            ShowError("workcenter", "The user " + options.User + " cannot log into company " + options.Company + ".");
            return 1;
        }
    }

    auto pickers = host::WindowPickers(nullptr);
    auto hostObject = std::make_shared<host::HostObject>(session, pickers);
    hostObject->Version = options.HostVersion;
    host::ProgramRunner runner(session, Variant(std::static_pointer_cast<Dispatch>(hostObject)), client.WorkDLLPaths);
    hostObject->StartProgram = [&runner](const std::string& code, const Variant&, const Variant&) {
        std::string failure;
        const int rc = runner.Start(code, {}, failure);
        if (rc != 0) {
            ShowError("workcenter", failure);
        }
        return rc;
    };
    hostObject->Inform = [](const std::string& text) {
        ui::MessageDialogRequest request;
        request.Type = ui::MsgDlgType::Information;
        request.Buttons = {ui::mbOK};
        request.DefaultButton = ui::mbOK;
        request.Text = QString::fromStdString(text);
        ui::ShowMessageDialog(request);
    };
    runner.OnNotification = [&options](const std::string& code, int notification) {
        if (options.Batch) {
            Say("notify " + code + " " + std::to_string(notification));
        }
    };

    host::MainWindow window(session, runner);
    if (!options.Screenshot.empty()) {
        SaveScreenshotLater(app, window, options.Screenshot);
        return app.exec();
    }
    if (!options.LookupScreenshot.empty()) {
        std::vector<std::vector<std::string>> rows;
        server::Statement items(*session->Db, "SELECT MB001, MB002, MB003 FROM PALMB ORDER BY MB001");
        while (items.Step()) {
            rows.push_back({items.Text(0), items.Text(1), items.Text(2)});
        }
        host::LookupWindow lookup(QString::fromUtf8("津贴扣款信息查询"), {"编号", "名称", "类别"}, rows, false);
        SaveScreenshotLater(app, lookup, options.LookupScreenshot);
        return app.exec();
    }

    if (options.Batch) {
        for (const std::string& code : window.LoadPrograms()) {
            Say("program " + code);
        }
        runner.OnIdle = [&app] { app.quit(); };
    } else {
        window.show();
    }
    if (!options.Program.empty()) {
        QTimer::singleShot(0, [&] {
            host::StartOptions start;
            start.CallMode = options.CallMode;
            start.Filter = options.Filter;
            start.Modal = options.Modal;
            std::string failure;
            if (runner.Start(options.Program, start, failure) != 0) {
                ShowError(window.windowTitle(), failure);
            }
            if (options.Batch && runner.RunningCount() == 0) {
                app.quit();
            }
        });
    } else if (options.Batch) {
        return 0;
    }
    return app.exec();
}
