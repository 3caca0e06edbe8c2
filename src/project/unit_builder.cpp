#include "project/unit_builder.h"

#include "project/map_reader.h"
#include "project/module.h"
#include "project/project_globals.h"

#include <algorithm>
#include <memory>

namespace ravlo {
namespace {

constexpr std::uint32_t kWordMax = 0xFFFF;

[[noreturn]] void InvalidMap() {
    throw EMapFormat("Invalid .MAP file!");
}

void AddUnit(tModule& module, MUnitT kind, std::string_view name, std::uint16_t relSeg, std::uint16_t offset,
             std::uint32_t length) {
    module.Insert(std::make_unique<tModUnit>(kind, name, relSeg, offset, static_cast<std::uint16_t>(length)));
}

} // namespace

void BuildUnits(tMapFile& map, tProjectModel& model, tModule& unplaced) {
    AddUnit(unplaced, MUnitT::Loader, kLoaderUnitName, kLoaderRelSeg, 0, kLoaderLength);

    TMapSegment segment = map.ReadSegment(model);
    while (IsCodeKind(segment.Kind)) {
        AddUnit(unplaced, segment.Kind, segment.Name, segment.Segment, segment.Offset, segment.Length);
        segment = map.ReadSegment(model);
    }
    if (segment.Kind != MUnitT::Data) {
        InvalidMap();
    }
    // The data group is one unit, whatever segments it is made of.
    while (segment.Kind == MUnitT::Data) {
        segment = map.ReadSegment(model);
    }
    if (segment.Kind != MUnitT::Stack) {
        InvalidMap();
    }
    const TMapSegment stack = segment;
    // The data group runs from DS up to the stack and must fit one unit.
    if (model.StackSeg < model.DS || model.DataLength > kWordMax) {
        InvalidMap();
    }

    AddUnit(unplaced, MUnitT::Data, "Data", model.DS, 0, model.DataLength);
    const std::uint32_t dataStart = static_cast<std::uint32_t>(model.DS) * 16;
    model.InitDataLength =
        model.LoadImageSize > dataStart ? std::min(model.LoadImageSize - dataStart, kWordMax) : 0;
    model.WorkBufferSize = std::max(model.WorkBufferSize, model.InitDataLength + 16);
    AddUnit(unplaced, MUnitT::InitData, kInitDataUnitName, kInitDataRelSeg, 0, model.InitDataLength);
    if (model.CodeInDataSegUsed) {
        AddUnit(unplaced, MUnitT::InitCode, kInitCodeUnitName, kInitCodeRelSeg, 0, model.InitCodeLength);
        model.InitCodeUnit = unplaced.UnitByName(kInitCodeUnitName);
    }
    AddUnit(unplaced, MUnitT::Stack, stack.Name, stack.Segment, stack.Offset, stack.Length);

    segment = map.ReadSegment(model);
    if (segment.Kind == MUnitT::Heap) {
        AddUnit(unplaced, MUnitT::Heap, segment.Name, segment.Segment, segment.Offset, segment.Length);
    } else {
        AddUnit(unplaced, MUnitT::Heap, "Heap", model.HeapSeg, 0, 0);
    }
}

} // namespace ravlo
