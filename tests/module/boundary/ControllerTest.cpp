// The host's view of the plug-in: ROVI18C.so is loaded with dlopen, its
// controller is driven through its slots as a host drives it, and the
// notifications arrive in order.

#include "module/boundary/DLLMTCtrller.h"
#include "platform/ui/Responder.h"

#include "tests/module/boundary/TestHost.h"
#include "tests/module/boundary/TestWindow.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>

namespace corvane {
namespace {

using test::HostDouble;
using test::TestWindow;

// The plug-in as a host sees it: its export and its window class variable.
class Plugin {
public:
    Plugin() : m_handle(dlopen(ROVI18C_PATH, RTLD_NOW | RTLD_LOCAL)) {
        if (!m_handle) {
            throw std::runtime_error(dlerror());
        }
        GetController = reinterpret_cast<TDLLBaseController* (*)()>(dlsym(m_handle, "GetController"));
        WindowClass = reinterpret_cast<TFormClass*>(dlsym(m_handle, "frmRadicalClass"));
    }
    ~Plugin() { dlclose(m_handle); }
    void* Symbol(const char* name) const { return dlsym(m_handle, name); }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    TDLLBaseController* (*GetController)() = nullptr;
    TFormClass* WindowClass = nullptr;

private:
    void* m_handle;
};

Variant StartArray() { return VarArrayOf({"DS", "DEMO", "DEMODB", 0, Variant()}); }

class ControllerFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(plugin.GetController, nullptr);
        ASSERT_NE(plugin.WindowClass, nullptr);
        *plugin.WindowClass = &test::NewTestWindow;
        controller.reset(plugin.GetController());
        controller->Host = Variant(std::static_pointer_cast<Dispatch>(host));
        TDLLBaseController* raw = controller.get();
        controller->OnNotify = [this, raw](int code, TDLLBaseController* from) {
            EXPECT_EQ(from, raw);
            notes.push_back(code);
        };
    }
    void TearDown() override {
        controller.reset();
        *plugin.WindowClass = nullptr;
    }
    // Answers every message dialog with OK and keeps its text.
    ui::ScopedMessageResponder responder{[this](const ui::MessageDialogRequest& request) {
        messages.push_back(request.Text.toStdString());
        return static_cast<int>(ui::mrOk);
    }};

    Plugin plugin;
    std::shared_ptr<HostDouble> host = std::make_shared<HostDouble>();
    std::unique_ptr<TDLLBaseController> controller;
    std::vector<int> notes;
    std::vector<std::string> messages;
};

TEST_F(ControllerFixture, GetControllerAnswersIndependentControllers) {
    std::unique_ptr<TDLLBaseController> other(plugin.GetController());
    EXPECT_NE(other.get(), controller.get());
    EXPECT_TRUE(other->FormFreed());
    EXPECT_TRUE(other->Host.IsEmpty());
    EXPECT_EQ(other->GetHandle(), 0u);
    EXPECT_EQ(other->GetVisible(), 0);
    Variant info;
    EXPECT_EQ(other->GetInfo(info), -1);
    EXPECT_EQ(other->SetParams(VarArrayOf({0, "x"})), -1);
    EXPECT_EQ(other->SetCallMode(1, 0xFF, Variant()), -1);
    std::u16string version = u"untouched";
    other->GetVersion(version);
    EXPECT_EQ(version, u"untouched");
}

TEST_F(ControllerFixture, CreateShowHideAndCloseSendNotificationsInOrder) {
    EXPECT_TRUE(controller->FormFreed());
    EXPECT_EQ(controller->CreateForm(StartArray()), 0);
    EXPECT_FALSE(controller->FormFreed());
    ASSERT_NE(TestWindow::Last, nullptr);
    TestWindow& window = *TestWindow::Last;
    EXPECT_EQ(window.Broker().ProgramID, "ROVI18");
    EXPECT_TRUE(window.Broker().Host.IsDispatch());

    std::u16string version;
    controller->GetVersion(version);
    EXPECT_EQ(version, u"2026.12.11");
    Variant info;
    EXPECT_EQ(controller->GetInfo(info), 0);
    ASSERT_EQ(info.Length(), 4);
    EXPECT_EQ(info.LowBound(), 0);
    EXPECT_EQ(VarDebugText(info), "[\"DS\", \"DEMO\", \"ROVI18\", \"Identity types\"]");

    controller->SetVisible(-1);
    EXPECT_EQ(controller->GetVisible(), -1);
    EXPECT_NE(controller->GetHandle(), 0u);
    controller->SetVisible(0);
    EXPECT_EQ(controller->GetVisible(), 0);
    controller->CloseForm(false);
    EXPECT_TRUE(controller->FormFreed());
    EXPECT_EQ(notes, (std::vector<int>{0x100, 0x110, 0x120, 0x140, 0x130}));
    EXPECT_EQ(controller->ResultCode, 2);
}

