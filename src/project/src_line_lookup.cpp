#include "framework/text_file.h"
#include "project/map_reader.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/reloc_table.h"

#include <optional>

namespace ravlo {
namespace {

// A line-number data line is made of 16-character groups: the line number right-aligned in
// columns 1-6, a blank, then segment:offset with the offset in columns 13-16.
constexpr std::size_t kGroupWidth = 16;
constexpr std::size_t kGroupOffsetColumn = 12;
constexpr std::uint8_t kNoLineData = 4;

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t';
}

// The line names "segment " + the unit name as a whole word.
bool NamesSegment(std::string_view line, std::string_view unitName) {
    const std::string key = "segment " + std::string(unitName);
    for (std::size_t at = line.find(key); at != std::string_view::npos; at = line.find(key, at + 1)) {
        const std::size_t after = at + key.size();
        if (after == line.size() || IsBlankChar(line[after])) {
            return true;
        }
    }
    return false;
}

// The text between the first "(" and the first ")" after it.
std::string SourceFileOf(std::string_view header) {
    const std::size_t open = header.find('(');
    if (open == std::string_view::npos) {
        return {};
    }
    const std::size_t close = header.find(')', open + 1);
    if (close == std::string_view::npos) {
        return {};
    }
    return std::string(header.substr(open + 1, close - open - 1));
}

std::optional<std::uint16_t> GroupOffset(std::string_view line, std::size_t group) {
    const std::size_t at = group * kGroupWidth + kGroupOffsetColumn;
    return at + 4 <= line.size() ? Hex4(line.substr(at, 4)) : std::nullopt;
}

std::optional<std::uint16_t> GroupLineNumber(std::string_view line, std::size_t group) {
    std::string_view digits = line.substr(group * kGroupWidth + 1, 5);
    while (!digits.empty() && digits.front() == ' ') {
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value <= 0xFFFF ? std::optional(static_cast<std::uint16_t>(value)) : std::nullopt;
}

struct TLineData {
    std::string Line;
    std::string SourceFile; // of the section the line belongs to
};

// The last group of the line whose offset is not above the wanted one.
TSrcLineResult AnswerFrom(const std::optional<TLineData>& previous, std::uint16_t offset,
                          TSrcLineResult result) {
    if (!previous) {
        return result;
    }
    for (std::size_t group = previous->Line.size() / kGroupWidth; group-- > 0;) {
        const auto groupOffset = GroupOffset(previous->Line, group);
        if (groupOffset && *groupOffset <= offset) {
            const auto number = GroupLineNumber(previous->Line, group);
            if (!number) {
                return result;
            }
            return {5, previous->SourceFile, *number};
        }
    }
    return result;
}

// Reads the line-number sections of the unit's segment for the wanted offset.
TSrcLineResult SearchLineNumbers(TTxRdFile& map, std::string_view unitName, std::uint16_t offset,
                                 TSrcLineResult result) {
    std::string line;
    do {
        if (map.Eof()) {
            return result;
        }
        map.ReadLn();
        do {
            if (map.Eof()) {
                return result;
            }
            line = map.ReadLn();
        } while (!line.starts_with('L'));
    } while (!NamesSegment(line, unitName));

    std::optional<TLineData> previous;
    std::string sourceFile = SourceFileOf(line);
    for (;;) {
        map.ReadLn(); // the blank line after the section header
        for (;;) {
            // The file may end right after a section's last line.
            if (map.Eof()) {
                return AnswerFrom(previous, offset, result);
            }
            line = map.ReadLn();
            const auto first = GroupOffset(line, 0);
            if (line.empty() || !first) {
                break;
            }
            if (offset < *first) {
                return AnswerFrom(previous, offset, result);
            }
            previous = TLineData{line, sourceFile};
        }
        if (line.empty()) {
            if (map.Eof()) {
                return AnswerFrom(previous, offset, result);
            }
            line = map.ReadLn();
        }
        // A further section of the same segment (the code of another source file) may follow.
        if (!NamesSegment(line, unitName)) {
            return AnswerFrom(previous, offset, result);
        }
        sourceFile = SourceFileOf(line);
    }
}

} // namespace

TSrcLineResult tMapFile::FindSrcLine(TSegOfsPtr address) const {
    TSrcLineResult result;
    tProjectModel& model = ProjectModel();
    if (!model.Modules) {
        return result;
    }
    if (!model.RelocTable) {
        // The lookup tells its misses by its result code only.
        BuildRelocTable(*model.Modules, false);
    }
    const tRelocTable& table = *model.RelocTable;

    std::uint16_t segment = address.Seg;
    std::uint32_t offset = address.Ofs;
    std::int32_t relSeg = table.AbsToRel(segment);
    if (relSeg < 0) {
        // Not a unit's start segment (a far pointer normalised otherwise): find the unit by the
        // linear address and take the offset from its start.
        const std::uint32_t linear = FarPtrToLin(address);
        const tModUnit* unit = table.GetModUnitByName(table.GetModUnitByAbsAddr(linear));
        if (unit == nullptr) {
            return result;
        }
        segment = unit->AbsSeg;
        offset = linear - static_cast<std::uint32_t>(unit->AbsSeg) * 16;
        relSeg = table.AbsToRel(segment);
        if (relSeg < 0) {
            return result;
        }
    }

    const tModUnit* unit = model.Modules->UnitByAddress(segment, static_cast<std::uint16_t>(relSeg));
    if (unit == nullptr) {
        result.Code = 1;
        return result;
    }
    result.Name = unit->Name;
    result.Line = static_cast<std::uint16_t>(relSeg);
    if (!IsCodeKind(unit->Kind)) {
        result.Code = 3;
        return result;
    }
    if (offset < unit->Offset || offset > static_cast<std::uint32_t>(unit->Offset) + unit->Length) {
        result.Code = 2;
        return result;
    }
    result.Code = kNoLineData;

    TTxRdFile map(fileName_);
    if (!map.ErrText().empty()) {
        return result;
    }
    for (std::uint16_t i = 1; i < lineCount_; ++i) {
        map.ReadLn();
    }
    return SearchLineNumbers(map, unit->Name, static_cast<std::uint16_t>(offset), result);
}

} // namespace ravlo
