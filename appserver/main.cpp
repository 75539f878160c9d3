// appserver: the application server's command line.
//
//   appserver init <database file>     creates the demo company database (again: no change)
//   appserver serve <database folder> [--address A] [--port N]
//                                      serves the server objects over TCP until stopped;
//                                      company databases are <folder>/<DBName>.db

#include "appserver/AppServer.h"
#include "module/boundary/AppServerContract.h"
#include "platform/dataset/SocketTransport.h"
#include "platform/sys/SysUtils.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

namespace contract = corvane::contract::appserver;

int Usage() {
    std::fprintf(stderr, "usage: appserver init <database file>\n"
                         "       appserver serve <database folder> [--address A] [--port N]\n");
    return 2;
}

int Serve(int argc, char** argv) {
    const std::string folder = argv[2];
    std::string address = "0.0.0.0";
    int port = contract::kDefaultPort;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--address") == 0) {
            address = argv[i + 1];
        } else if (std::strcmp(argv[i], "--port") == 0) {
            port = std::atoi(argv[i + 1]);
        } else {
            return Usage();
        }
    }
    if ((argc - 3) % 2 != 0 || port < 0 || port > 65535) {
        return Usage();
    }
    if (!corvane::DirectoryExists(folder)) {
        std::fprintf(stderr, "appserver: the database folder %s does not exist\n", folder.c_str());
        return 1;
    }
    corvane::server::RegisterServerClasses(corvane::server::FolderDatabases(folder));

    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    corvane::data::SocketServer server(address, port);
    server.Start();
    std::printf("appserver: serving %s on %s:%d\n", folder.c_str(), address.c_str(), server.Port());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
    server.Stop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    try {
        if (argc == 3 && std::strcmp(argv[1], "init") == 0) {
            corvane::server::InitDemoDatabase(argv[2]);
            std::printf("Demo company database ready: %s\n", argv[2]);
            return 0;
        }
        if (std::strcmp(argv[1], "serve") == 0) {
            return Serve(argc, argv);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "appserver: %s\n", error.what());
        return 1;
    }
    return Usage();
}
