#pragma once

#include "framework/board_address.h"
#include "platform/exception.h"
#include "project/mod_unit.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

class TTxRdFile;
struct tProjectModel;

// A .MAP whose segment list cannot be read; the text is the message for the user.
class EMapFormat : public Exception {
public:
    using Exception::Exception;
};

// Four hex digits (either case); nothing when a character is not one or the text is shorter.
std::optional<std::uint16_t> Hex4(std::string_view text);

// One line of the map's segment list, classified.
struct TMapSegment {
    MUnitT Kind = MUnitT::None; // None at the end of the list
    std::string Name;
    std::uint16_t Segment = 0;
    std::uint16_t Offset = 0;
    std::uint16_t Length = 0;
};

// What an error-address lookup found (FindSrcLine).
struct TSrcLineResult {
    // 0 no unit covers the address, 1 its segment lies in no module, 2 the offset lies outside the
    // unit, 3 the unit is not code, 4 a code unit without line data, 5 a source line.
    std::uint8_t Code = 0;
    // The unit name (codes 2-4) or the source file name (5).
    std::string Name;
    // The unit's relative segment (codes 2-4) or the source line number (5).
    std::uint16_t Line = 0;
};

// The linker map of the project: its segment list, read once when the project opens, and its
// line-number sections, read again for each error-address lookup.
class tMapFile {
public:
    // Opens the map for the segment list. Shows "Could not open file: " + name when it cannot be
    // read and "Map file out of date. Please, recompile application." when ExeFileTime is later than
    // its last-write time; null then.
    static std::unique_ptr<tMapFile> Open(const std::filesystem::path& fileName);
    // An object for the file that reads nothing yet (Open is the way to one that reads the list).
    explicit tMapFile(std::filesystem::path fileName);
    ~tMapFile();
    tMapFile(const tMapFile&) = delete;
    tMapFile& operator=(const tMapFile&) = delete;

    const std::filesystem::path& FileName() const { return fileName_; }
    // Lines the segment-list reader has consumed.
    std::uint16_t LineCount() const { return lineCount_; }

    // The next line of the segment list (the first call skips the three heading lines), classified
    // into the model: a code segment raises the work buffer size; the first data segment sets DS;
    // the stack segment sets the stack and heap segments and the data length; "Graph" and
    // "ScGraph" mark RAM code (with a warning once). Raises EMapFormat on a malformed line.
    TMapSegment ReadSegment(tProjectModel& model);
    // Closes the text file the segment list was read from.
    void CloseText();

    // Finds the unit, source file and line of an error address (segment:offset) in the placed
    // design and the map's line-number sections; builds the relocation table when there is none.
    TSrcLineResult FindSrcLine(TSegOfsPtr address) const;

private:
    std::filesystem::path fileName_;
    std::unique_ptr<TTxRdFile> text_;
    std::uint16_t lineCount_ = 0;
    bool firstData_ = true;
};

} // namespace ravlo
