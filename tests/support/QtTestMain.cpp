// The main of test programs that need an application object: widgets are
// made on the offscreen platform unless the caller chose another.

#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    corvane::ui::Application app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
