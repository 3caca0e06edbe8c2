#include "project/rom_image.h"

namespace ravlo {
namespace {

// clang-format off
constexpr std::array<std::uint8_t, kLoaderHeaderSize> kLoaderTemplate = {
    0x55, 0xAA, 0x00,                         // signature, block count
    0x33, 0xC0, 0x8E, 0xD8,                   // xor ax,ax; mov ds,ax
    0xC7, 0x06, 0x64, 0x00, 0x12, 0x00,       // mov word [0064],0012
    0x8C, 0x0E, 0x66, 0x00,                   // mov [0066],cs
    0xCB,                                     // retf
    0xFB,                                     // sti (offset $12)
    0xB8, 0xFF, 0xFF, 0x8E, 0xD8,             // mov ax,INITCODE source; mov ds,ax
    0xB8, 0xFF, 0xFF, 0x8E, 0xC0,             // mov ax,INITCODE destination; mov es,ax
    0x33, 0xFF, 0x33, 0xF6,                   // xor di,di; xor si,si
    0xB9, 0xFF, 0xFF, 0xFC, 0xF3, 0xA4,       // mov cx,length; cld; rep movsb
    0xB8, 0xFF, 0xFF, 0x8E, 0xD8,             // mov ax,INITDATA source; mov ds,ax
    0xB8, 0xFF, 0xFF, 0x8E, 0xC0,             // mov ax,DS; mov es,ax
    0x33, 0xFF, 0x33, 0xF6,                   // xor di,di; xor si,si
    0xB9, 0xFF, 0xFF, 0xFC, 0xF3, 0xA4,       // mov cx,length; cld; rep movsb
    0x8E, 0xD8,                               // mov ds,ax
    0xB8, 0xFF, 0xFF, 0x8E, 0xD0,             // mov ax,SS; mov ss,ax
    0xBC, 0xFF, 0xFF,                         // mov sp,SP
    0xBB, 0xFF, 0xFF,                         // mov bx,heap segment
    0xB9, 0xFF, 0xFF,                         // mov cx,heap end segment
    0xB8, 0xFF, 0xFF, 0x50,                   // mov ax,CS; push ax
    0xB8, 0xFF, 0xFF, 0x50,                   // mov ax,IP; push ax
    0xCB,                                     // retf
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
};
// clang-format on

void PutWord(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

std::optional<std::uint8_t> RomBlockCount(std::uint32_t paragraphs) {
    const std::uint32_t blocks = paragraphs / kParagraphsPerBlock + 1;
    if (blocks > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(blocks);
}

std::array<std::uint8_t, kRomHeaderSize> RomHeader(std::uint8_t blockCount) {
    std::array<std::uint8_t, kRomHeaderSize> header{};
    header.fill(0xFF);
    header[0] = 0x55;
    header[1] = 0xAA;
    header[2] = blockCount;
    header[3] = 0xCB;
    return header;
}

std::array<std::uint8_t, kLoaderHeaderSize> LoaderHeader(const TLoaderFields& fields) {
    std::array<std::uint8_t, kLoaderHeaderSize> loader = kLoaderTemplate;
    loader[2] = fields.BlockCount;
    if (fields.CopyInitCode) {
        PutWord(loader, 20, fields.InitCodeSource);
        PutWord(loader, 25, fields.InitCodeDest);
        PutWord(loader, 34, fields.InitCodeLength);
    } else {
        PutWord(loader, 37, 0x9090);
    }
    PutWord(loader, 40, fields.InitDataSource);
    PutWord(loader, 45, fields.DataSegment);
    PutWord(loader, 54, fields.InitDataLength);
    PutWord(loader, 62, fields.StackSegment);
    PutWord(loader, 67, fields.StackPointer);
    PutWord(loader, 70, fields.HeapSegment);
    PutWord(loader, 73, fields.HeapEndSegment);
    PutWord(loader, 76, fields.EntrySegment);
    PutWord(loader, 80, fields.EntryOffset);
    return loader;
}

void TRomImage::Append(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    for (const std::uint8_t b : bytes) {
        sum_ += b;
    }
}

void TRomImage::AppendTrailer() {
    const std::uint32_t length = kRomBlockSize - Size() % kRomBlockSize;
    const std::vector<std::uint8_t> fill(length - 1, 0xFF);
    Append(fill);
    const std::uint8_t checksum = static_cast<std::uint8_t>(0U - sum_);
    bytes_.push_back(checksum);
    sum_ += checksum;
}

} // namespace ravlo
