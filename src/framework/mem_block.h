#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace ravlo {

// An owned byte block of at most 65535 bytes: process message bodies, protocol frames and
// parameter-record images. Without data the block is empty (size 0); a block may also hold data
// of size 0 when a buffer was attached with that size. A size above 65535 raises ERangeError.
class TMem {
public:
    static constexpr std::size_t kMaxSize = 0xFFFF;

    TMem() = default;
    virtual ~TMem() = default;
    TMem(TMem&& other) noexcept;
    TMem& operator=(TMem&& other) noexcept;
    // Copies are made on purpose only, through CreateCopy.
    TMem(const TMem&) = delete;
    TMem& operator=(const TMem&) = delete;

    static TMem Create() { return TMem(); }
    // Takes over a buffer of at least size bytes without copying.
    static TMem CreateAttach(std::unique_ptr<std::uint8_t[]> data, std::size_t size);
    // size zeroed bytes; size 0 gives an empty block.
    static TMem CreateSize(std::size_t size);
    static TMem CreateCopy(const TMem& src);
    static TMem CreateFromBuf(std::span<const std::uint8_t> buf);

    // Replaces the contents with a copy of buf (which may lie inside this block); an empty buf
    // leaves the block empty. A refused size leaves the block unchanged.
    void SetData(std::span<const std::uint8_t> buf);
    void Clear();
    // Copies src to offset only when it fits wholly inside the data; answers whether it did.
    bool PutData(std::span<const std::uint8_t> src, std::size_t offset);

    bool HasData() const { return Data != nullptr; }
    std::uint16_t GetSize() const { return Size; }
    std::uint8_t* GetData() { return Data.get(); }
    const std::uint8_t* GetData() const { return Data.get(); }
    std::span<std::uint8_t> GetSpan() { return {Data.get(), Data ? Size : std::size_t{0}}; }
    std::span<const std::uint8_t> GetSpan() const { return {Data.get(), Data ? Size : std::size_t{0}}; }

    // Hands the buffer on and leaves the block empty.
    std::unique_ptr<std::uint8_t[]> ReleaseData();

    // "(" + the first 50 bytes in hex + "..." when there are more + ")"; "(????)" without data.
    virtual std::string DataToText() const;
    // The size in 4 hex digits followed by DataToText, e.g. "0003(0A0B0C)".
    virtual std::string ToText() const;

protected:
    TMem(std::unique_ptr<std::uint8_t[]> data, std::uint16_t size) : Data(std::move(data)), Size(size) {}
    // The size as a u16, or ERangeError naming what was asked for.
    static std::uint16_t CheckedSize(std::size_t size);

private:
    std::unique_ptr<std::uint8_t[]> Data;
    std::uint16_t Size = 0;
};

// A block whose first two bytes hold its own size, little-endian.
class TMemL : public TMem {
public:
    TMemL() = default;
    // Takes a block as it is, e.g. one received that already carries its size word.
    explicit TMemL(TMem&& block) : TMem(std::move(block)) {}

    // size zeroed bytes starting with the size word; a size below 2 gives an empty block.
    static TMemL Create(std::size_t size);
};

} // namespace ravlo
