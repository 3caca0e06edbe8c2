#include "project/bin_writer.h"

#include "framework/app_names.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "platform/atomic_file.h"
#include "project/module_collection.h"
#include "project/module_dump.h"
#include "project/project_globals.h"
#include "project/project_messages.h"
#include "project/reloc_table.h"
#include "project/rom_image.h"

#include <algorithm>
#include <system_error>

namespace ravlo {
namespace {

std::string UnitNote(std::string_view unitName) {
    return "\r\nUnit \"" + std::string(unitName) + "\"";
}

std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Writes the loader with the program's start values patched in.
bool AppendLoader(TBinBuilder& builder, TRomImage& image, std::uint8_t blockCount) {
    const tProjectModel& model = builder.Model();
    const TMzHeader& header = builder.Exe().Header();
    const std::string_view name = kLoaderUnitName;
    TLoaderFields fields;
    fields.BlockCount = blockCount;
    fields.CopyInitCode = model.CodeInDataSegUsed;
    if (fields.CopyInitCode) {
        const auto source = builder.AbsSegment(kInitCodeRelSeg, name);
        if (!source) {
            return false;
        }
        fields.InitCodeSource = *source;
        fields.InitCodeDest = model.InitCodeDest;
        fields.InitCodeLength = static_cast<std::uint16_t>(model.InitCodeLength);
    }
    const auto initData = builder.AbsSegment(kInitDataRelSeg, name);
    const auto data = builder.AbsSegment(model.DS, name);
    const auto stack = builder.AbsSegment(header.e_ss, name);
    const auto heap = builder.AbsSegment(model.HeapSeg, name);
    const auto entry = builder.AbsSegment(header.e_cs, name);
    if (!initData || !data || !stack || !heap || !entry) {
        return false;
    }
    const auto heapEnd = model.Modules ? model.Modules->HeapEndSegment() : std::nullopt;
    if (!heapEnd) {
        ProjectError("Err - heap end segment out of range." + UnitNote(name));
        return false;
    }
    fields.InitDataSource = *initData;
    fields.DataSegment = *data;
    fields.InitDataLength = static_cast<std::uint16_t>(model.InitDataLength);
    fields.StackSegment = *stack;
    fields.StackPointer = header.e_sp;
    fields.HeapSegment = *heap;
    fields.HeapEndSegment = *heapEnd;
    fields.EntrySegment = *entry;
    fields.EntryOffset = header.e_ip;
    image.Append(LoaderHeader(fields));
    return true;
}

// INITCODE: the IROM module as the loader copies it into RAM, with its own header paragraph.
bool AppendInitCode(TBinBuilder& builder, TRomImage& image) {
    const tProjectModel& model = builder.Model();
    const tModule* irom = model.IromModule;
    if (irom == nullptr || !model.Modules || model.Modules->IndexOf(irom) < 0) {
        ProjectError("Err - missing InitCodeCollection.");
        return false;
    }
    const auto blockCount = RomBlockCount(model.InitCodeLength / 16);
    image.Append(RomHeader(blockCount.value_or(0)));
    for (std::int32_t i = 0; i < irom->Count(); ++i) {
        const tModUnit& unit = *irom->At(i);
        if (!builder.AppendUnit(image, unit.RelSeg, unit.Offset, unit.Length, unit.Name)) {
            return false;
        }
    }
    return true;
}

bool AppendUnitOfKind(TBinBuilder& builder, TRomImage& image, const tModUnit& unit, std::uint8_t blockCount) {
    switch (unit.Kind) {
    case MUnitT::Loader:
        return AppendLoader(builder, image, blockCount);
    case MUnitT::InitData:
        return builder.AppendUnit(image, builder.Model().DS, 0, unit.Length, unit.Name);
    case MUnitT::InitCode:
        return AppendInitCode(builder, image);
    default:
        return builder.AppendUnit(image, unit.RelSeg, unit.Offset, unit.Length, unit.Name);
    }
}

// A module that failed leaves no .BIN behind: an older one would pass for its image.
bool FailModule(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    return true;
}

} // namespace

TBinBuilder::TBinBuilder(tProjectModel& model, tExeFile& exe, const tRelocTable& table)
    : model_(model), exe_(exe), table_(table), workBuffer_(model.WorkBufferSize), fixups_(exe.Relocations()) {
    std::stable_sort(fixups_.begin(), fixups_.end(), [](const TExeReloc& a, const TExeReloc& b) {
        return a.ImageOffset() < b.ImageOffset();
    });
}

std::optional<std::uint16_t> TBinBuilder::AbsSegment(std::uint16_t relSeg, std::string_view unitName) {
    auto cached = absSegments_.find(relSeg);
    if (cached == absSegments_.end()) {
        cached = absSegments_.emplace(relSeg, table_.RelToAbs(relSeg, false)).first;
    }
    if (cached->second < 0) {
        ProjectError("46 - co to znamena??? (asi dotaz na neexistujici segment)" + UnitNote(unitName) +
                     ", segment $" + HexW(relSeg));
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(cached->second);
}

bool TBinBuilder::AppendUnit(TRomImage& image, std::uint16_t relSeg, std::uint16_t offset,
                             std::uint16_t length, std::string_view unitName) {
    if (length == 0) {
        return true;
    }
    const std::size_t end = static_cast<std::size_t>(offset) + length;
    if (end + 16 > workBuffer_.size()) {
        ProjectError("Err 26 - asi too short buffer." + UnitNote(unitName));
        return false;
    }
    std::fill_n(workBuffer_.begin(), offset, 0xFF);
    const std::uint32_t base = static_cast<std::uint32_t>(relSeg) * 16;
    if (!exe_.ReadImage(base + offset, std::span(workBuffer_).subspan(offset, length))) {
        ProjectError("Could not read from file: " + PathText(exe_.FileName()) + UnitNote(unitName));
        return false;
    }
    // Every fixup whose word lies in the unit's bytes, found by its place in the load image, so
    // that units sharing a paragraph and segments of a data group each get their own.
    auto fixup =
        std::lower_bound(fixups_.begin(), fixups_.end(), base + offset,
                         [](const TExeReloc& entry, std::uint32_t at) { return entry.ImageOffset() < at; });
    for (; fixup != fixups_.end() && fixup->ImageOffset() < base + end; ++fixup) {
        const std::size_t at = fixup->ImageOffset() - base;
        if (at + 2 > end) {
            ProjectError("Err 27 - asi corrupted exe file." + UnitNote(unitName));
            return false;
        }
        const auto relative = static_cast<std::uint16_t>(workBuffer_[at] | (workBuffer_[at + 1] << 8));
        const auto absolute = AbsSegment(relative, unitName);
        if (!absolute) {
            return false;
        }
        workBuffer_[at] = static_cast<std::uint8_t>(*absolute);
        workBuffer_[at + 1] = static_cast<std::uint8_t>(*absolute >> 8);
    }
    std::fill_n(workBuffer_.begin() + static_cast<std::ptrdiff_t>(end), 16, 0xFF);
    image.Append(std::span(workBuffer_).first((end + 15) & ~std::size_t{15}));
    return true;
}

bool tModule::Generate(TBinBuilder& builder) {
    if (MemType() != ModuleT::ROM) {
        return false;
    }
    const std::filesystem::path path = ProjectFilePath(Name + ".BIN");
    const bool loaderFirst = First()->Kind == MUnitT::Loader;
    const std::uint32_t total =
        (loaderFirst ? 0U : static_cast<std::uint32_t>(kRomHeaderSize)) + SumOfUnitSizes();
    const auto blockCount = RomBlockCount(total / 16);
    if (!blockCount) {
        ProjectError("\"" + Name + "\" module length with checksum exceed size 128KB!");
        return FailModule(path);
    }

    TRomImage image;
    if (!loaderFirst) {
        image.Append(RomHeader(*blockCount));
    }
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (!AppendUnitOfKind(builder, image, *At(i), *blockCount)) {
            return FailModule(path);
        }
    }
    // The header's block count was taken from the units' sizes; the bytes must agree with it.
    if (image.Size() != total) {
        ProjectError("\"" + Name + "\" module image length differs from its units' sizes!");
        return FailModule(path);
    }
    image.AppendTrailer();
    ModuleLength = image.Size();
    if (ModuleLength > Length) {
        ProjectError("Adding checksum to module \"" + Name + "\" occurs exceeding its length!");
        return FailModule(path);
    }
    if (!WriteFileAtomic(path, AsText(image.Bytes()))) {
        ProjectError("Can not write .BIN file \"" + PathText(path) + "\"!");
        return FailModule(path);
    }
    if (!WriteFileWriteTime(path, ExeFileTime)) {
        ProjectError("SetFileTime Error");
    }
    return false;
}

bool GenerateBinFiles(tModuleCollection& modules) {
    tProjectModel& model = ProjectModel();
    if (!model.Exe) {
        return true;
    }
    if (!model.Exe->ReadRelocations()) {
        model.Exe->Close();
        return true;
    }
    BuildRelocTable(modules);
    bool failed = false;
    {
        TBinBuilder builder(model, *model.Exe, *model.RelocTable);
        for (std::int32_t i = 0; i < modules.Count() && !failed; ++i) {
            tModule& module = *modules.At(i);
            Writelnsys(0, "Module.Generate");
            DumpModule(module);
            failed = module.Generate(builder);
        }
    }
    model.Exe->Close();
    return failed;
}

} // namespace ravlo