TEST_F(ControllerFixture, SilentCloseSendsDestroyWithoutClosing) {
    controller->CreateForm(StartArray());
    TestWindow::Last->Returned = "kept";
    TestWindow::Last->Result = 1;
    controller->CloseForm(true);
    EXPECT_EQ(notes, (std::vector<int>{0x100, 0x130}));
    EXPECT_EQ(controller->ReturnValue.ToString(), "kept");
    EXPECT_EQ(controller->ResultCode, 1);
    controller->CloseForm(false);
    EXPECT_EQ(notes.size(), 2u);
}

TEST_F(ControllerFixture, WindowThatFreesItselfIsForgotten) {
    controller->CreateForm(StartArray());
    controller->SetVisible(-1);
    TestWindow::Last->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(controller->FormFreed());
    EXPECT_EQ(notes, (std::vector<int>{0x100, 0x110, 0x140, 0x120, 0x130}));
    // The host frees the controller; nothing is closed twice.
    controller.reset();
    EXPECT_EQ(notes.size(), 5u);
}

TEST_F(ControllerFixture, ModalShowReturnsTheWindowsValueAndFreesIt) {
    controller->CreateForm(StartArray());
    TestWindow* window = TestWindow::Last;
    window->Returned = VarArrayOf({"01", "Staff"});
    QTimer::singleShot(0, window, [window] { window->close(); });
    Variant returned;
    controller->ShowModal(returned);
    EXPECT_EQ(VarDebugText(returned), "[\"01\", \"Staff\"]");
    EXPECT_TRUE(controller->FormFreed());
    EXPECT_EQ(notes, (std::vector<int>{0x100, 0x110, 0x140, 0x120, 0x140, 0x130}));
}

TEST_F(ControllerFixture, CallModeTranslatesKindsAndClearsRights) {
    controller->CreateForm(StartArray());
    TestWindow& window = *TestWindow::Last;
    struct Case {
        int HostKind, WindowKind;
        bool KeepsParam;
    } cases[] = {{1, 1, false}, {3, 3, false}, {6, 0, false}, {7, 7, true},  {8, 8, true},   {9, 0, false},
                 {10, 9, true}, {11, 0, false}, {12, 10, false}, {13, 11, false}, {-1, 0, false}, {14, 0, false}};
    for (const Case& c : cases) {
        window.SetCallParam(Variant());
        EXPECT_EQ(controller->SetCallMode(c.HostKind, 0xFF, "param"), 0);
        EXPECT_EQ(window.CallKind(), c.WindowKind) << c.HostKind;
        EXPECT_EQ(window.CallParam().IsEmpty(), !c.KeepsParam) << c.HostKind;
    }
    EXPECT_EQ(window.Rights(), 0x1FF);
    EXPECT_GT(window.UpdateActionsCalls, 0);
    controller->SetCallMode(0, 0x02, Variant());
    EXPECT_EQ(window.Rights(), 0x100 | 0x08);
    controller->SetCallMode(0, 0xFF, Variant());
    EXPECT_EQ(window.Rights(), 0x100 | 0x08);
    controller->SetCallMode(0, 0, Variant());
    EXPECT_EQ(window.Rights(), 0x100);
}

