#include "framework/mem_block.h"

#include "framework/number_text.h"
#include "framework/padding.h"
#include "platform/exception.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ravlo {
namespace {

constexpr std::size_t kDumpBytes = 50;

std::unique_ptr<std::uint8_t[]> CopyOf(std::span<const std::uint8_t> buf) {
    auto data = std::make_unique<std::uint8_t[]>(buf.size());
    std::copy(buf.begin(), buf.end(), data.get());
    return data;
}

} // namespace

TMem::TMem(TMem&& other) noexcept : Data(std::move(other.Data)), Size(std::exchange(other.Size, 0)) {}

TMem& TMem::operator=(TMem&& other) noexcept {
    if (this != &other) {
        Data = std::move(other.Data);
        Size = std::exchange(other.Size, 0);
    }
    return *this;
}

std::uint16_t TMem::CheckedSize(std::size_t size) {
    if (size > kMaxSize) {
        throw ERangeError("memory block size " + std::to_string(size) + " exceeds " +
                          std::to_string(kMaxSize) + " bytes");
    }
    return static_cast<std::uint16_t>(size);
}

TMem TMem::CreateAttach(std::unique_ptr<std::uint8_t[]> data, std::size_t size) {
    const std::uint16_t checked = CheckedSize(size);
    if (!data) {
        return TMem();
    }
    return TMem(std::move(data), checked);
}

TMem TMem::CreateSize(std::size_t size) {
    const std::uint16_t checked = CheckedSize(size);
    if (checked == 0) {
        return TMem();
    }
    return TMem(std::make_unique<std::uint8_t[]>(checked), checked);
}

TMem TMem::CreateCopy(const TMem& src) {
    return CreateFromBuf(src.GetSpan());
}

TMem TMem::CreateFromBuf(std::span<const std::uint8_t> buf) {
    TMem block;
    block.SetData(buf);
    return block;
}

void TMem::SetData(std::span<const std::uint8_t> buf) {
    const std::uint16_t checked = CheckedSize(buf.size());
    // Copy before freeing: buf may point into the old buffer.
    std::unique_ptr<std::uint8_t[]> copy = checked == 0 || buf.data() == nullptr ? nullptr : CopyOf(buf);
    Size = copy ? checked : 0;
    Data = std::move(copy);
}

void TMem::Clear() {
    Data.reset();
    Size = 0;
}

bool TMem::PutData(std::span<const std::uint8_t> src, std::size_t offset) {
    if (!Data || offset > Size || src.size() > Size - offset) {
        return false;
    }
    if (!src.empty()) {
        std::memmove(Data.get() + offset, src.data(), src.size());
    }
    return true;
}

std::unique_ptr<std::uint8_t[]> TMem::ReleaseData() {
    Size = 0;
    return std::move(Data);
}

std::string TMem::DataToText() const {
    if (!Data) {
        return "(\?\?\?\?)";
    }
    std::string text = "(" + HexBuf(GetSpan(), kDumpBytes);
    if (Size > kDumpBytes) {
        text += "...";
    }
    text += ')';
    return CutToShort(std::move(text));
}

std::string TMem::ToText() const {
    return CutToShort(HexW(Size) + DataToText());
}

TMemL TMemL::Create(std::size_t size) {
    const std::uint16_t checked = CheckedSize(size);
    if (checked < 2) {
        return TMemL();
    }
    TMemL block(TMem::CreateSize(checked));
    const std::uint8_t sizeWord[2] = {static_cast<std::uint8_t>(checked & 0xFF),
                                      static_cast<std::uint8_t>(checked >> 8)};
    block.PutData(sizeWord, 0);
    return block;
}

} // namespace ravlo
