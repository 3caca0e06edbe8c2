#include "platform/ini_document.h"

#include "platform/text_case.h"

#include <algorithm>
#include <climits>

namespace ravlo {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool ValidSectionName(std::string_view name) {
    return !name.empty() && !HasLineBreak(name) && name.find(']') == std::string_view::npos;
}

bool ValidKeyName(std::string_view name) {
    return !name.empty() && !HasLineBreak(name) && name.find('=') == std::string_view::npos &&
           name.front() != '[' && name.front() != ';';
}

int LeadingInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = std::min<long long>(magnitude * 10 + (c - '0'), 1LL + INT_MAX);
    }
    const long long value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument document;
    bool lineEndChosen = false;
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        std::string_view text = bytes.substr(0, newline);
        std::string ending;
        if (newline != std::string_view::npos) {
            ending = "\n";
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                ending = "\r\n";
            }
            if (!lineEndChosen) {
                document.lineEnd_ = ending;
                lineEndChosen = true;
            }
        }
        document.lines_.push_back(ParseLine(std::string(text), std::move(ending)));
        bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
    }
    return document;
}

IniDocument::Line IniDocument::ParseLine(std::string text, std::string ending) {
    Line line;
    line.text = std::move(text);
    line.ending = std::move(ending);
    const std::string_view trimmed = Trim(line.text);
    if (trimmed.starts_with('[')) {
        const std::string_view inside = trimmed.substr(1);
        line.kind = LineKind::Section;
        line.name = Trim(inside.substr(0, inside.find(']')));
        return line;
    }
    const std::size_t equals = line.text.find('=');
    if (trimmed.starts_with(';') || equals == std::string::npos) {
        return line;
    }
    const std::string_view key = Trim(std::string_view(line.text).substr(0, equals));
    if (key.empty()) {
        return line;
    }
    line.kind = LineKind::Key;
    line.name = key;
    line.valueAt = equals + 1;
    while (line.valueAt < line.text.size() && IsBlank(line.text[line.valueAt])) {
        ++line.valueAt;
    }
    return line;
}

std::string IniDocument::Serialize() const {
    std::string bytes;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

std::string IniDocument::Value(const Line& line) {
    return std::string(Trim(std::string_view(line.text).substr(line.valueAt)));
}

std::vector<std::size_t> IniDocument::LinesOfSection(std::string_view section) const {
    section = Trim(section);
    std::vector<std::size_t> indices;
    bool inside = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section) {
            inside = SameTextNoCase(lines_[i].name, section);
        } else if (inside) {
            indices.push_back(i);
        }
    }
    return indices;
}

std::optional<std::size_t> IniDocument::FindKeyLine(std::string_view section, std::string_view key) const {
    key = Trim(key);
    for (const std::size_t i : LinesOfSection(section)) {
        if (lines_[i].kind == LineKind::Key && SameTextNoCase(lines_[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::FindValue(std::string_view section, std::string_view key) const {
    const auto line = FindKeyLine(section, key);
    return line ? std::optional(Value(lines_[*line])) : std::nullopt;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    return FindValue(section, key).value_or(std::string(defaultValue));
}

int IniDocument::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const auto value = FindValue(section, key);
    return value && !value->empty() ? LeadingInteger(*value) : defaultValue;
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniDocument::SectionExists(std::string_view section) const {
    section = Trim(section);
    return std::any_of(lines_.begin(), lines_.end(), [section](const Line& line) {
        return line.kind == LineKind::Section && SameTextNoCase(line.name, section);
    });
}

bool IniDocument::KeyExists(std::string_view section, std::string_view key) const {
    return FindKeyLine(section, key).has_value();
}

namespace {

void AddOnce(std::vector<std::string>& names, const std::string& name) {
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&name](const std::string& seen) { return SameTextNoCase(seen, name); });
    if (!known) {
        names.push_back(name);
    }
}

} // namespace

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind == LineKind::Section) {
            AddOnce(names, line.name);
        }
    }
    return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    for (const std::size_t i : LinesOfSection(section)) {
        if (lines_[i].kind == LineKind::Key) {
            AddOnce(names, lines_[i].name);
        }
    }
    return names;
}

std::vector<std::string> IniDocument::SectionLines(std::string_view section) const {
    std::vector<std::string> result;
    for (const std::size_t i : LinesOfSection(section)) {
        if (lines_[i].kind == LineKind::Key) {
            result.push_back(lines_[i].name + "=" + Value(lines_[i]));
        }
    }
    return result;
}

bool IniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (!ValidSectionName(section) || !ValidKeyName(key) || HasLineBreak(value)) {
        return false;
    }
    if (const auto existing = FindKeyLine(section, key)) {
        Line& line = lines_[*existing];
        // The blanks after "=" stay as the file has them; the value's own leading blanks would be
        // added to them on every write.
        std::string_view text = value;
        while (!text.empty() && IsBlank(text.front())) {
            text.remove_prefix(1);
        }
        line.text.replace(line.valueAt, std::string::npos, text);
        return true;
    }
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    std::optional<std::size_t> insertAfter;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section) {
            if (insertAfter) {
                break; // the end of the first section of that name
            }
            if (SameTextNoCase(lines_[i].name, section)) {
                insertAfter = i;
            }
        } else if (insertAfter && lines_[i].kind == LineKind::Key) {
            insertAfter = i;
        }
    }
    if (insertAfter) {
        InsertLine(*insertAfter + 1, keyLine);
        return true;
    }
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) {
        InsertLine(lines_.size(), "");
    }
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), keyLine);
    return true;
}

void IniDocument::InsertLine(std::size_t at, std::string text) {
    if (at > 0 && lines_[at - 1].ending.empty()) {
        lines_[at - 1].ending = lineEnd_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ParseLine(std::move(text), lineEnd_));
}

bool IniDocument::DeleteKey(std::string_view section, std::string_view key) {
    key = Trim(key);
    std::vector<bool> doomed(lines_.size(), false);
    for (const std::size_t i : LinesOfSection(section)) {
        doomed[i] = lines_[i].kind == LineKind::Key && SameTextNoCase(lines_[i].name, key);
    }
    return RemoveLines(doomed);
}

bool IniDocument::DeleteSection(std::string_view section) {
    section = Trim(section);
    std::vector<bool> doomed(lines_.size(), false);
    bool inside = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section) {
            inside = SameTextNoCase(lines_[i].name, section);
        }
        doomed[i] = inside;
    }
    return RemoveLines(doomed);
}

bool IniDocument::RemoveLines(const std::vector<bool>& doomed) {
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!doomed[i]) {
            kept.push_back(std::move(lines_[i]));
        }
    }
    const bool removed = kept.size() != lines_.size();
    lines_ = std::move(kept);
    return removed;
}

} // namespace ravlo
