// appserver: the application server's command line.
//
//   appserver init <database file>   creates the demo company database (again: no change)

#include "appserver/AppServer.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "init") == 0) {
        try {
            corvane::server::InitDemoDatabase(argv[2]);
            std::printf("Demo company database ready: %s\n", argv[2]);
            return 0;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "appserver: %s\n", error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "usage: appserver init <database file>\n");
    return 2;
}