TEST_F(ControllerFixture, ParamsSetTheFilterAndMalformedOnesAreRefused) {
    controller->CreateForm(StartArray());
    TestWindow& window = *TestWindow::Last;
    EXPECT_EQ(controller->SetParams(VarArrayOf({"ignored", "NA001='01'"})), 0);
    EXPECT_EQ(window.FilterText(), "NA001='01'");
    EXPECT_EQ(controller->SetParams(VarArrayOf({0, VarArrayOf({"NA001>'01'", 7})})), 0);
    EXPECT_EQ(window.FilterText(), "NA001>'01'");
    EXPECT_EQ(window.FilterParam().ToInt(), 7);
    struct Bad {
        const char* Name;
        Variant Params;
    } bad[] = {{"not an array", 5},
               {"null", Variant::Null()},
               {"one element", VarArrayOf({"x"})},
               {"empty", VarArrayCreate({0, -1})},
               {"two dimensions", VarArrayCreate({0, 1, 0, 1})},
               {"inner array too short", VarArrayOf({0, VarArrayOf({"only"})})}};
    for (const Bad& b : bad) {
        EXPECT_EQ(controller->SetParams(b.Params), -1) << b.Name;
    }
    EXPECT_EQ(window.FilterText(), "NA001>'01'");
}

TEST_F(ControllerFixture, StartArrayWithoutFiveElementsIsRefusedByTheWindow) {
    EXPECT_EQ(controller->CreateForm(VarArrayOf({"DS", "DEMO"})), -1);
    EXPECT_EQ(notes, (std::vector<int>{0x100}));
    EXPECT_EQ(controller->CreateForm("not an array"), -1);
    // The window was made once and hooked once.
    controller->CloseForm(false);
    EXPECT_EQ(notes, (std::vector<int>{0x100, 0x140, 0x130}));
}

struct VersionCase {
    const char* Name;
    Variant Version;
    std::vector<std::string> Messages;
    std::string Error;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.Name; }

class VersionCheck : public ControllerFixture, public testing::WithParamInterface<VersionCase> {};

TEST_P(VersionCheck, OnlyEightThousandPasses) {
    host->Version = GetParam().Version;
    try {
        controller->CreateForm(StartArray());
        FAIL() << "created";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), GetParam().Error);
    }
    EXPECT_EQ(messages, GetParam().Messages);
    EXPECT_TRUE(notes.empty());
    // The window stays until the controller is freed.
    EXPECT_FALSE(controller->FormFreed());
    controller.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, VersionCheck,
    testing::Values(
        VersionCase{"newer",
                    8001,
                    {"This program's version is too old, please update.", "HelmarWorkCenter version too old,please update!"},
                    "HelmarWorkCenter version too old,please update!This program's version is too old, please update."},
        VersionCase{"older",
                    7999,
                    {"HelmarWorkCenter version too old,please update.", "HelmarWorkCenter version too old,please update!"},
                    "HelmarWorkCenter version too old,please update!HelmarWorkCenter version too old,please update."},
        VersionCase{"without the member",
                    Variant(),
                    {"HelmarWorkCenter version too old,please update!"},
                    "HelmarWorkCenter version too old,please update!Member 'DependencyVersion' is not supported"},
        VersionCase{"not a number",
                    "eight thousand",
                    {"HelmarWorkCenter version too old,please update!"},
                    "HelmarWorkCenter version too old,please update!Could not convert variant of type (String) into "
                    "type (Integer)"}),
    [](const testing::TestParamInfo<VersionCase>& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(ControllerClassVariables, MissingClassesRaiseTheInternalErrors) {
    Plugin plugin;
    TDLLBaseController* controller = plugin.GetController();
    ASSERT_NE(controller, nullptr);
    *plugin.WindowClass = nullptr;
    try {
        controller->CreateForm(StartArray());
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "KTC DLL Internal Error :\rNot Assign \"frmRadicalClass\" varible");
    }
    delete controller;

    auto* controllerClass = reinterpret_cast<TDLLControllerClass*>(plugin.Symbol("DLLControllerClass"));
    ASSERT_NE(controllerClass, nullptr);
    const TDLLControllerClass saved = *controllerClass;
    *controllerClass = nullptr;
    try {
        plugin.GetController();
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "KTC DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    }
    *controllerClass = saved;
}

} // namespace
} // namespace corvane
