// The application server reached over TCP: the same login, packets and saves as
// in process, server failures as clear client errors, and a hostile peer that
// cannot take the server down for the others.

#include "appserver/AppServer.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/SocketTransport.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <thread>
#include <netinet/in.h>
#include <sys/socket.h>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane::server {
namespace {

using test::Gb;

class OverTcp : public testing::Test {
protected:
    OverTcp() {
        InitDemoDatabase(dir.Folder() + "DEMO.db");
        const std::string folder = dir.Folder();
        RegisterServerClasses([folder](const std::string& name) { return name == "DEMO" ? folder + "DEMO.db" : ""; });
        listener.Start();
    }
    std::shared_ptr<data::RemoteServer> Remote(const std::string& className = "VOVIR01U.Class1") {
        return data::RemoteServer::Connect("127.0.0.1", listener.Port(), className);
    }
    std::string Text(const std::string& sql) {
        Database db(dir.Folder() + "DEMO.db");
        Statement statement(db, sql);
        return statement.Step() ? statement.Text(0) : std::string();
    }

    test::TempDir dir;
    data::SocketServer listener{"127.0.0.1", 0};
};

TEST_F(OverTcp, LogsInOpensWithLinesAndSaves) {
    auto remote = Remote();
    Variant object(std::static_pointer_cast<Dispatch>(remote));
    EXPECT_EQ(object.Call("Connect", {VarArrayOf({"ROVI18", "DS", "DEMO", "DEMO", true, false})}).ToInt(), kConnectOk);
    EXPECT_NE(object.Call("SvrData").ToString().find("M11_TABLE=PALNA"), std::string::npos);

    data::ClientDataSet master("cdsMain");
    data::ClientDataSet body("cdsBody1");
    master.SetRemoteServer(remote);
    master.SetProviderName("pvdMain");
    master.DataRequest(VarArrayOf({Variant(u"NA001='01'"), ""}));
    master.Open();
    body.SetDataSetField(&master.FieldByName("qryBody"));
    body.Open();
    ASSERT_EQ(master.RecordCount(), 1);
    EXPECT_GT(body.RecordCount(), 0);

    master.Edit();
    master.FieldByName("NA003").SetAsString(Gb("远程备注"));
    master.Post();
    EXPECT_EQ(master.ApplyUpdates(0), 0);
    EXPECT_EQ(Text("SELECT NA003 FROM PALNA WHERE NA001='01'"), "远程备注");
}

TEST_F(OverTcp, ClientsAreServedAtTheSameTime) {
    std::vector<std::thread> clients;
    std::atomic<int> served{0};
    for (int i = 0; i < 4; ++i) {
        clients.emplace_back([&] {
            for (int round = 0; round < 5; ++round) {
                auto remote = Remote();
                Variant object(std::static_pointer_cast<Dispatch>(remote));
                if (object.Call("Connect", {VarArrayOf({"ROVI18", "DS", "DEMO", "DEMO", true, false})}).ToInt() != kConnectOk) {
                    return;
                }
                data::ClientDataSet master("cdsMain");
                master.SetRemoteServer(remote);
                master.SetProviderName("pvdMain");
                master.Open();
                if (master.RecordCount() > 0) {
                    ++served;
                }
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_EQ(served, 20);
}

TEST_F(OverTcp, ServerFailuresArriveAsClientErrors) {
    EXPECT_THROW(Remote("NO.SUCH.Class"), EOleError);
    auto remote = Remote();
    Variant object(std::static_pointer_cast<Dispatch>(remote));
    try {
        object.Call("NoSuchMember");
        FAIL() << "an unknown member was answered";
    } catch (const EOleError& error) {
        EXPECT_NE(std::string(error.what()).find("NoSuchMember"), std::string::npos) << error.what();
    }
    // The connection stays usable after a failed call.
    EXPECT_EQ(object.Call("Connect", {VarArrayOf({"ROVI18", "DS", "DEMO", "DEMO", true, false})}).ToInt(), kConnectOk);
}

// Opens a raw connection and sends bytes as they are.
int RawConnection(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &where.sin_addr);
    EXPECT_EQ(connect(socket, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    return socket;
}

TEST_F(OverTcp, MalformedFramesDoNotStopTheServer) {
    const std::vector<std::string> hostile = {
        std::string("\x05\x00\x00\x00\x02\xFF\xFF\xFF\xFF", 9),  // a call with a broken member name
        std::string("\x02\x00\x00\x00\x63\x00", 6),              // an unknown request
        std::string("\xFF\xFF\xFF\x7F", 4),                      // a frame far too large
        std::string("\x10\x00\x00\x00\x01", 5),                  // a frame cut short, then the peer leaves
    };
    for (const std::string& bytes : hostile) {
        const int socket = RawConnection(listener.Port());
        ASSERT_EQ(send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
        shutdown(socket, SHUT_WR);
        char reply[256];
        while (recv(socket, reply, sizeof reply, 0) > 0) {
        }
        close(socket);
    }
    auto remote = Remote();
    Variant object(std::static_pointer_cast<Dispatch>(remote));
    EXPECT_EQ(object.Call("Connect", {VarArrayOf({"ROVI18", "DS", "DEMO", "DEMO", true, false})}).ToInt(), kConnectOk);
}

// The daemon as a site runs it: started on a free port, reached under the
// socket class name, stopped by SIGTERM with a clean exit.
TEST(AppServerDaemon, ServesTheSocketClassUntilTerminated) {
    test::TempDir dir;
    InitDemoDatabase(dir.Folder() + "DEMO.db");
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(APPSERVER_PATH, "appserver", "serve", dir.Folder().c_str(), "--address", "127.0.0.1", "--port", "0",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* banner = fdopen(out[0], "r");
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, banner), nullptr);
    const std::string text = line;
    const int port = std::atoi(text.c_str() + text.rfind(':') + 1);
    ASSERT_GT(port, 0) << text;

    auto remote = data::RemoteServer::Connect("127.0.0.1", port, "VovIR01U.Class1");
    Variant object(std::static_pointer_cast<Dispatch>(remote));
    EXPECT_EQ(object.Call("Connect", {VarArrayOf({"ROVI18", "DS", "DEMO", "DEMO", true, false})}).ToInt(), kConnectOk);
    EXPECT_NE(object.Call("Connect", {VarArrayOf({"ROVI18", "DS", "NOPE", "NOPE", true, false})}).ToInt(), kConnectOk);

    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::fclose(banner);
}

TEST(VariantTree, RoundTripsNestedArraysAndRefusesGarbage) {
    VarArray grid(0, 1, 1, 2);
    grid.Elements()[0] = Variant(u"宽");
    grid.Elements()[3] = Variant(2.5);
    const Variant value = VarArrayOf({Variant(), Variant::Null(), true, 7, Variant::FromInt64(int64_t(1) << 40), "ab", Variant(std::move(grid)),
                                      VarArrayOf({VarArrayOf({1})})});
    std::string bytes;
    data::PutVariantTree(bytes, value);
    size_t pos = 0;
    const Variant back = data::ReadVariantTree(bytes, pos);
    EXPECT_EQ(pos, bytes.size());
    std::string again;
    data::PutVariantTree(again, back);
    EXPECT_EQ(again, bytes);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        size_t at = 0;
        EXPECT_ANY_THROW(data::ReadVariantTree(std::string_view(bytes).substr(0, cut), at)) << cut;
    }
}

} // namespace
} // namespace corvane::server
