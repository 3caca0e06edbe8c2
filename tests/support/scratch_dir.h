#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Writes a file of the folder and answers its path.
    std::filesystem::path Write(std::string_view name, std::string_view bytes) const;
    std::optional<std::string> Read(std::string_view name) const;
    // The file's bytes; empty when it cannot be read.
    std::string Text(std::string_view name) const { return Read(name).value_or(std::string{}); }
    // Names of the entries, sorted.
    std::string Listing() const;

    // Makes the folder refuse new files, also to root (through the immutable flag where permission
    // bits are not enough). False when the file system offers no way to do that.
    bool MakeReadOnly();

private:
    void Unlock();

    std::filesystem::path path_;
    bool immutable_ = false;
};

} // namespace ravlo::testing
