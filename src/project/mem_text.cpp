#include "project/mem_text.h"

#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "project/module_collection.h"
#include "project/reloc_table.h"

#include <algorithm>
#include <optional>

namespace ravlo {
namespace {

constexpr std::string_view kModulePrefix = "Memory:";
constexpr std::size_t kNameField = 21;
// Columns 8-29 of a module line hold its name.
constexpr std::size_t kModuleNameStart = 7;
constexpr std::size_t kModuleNameWidth = 22;

// A name field cut to the longest name the model keeps and trimmed after the cut, so that the name
// matches its unit and reads back as it is written.
std::string NameOf(std::string_view field, std::size_t maxLength) {
    return std::string(TrimBlanks(TrimBlanks(field).substr(0, maxLength)));
}

std::string Hex5(std::uint32_t value) {
    return HexDW(value).substr(3);
}

// A "$" number of at most width characters (the "$" included) at the start of text.
std::optional<std::uint32_t> DollarField(std::string_view text, std::size_t width) {
    if (text.empty() || text.front() != '$') {
        return std::nullopt;
    }
    return ValDWord(text.substr(0, width));
}

// Moves text to its next "$"; false when there is none.
bool SkipToDollar(std::string_view& text) {
    const std::size_t at = text.find('$');
    if (at == std::string_view::npos) {
        return false;
    }
    text.remove_prefix(at);
    return true;
}

bool ParseModuleLine(std::string_view line, TMemModuleRecord& module) {
    module.Name =
        NameOf(line.substr(std::min(kModuleNameStart, line.size()), kModuleNameWidth), kModuleNameMax);
    std::string_view rest = line;
    if (!SkipToDollar(rest)) {
        return false;
    }
    const auto address = DollarField(rest, 5);
    if (!address) {
        return false;
    }
    rest.remove_prefix(std::min<std::size_t>(5, rest.size()));
    if (!SkipToDollar(rest)) {
        return false;
    }
    const auto length = DollarField(rest, 6);
    if (!length) {
        return false;
    }
    module.Address = static_cast<std::uint16_t>(*address);
    module.Length = *length;
    return true;
}

// The name field of a relocation line: up to the first TAB, so that names longer than the padded
// field are read whole; in a line without TAB, its first columns.
std::string_view UnitNameField(std::string_view line) {
    const std::size_t tab = line.find('\t');
    return line.substr(0, tab != std::string_view::npos ? tab : std::min(kNameField, line.size()));
}

// A relocation line: the name field, then the Rel, Abs and Size fields.
bool ParseUnitLine(std::string_view line, TMemUnitRecord& unit) {
    const std::string_view nameField = UnitNameField(line);
    unit.Name = NameOf(nameField, kUnitNameMax);
    std::string_view rest = line.substr(nameField.size());
    std::optional<std::uint32_t> fields[3];
    for (auto& field : fields) {
        if (!SkipToDollar(rest)) {
            return false;
        }
        field = DollarField(rest, 5);
        if (!field) {
            return false;
        }
        rest.remove_prefix(1);
    }
    unit.AbsSeg = static_cast<std::uint16_t>(*fields[1]);
    unit.Length = static_cast<std::uint16_t>(*fields[2]);
    return true;
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    const auto isSpace = [](char c) {
        return static_cast<unsigned char>(c) <= ' ';
    };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string MemModuleLine(const tModule& module) {
    const std::size_t pad = module.Name.size() < kNameField ? kNameField - module.Name.size() : 1;
    return "Memory: " + module.Name + std::string(pad, ' ') + "Address: $" + HexW(module.Address) +
           "   Size: $" + Hex5(module.Length);
}

std::string MemRelocHeaderLine() {
    return " Name" + std::string(17, ' ') + "\t Rel\t Abs\t Size";
}

std::string MemRelocLine(const tModUnit& unit) {
    const std::size_t pad = unit.Name.size() <= kNameField - 1 ? kNameField - unit.Name.size() : 0;
    return unit.Name + std::string(pad, ' ') + "\t$" + HexW(unit.RelSeg) + "\t$" + HexW(unit.AbsSeg) + "\t$" +
           HexW(unit.Length);
}

std::vector<std::string> MemFileLines(const tModuleCollection* modules, const tRelocTable* relocTable,
                                      std::span<const std::string> keptSection) {
    std::vector<std::string> lines;
    if (modules != nullptr) {
        modules->ForEach([&lines](const tModule& module) {
            lines.push_back(MemModuleLine(module));
            module.ForEach([&lines](const tModUnit& unit) { lines.push_back("    " + unit.Name); });
            lines.emplace_back();
        });
    }
    if (relocTable != nullptr) {
        lines.emplace_back();
        lines.push_back(MemRelocHeaderLine());
        relocTable->ForEach([&lines](const tModUnit& unit) { lines.push_back(MemRelocLine(unit)); });
    } else if (!keptSection.empty()) {
        lines.emplace_back();
        lines.insert(lines.end(), keptSection.begin(), keptSection.end());
    }
    return lines;
}

bool ParseMemText(std::span<const std::string> lines, bool readUnits, TMemDesign& design,
                  std::size_t& badLine) {
    design = TMemDesign{};
    std::size_t next = 0;
    const auto fail = [&badLine](std::size_t index) {
        badLine = index + 1;
        return false;
    };
    while (next < lines.size() && lines[next].starts_with(kModulePrefix)) {
        TMemModuleRecord module;
        if (!ParseModuleLine(lines[next], module)) {
            return fail(next);
        }
        ++next;
        // The unit names run up to an empty line (or the next module, or the end of the file).
        for (; next < lines.size() && !TrimBlanks(lines[next]).empty() &&
               !lines[next].starts_with(kModulePrefix);
             ++next) {
            module.UnitNames.push_back(NameOf(lines[next], kUnitNameMax));
        }
        design.Modules.push_back(std::move(module));
        if (next < lines.size() && !lines[next].starts_with(kModulePrefix)) {
            ++next;
        }
    }
    for (std::size_t rest = next; rest < lines.size(); ++rest) {
        if (!TrimBlanks(lines[rest]).empty()) {
            design.RelocLines.push_back(lines[rest]);
        }
    }
    if (!readUnits) {
        return true;
    }
    for (; next < lines.size(); ++next) {
        const std::string_view line = lines[next];
        // The heading is told by its whole name field: a longer unit name may begin with "Name".
        if (TrimBlanks(line).empty() || TrimBlanks(UnitNameField(line)) == "Name") {
            continue;
        }
        TMemUnitRecord unit;
        if (!ParseUnitLine(line, unit)) {
            return fail(next);
        }
        design.Units.push_back(std::move(unit));
    }
    return true;
}

} // namespace ravlo
