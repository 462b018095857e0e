// The settings loader over arbitrary file contents: every input gives either
// settings or one error message naming the file, never a crash or a throw.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/settings.h"

namespace {

// One folder per fuzzing process, removed when it exits.
struct FuzzFolder {
    FuzzFolder()
        : path(std::filesystem::temp_directory_path() / ("lumora-fuzz-settings-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

const std::filesystem::path& FuzzFile() {
    static const FuzzFolder folder;
    static const std::filesystem::path file = folder.path / "lumora.toml";
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& file = FuzzFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    lumora::SettingsLoad load = lumora::LoadSettingsFile(file);
    if (load.error) {
        if (load.error->rfind(file.string(), 0) != 0) __builtin_trap();  // the message names the file first
        if (load.settings.Base(lumora::Site::FuLiBa) != lumora::DefaultSettings().Base(lumora::Site::FuLiBa))
            __builtin_trap();  // a bad file leaves the defaults
    } else {
        for (const std::string& base : load.settings.siteBase)
            if (base.empty() || base.back() == '/') __builtin_trap();
    }
    return 0;
}
