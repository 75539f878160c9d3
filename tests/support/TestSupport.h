// Helpers shared by the tests: a scratch folder, environment overrides and
// file helpers.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::test {

// A fresh folder under the temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder as text with a trailing "/".
    std::string Folder() const { return m_path.string() + "/"; }

private:
    std::filesystem::path m_path;
};

// Sets (or with nullopt unsets) an environment variable and restores it.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

// A simplified Chinese literal (written in UTF-8) as code page 936 bytes.
std::string Gb(std::string_view utf8);

} // namespace corvane::test
