#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// The text of an INI file held in memory with every line as it was, so that a change rewrites only
// the lines it touches and comments, blank lines and unknown lines survive byte for byte.
//
// Reading follows the classic private-profile rules: section and key names ignore case (code page
// 1250 letters included) and surrounding blanks; values are trimmed of blanks but keep any quotes;
// the first of two equal keys wins, and a section that appears twice reads as one. Lines before the
// first section belong to no section. A line that starts with ";" is a comment.
class IniDocument {
public:
    // Accepts LF and CR LF line ends; a changed file keeps the line end it used.
    static IniDocument Parse(std::string_view bytes);
    std::string Serialize() const;

    std::optional<std::string> FindValue(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The leading decimal number of the value (sign allowed, clamped to int); 0 when the value does
    // not start with one; defaultValue when the key is missing or empty.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    bool SectionExists(std::string_view section) const;
    bool KeyExists(std::string_view section, std::string_view key) const;
    // In file order, each name once, spelled as it first appears.
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;
    // The section's keys as "key=value" lines, in file order.
    std::vector<std::string> SectionLines(std::string_view section) const;

    // Updates the key's line in place, or adds the key after the section's last key, or appends the
    // section. False (and nothing changed) when the section or key name is empty or the text would
    // break the file's line structure (a line end anywhere, "=" in a key, "]" in a section name).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Remove every line of the key, or the whole section with its comments; false when none was there.
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        std::string text;   // without its line end
        std::string ending; // "\r\n", "\n", or "" for a last line without one
        LineKind kind = LineKind::Other;
        std::string name;        // section or key name, trimmed
        std::size_t valueAt = 0; // a key's value starts here (after "=" and blanks)
    };

    static Line ParseLine(std::string text, std::string ending);
    static std::string Value(const Line& line);
    // Indices of the lines inside every section of that name (headers excluded), in file order.
    std::vector<std::size_t> LinesOfSection(std::string_view section) const;
    std::optional<std::size_t> FindKeyLine(std::string_view section, std::string_view key) const;
    void InsertLine(std::size_t at, std::string text);
    // Removes the lines marked true; answers whether there were any.
    bool RemoveLines(const std::vector<bool>& doomed);

    std::vector<Line> lines_;
    std::string lineEnd_ = "\r\n";
};

} // namespace ravlo
