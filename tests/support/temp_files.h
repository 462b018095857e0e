#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace lumora::test {

/// A fresh folder under the system temp dir, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// Writes bytes exactly as given and returns the file's path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

/// Sets (or unsets, with nullopt) an environment variable for a scope.
class EnvGuard {
public:
    EnvGuard(std::string name, std::optional<std::string> value);
    ~EnvGuard();
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

/// The bytes of a file under TEST_DATA_DIR.
std::string ReadDataFile(const std::string& name);

}  // namespace lumora::test
