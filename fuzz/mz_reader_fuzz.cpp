// An executable file as the project names it: its header checked when it is opened, then its
// relocation table and its load image read as generation does. Whatever the header says, an opened
// file's load image must be readable to its end.
#include "fuzz_support.h"
#include "project/exe_reader.h"

#include <algorithm>
#include <vector>

using namespace ravlo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = fuzz::WriteScratchFile("FUZZ.EXE", fuzz::AsText({data, size}));
    const std::unique_ptr<tExeFile> exe = tExeFile::Open(path);
    if (!exe) {
        return 0;
    }
    fuzz::Check(exe->HeaderSize() + exe->LoadImageSize() <= size, "the load image lies inside the file");
    if (exe->ReadRelocations()) {
        for (const TExeReloc& reloc : exe->Relocations()) {
            fuzz::Check(reloc.ImageOffset() + 2 <= exe->LoadImageSize(),
                        "a fixup lies inside the load image");
        }
    }
    // The image in the pieces generation reads, and one byte past its end.
    std::vector<std::uint8_t> piece(4096);
    for (std::uint32_t at = 0; at < exe->LoadImageSize(); at += static_cast<std::uint32_t>(piece.size())) {
        const std::size_t count = std::min<std::size_t>(piece.size(), exe->LoadImageSize() - at);
        fuzz::Check(exe->ReadImage(at, std::span(piece).first(count)), "the load image reads to its end");
    }
    fuzz::Check(!exe->ReadImage(exe->LoadImageSize(), std::span(piece).first(1)),
                "nothing reads past the load image");
    exe->Close();
    return 0;
}
