#pragma once

#include "platform/ini_document.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// An INI file on disk. Every call reads the file afresh and every change is written at once (through
// a temporary file renamed into place), so several objects on one file see each other's writes.
// A missing file reads as empty and is created by the first write. A file that exists but cannot be
// read reads as empty too, but is never overwritten: changes to it fail.
class IniFile {
public:
    explicit IniFile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& Path() const { return path_; }
    bool Exists() const;

    // The whole file at once, for many reads of one state.
    IniDocument Read() const;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool SectionExists(std::string_view section) const;
    bool KeyExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;
    std::vector<std::string> SectionLines(std::string_view section) const;

    // False when the change is refused (see IniDocument::WriteString) or the file cannot be written;
    // the file is then unchanged. Deleting what is not there succeeds without writing.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

private:
    // Loads the file; nullopt when it exists but cannot be read.
    std::optional<IniDocument> Load() const;
    // Applies a change and writes the file when its bytes changed. The change answers false to refuse.
    bool Change(const std::function<bool(IniDocument&)>& change);

    std::filesystem::path path_;
};

} // namespace ravlo
