// The work center end to end: it runs headless in batch mode with a test
// plug-in, lists the programs of the registry, loads the plug-in, drives its
// controller, hears the notifications, and goes on after a missing plug-in
// or a refused version.

#include "appserver/AppServer.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace corvane {
namespace {

class WorkCenter : public testing::Test {
protected:
    WorkCenter() {
        test::WriteFile(dir.Path() / "registry.ini",
                        "[Software\\KTC\\Corvane]\nClientPath=" + dir.Folder() + "client/\nServerPath=" + dir.Folder() + "\n");
        test::WriteFile(dir.Path() / "client/CorvaneC.ini",
                        "[CodePage]\nUICodePage=936\n[WorkDLLPath]\nTests=" TEST_PLUGIN_FOLDER "\n");
        server::InitDemoDatabase(dir.Folder() + "DEMO.db");
        server::Database db(dir.Folder() + "DEMO.db");
        db.Exec("INSERT INTO ADMMB (MB001, MB002) VALUES ('TEST01', 'Test program')");
    }

    // Runs the work center in batch mode; answers its output lines and sets the exit code.
    std::vector<std::string> Run(const std::string& arguments, int& exitCode) {
        const std::string command = "CORVANE_REGISTRY=" + dir.Folder() + "registry.ini CORVANE_DB_FOLDER=" + dir.Folder() +
                                    " QT_QPA_PLATFORM=offscreen " WORKCENTER_PATH " --batch " + arguments + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        std::vector<std::string> lines;
        char buffer[4096];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe)) {
            std::string line(buffer);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
                line.pop_back();
            }
            lines.push_back(line);
        }
        const int status = pipe ? pclose(pipe) : -1;
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return lines;
    }

    test::TempDir dir;
};

TEST_F(WorkCenter, StartsAPluginDrivesItAndFreesIt) {
    int exitCode = -1;
    const auto lines = Run("--user DS --company DEMO --program TEST01 --filter CLOSE-ON-SHOW", exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"program ROVI18", "program ROVR18", "program TEST01", "notify TEST01 256",
                                               "notify TEST01 272", "notify TEST01 320", "notify TEST01 288",
                                               "notify TEST01 304"}));
}

TEST_F(WorkCenter, AMissingPluginGivesItsMessageAndTheWorkCenterGoesOn) {
    int exitCode = -1;
    const auto lines = Run("--user DS --company DEMO --program NOPE01", exitCode);
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines.back(), std::string("message: The program NOPE01 cannot be started: its file NOPE01C.so is not in ") +
                                TEST_PLUGIN_FOLDER + ".");
}

TEST_F(WorkCenter, APluginRefusingTheVersionGivesItsMessages) {
    int exitCode = -1;
    const auto lines = Run("--user DS --company DEMO --program TEST01 --host-version 7999", exitCode);
    EXPECT_EQ(exitCode, 0);
    const std::string all = [&] {
        std::string text;
        for (const auto& line : lines) {
            text += line + "\n";
        }
        return text;
    }();
    EXPECT_NE(all.find("message: HelmarWorkCenter version too old,please update.\n"), std::string::npos) << all;
    EXPECT_NE(all.find("message: HelmarWorkCenter version too old,please update!\n"), std::string::npos) << all;
    EXPECT_NE(all.find("message: The program TEST01 could not start: HelmarWorkCenter version too old,please update!"),
              std::string::npos)
        << all;
}

TEST_F(WorkCenter, UnknownUsersAndBadOptionsAreRefused) {
    int exitCode = -1;
    auto lines = Run("--user NOBODY --company DEMO", exitCode);
    EXPECT_EQ(exitCode, 1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "message: The user NOBODY cannot log into company DEMO.");
    lines = Run("--user DS --company OTHER", exitCode);
    EXPECT_EQ(exitCode, 1);
    lines = Run("--call-mode x", exitCode);
    EXPECT_EQ(exitCode, 2);
}

} // namespace
} // namespace corvane
