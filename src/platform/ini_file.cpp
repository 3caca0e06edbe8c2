#include "platform/ini_file.h"

#include "platform/atomic_file.h"

#include <string>

namespace ravlo {

bool IniFile::Exists() const {
    std::error_code error;
    return std::filesystem::exists(path_, error);
}

std::optional<IniDocument> IniFile::Load() const {
    if (!Exists()) {
        return IniDocument{};
    }
    const auto bytes = ReadFileBytes(path_);
    if (!bytes) {
        return std::nullopt;
    }
    return IniDocument::Parse(*bytes);
}

IniDocument IniFile::Read() const {
    return Load().value_or(IniDocument{});
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    return Read().ReadString(section, key, defaultValue);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    return Read().ReadInteger(section, key, defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return Read().ReadBool(section, key, defaultValue);
}

bool IniFile::SectionExists(std::string_view section) const {
    return Read().SectionExists(section);
}

bool IniFile::KeyExists(std::string_view section, std::string_view key) const {
    return Read().KeyExists(section, key);
}

std::vector<std::string> IniFile::SectionNames() const {
    return Read().SectionNames();
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
    return Read().KeyNames(section);
}

std::vector<std::string> IniFile::SectionLines(std::string_view section) const {
    return Read().SectionLines(section);
}

bool IniFile::Change(const std::function<bool(IniDocument&)>& change) {
    auto document = Load();
    if (!document) {
        return false;
    }
    const std::string before = document->Serialize();
    if (!change(*document)) {
        return false;
    }
    const std::string after = document->Serialize();
    return after == before || WriteFileAtomic(path_, after);
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    return Change([&](IniDocument& document) { return document.WriteString(section, key, value); });
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    return Change([&](IniDocument& document) {
        document.DeleteKey(section, key);
        return true;
    });
}

bool IniFile::DeleteSection(std::string_view section) {
    return Change([&](IniDocument& document) {
        document.DeleteSection(section);
        return true;
    });
}

} // namespace ravlo
