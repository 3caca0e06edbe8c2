#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

// The five most recently opened projects of the File menu, kept in [LASTPROJECTS] of the
// application INI as "P1" to "P5" (full paths of .EXE or .MEM files, code page 1250). Entry 1 is the
// newest; an empty entry is unused.
class TLastProjects {
public:
    static constexpr std::size_t kCount = 5;
    // How many characters of a path a menu caption shows.
    static constexpr std::size_t kCaptionPathWidth = 20;

    // Reads the entries when the file has the section (missing keys are empty entries); else every
    // entry is empty.
    void Read(const std::filesystem::path& ini);
    // A project was opened: its path becomes entry 1; the entries before its old place (or all but
    // the last, when it was not in the list) move down one. Paths differing only in letter case are
    // one project. The entries are then written to ini. An empty path changes nothing.
    void Add(std::string_view path, const std::filesystem::path& ini);

    // Entry n (1 to kCount); empty for another n.
    std::string Get(int n) const;
    const std::array<std::string, kCount>& Entries() const { return entries_; }

    // "&" + n + " " + the path shortened to kCaptionPathWidth characters, its own "&"s doubled.
    static std::string MenuCaption(int n, std::string_view path);

private:
    std::array<std::string, kCount> entries_;
};

} // namespace ravlo
