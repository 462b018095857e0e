#include "support/temp_files.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace lumora::test {

TempDir::TempDir() {
    std::random_device seed;
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("lumora-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("TempDir: could not create a folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& bytes) const {
    auto file = m_path / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    return file;
}

EnvGuard::EnvGuard(std::string name, std::optional<std::string> value) : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) m_old = old;
    if (value)
        ::setenv(m_name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

EnvGuard::~EnvGuard() {
    if (m_old)
        ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

std::string ReadDataFile(const std::string& name) {
    std::ifstream in(std::filesystem::path(TEST_DATA_DIR) / name, std::ios::binary);
    if (!in) throw std::runtime_error("missing test data file: " + name);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace lumora::test
