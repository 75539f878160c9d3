// The machine settings store that stands in for the registry.

#include "platform/sys/MachineSettings.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(MachineSettings, OpensAKeyByPathWithoutRegardToCase) {
    test::TempDir dir;
    test::WriteFile(dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nClientPath=D:\\Corvane\\Client\n");
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "registry.ini").string());
    for (const char* path : {"Software\\KTC\\Corvane", "software\\ktc\\corvane\\", "Software/KTC/Corvane"}) {
        auto key = RegistryKey::OpenReadOnly(path);
        ASSERT_TRUE(key.has_value()) << path;
        EXPECT_EQ(key->ReadString("clientpath"), "D:\\Corvane\\Client");
        EXPECT_EQ(key->ReadString("ServerPath"), "");
        EXPECT_FALSE(key->ValueExists("ServerPath"));
    }
    EXPECT_FALSE(RegistryKey::OpenReadOnly("Software\\KTC\\Other").has_value());
}

TEST(MachineSettings, MissingStoreIsAMissingKey) {
    test::TempDir dir;
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "absent.ini").string());
    EXPECT_FALSE(RegistryKey::OpenReadOnly("Software\\KTC\\Corvane").has_value());
}

TEST(MachineSettings, DefaultStoreIsTheMachineWideFile) {
    test::ScopedEnv store("CORVANE_REGISTRY", std::nullopt);
    EXPECT_EQ(MachineSettingsPath(), "/etc/corvane/registry.ini");
}

} // namespace
} // namespace corvane
