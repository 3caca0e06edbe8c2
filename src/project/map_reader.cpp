#include "project/map_reader.h"

#include "framework/app_names.h"
#include "framework/file_paths.h"
#include "framework/text_file.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::string_view kInvalidMap = "Invalid .MAP file!";
constexpr std::size_t kClassNameMax = 100;
constexpr int kHeadingLines = 3;

// 1-based columns of a segment line.
constexpr std::size_t kSegmentColumn = 2;
constexpr std::size_t kOffsetColumn = 6;
constexpr std::size_t kLengthColumn = 17;
constexpr std::size_t kNameColumn = 23;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::uint16_t Hex4At(std::string_view line, std::size_t column) {
    const auto value = Hex4(line.substr(std::min(column - 1, line.size())));
    if (!value) {
        throw EMapFormat(std::string(kInvalidMap));
    }
    return *value;
}

// The start address's last hex digit: the unit's offset inside its first paragraph. Only digits
// and upper-case letters are written there by the linker.
std::uint16_t OffsetAt(std::string_view line) {
    const char c = line[kOffsetColumn - 1];
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
        return static_cast<std::uint16_t>(HexDigit(c));
    }
    throw EMapFormat("Bad (modified) .MAP file");
}

std::string_view TokenAt(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && IsBlank(line[pos])) {
        ++pos;
    }
    const std::size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) {
        ++pos;
    }
    return line.substr(start, pos - start);
}

} // namespace

std::optional<std::uint16_t> Hex4(std::string_view text) {
    if (text.size() < 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<std::uint16_t>(value);
}

tMapFile::tMapFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}

tMapFile::~tMapFile() = default;

std::unique_ptr<tMapFile> tMapFile::Open(const std::filesystem::path& fileName) {
    auto map = std::make_unique<tMapFile>(fileName);
    ProjectModel().WorkBufferSize = 512;
    const auto mapTime = GetFileWriteTime(fileName);
    if (mapTime) {
        map->text_ = std::make_unique<TTxRdFile>(fileName);
    }
    if (!mapTime || !map->text_->ErrText().empty()) {
        ProjectError("Could not open file: " + PathText(fileName));
        return nullptr;
    }
    if (ExeFileTime > *mapTime) {
        ProjectWarning("Map file out of date. Please, recompile application.");
        return nullptr;
    }
    return map;
}

TMapSegment tMapFile::ReadSegment(tProjectModel& model) {
    TMapSegment segment;
    if (!text_) {
        return segment;
    }
    if (lineCount_ == 0) {
        for (int i = 0; i < kHeadingLines; ++i) {
            text_->ReadLn();
        }
        lineCount_ = kHeadingLines;
    }
    if (text_->Eof()) {
        return segment;
    }
    const std::string line = text_->ReadLn();
    ++lineCount_;
    if (line.find_first_not_of(" \t") == std::string::npos) {
        return segment;
    }
    if (line.size() < kNameColumn) {
        throw EMapFormat(std::string(kInvalidMap));
    }
    segment.Segment = Hex4At(line, kSegmentColumn);
    segment.Offset = OffsetAt(line);
    segment.Length = Hex4At(line, kLengthColumn);
    std::size_t pos = kNameColumn - 1;
    const std::string_view name = TokenAt(line, pos);
    const std::string_view className = TokenAt(line, pos).substr(0, kClassNameMax);
    if (name.empty() || IsBlank(line[kNameColumn - 1])) {
        throw EMapFormat(std::string(kInvalidMap));
    }
    segment.Name = std::string(name.substr(0, kUnitNameMax));

    if (className == "CODE") {
        model.WorkBufferSize =
            std::max<std::uint32_t>(model.WorkBufferSize, segment.Offset + segment.Length + 16U);
        if (IsCodeInDataSegName(segment.Name)) {
            if (!CodeInDataSegWarned) {
                ProjectWarning("Warning: you are using CodeInDataSeg unit and thus you should have INITCODE "
                               "module.");
                CodeInDataSegWarned = true;
            }
            model.CodeInDataSegUsed = true;
            segment.Kind = MUnitT::CodeInDataSeg;
        } else {
            segment.Kind = MUnitT::Code;
        }
    } else if (className == "STACK") {
        model.StackSeg = segment.Segment;
        segment.Name = "Stack";
        model.HeapSeg = static_cast<std::uint16_t>(model.StackSeg + segment.Length / 16);
        model.DataLength = model.StackSeg >= model.DS ? (model.StackSeg - model.DS) * 16U : 0U;
        segment.Kind = MUnitT::Stack;
    } else if (className == "HEAP") {
        model.HeapSeg = segment.Segment;
        segment.Name = "Heap";
        segment.Kind = MUnitT::Heap;
    } else {
        if (firstData_) {
            firstData_ = false;
            model.DS = segment.Segment;
            segment.Name = "Data";
        }
        segment.Kind = MUnitT::Data;
    }
    return segment;
}

void tMapFile::CloseText() {
    text_.reset();
}

} // namespace ravlo
