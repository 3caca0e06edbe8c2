#pragma once

#include "records/lex_reader.h"
#include "records/lex_writer.h"
#include "records/real48.h"
#include "records/stream_objects.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// An object that a database reference finds by its run-time instance address (the databases).
class TInstAddressed {
public:
    virtual std::uint16_t InstAddress() const = 0;

protected:
    ~TInstAddressed() = default;
};

// The named default value of one element of a flat record: its width, its value copied into a
// record, a new value read from text, and a record's element written as text.
class TRecElIniciatorObj : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TRecElIniciatorObj";
    static constexpr std::size_t kNameMax = 16;
    static constexpr std::uint16_t kNoRefAdr = 0xFFFF;

    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // Bytes the element takes in a record.
    virtual std::uint16_t GetElSize() const = 0;
    // Copies the value into dest, the element's GetElSize bytes.
    virtual void AssignValue(std::span<std::uint8_t> dest) const = 0;
    // Reads a new value; the value stays as it was when the reader meets an error. True when the
    // value is a database reference still to be resolved.
    virtual bool ReadValue(TLexReader& reader) = 0;
    virtual std::uint16_t GetRefAdr() const { return kNoRefAdr; }
    // Keeps a referenced object and its address; the base has no use for it.
    virtual void SetRefObj(std::unique_ptr<TrbStreamable> /*obj*/, std::uint16_t /*adr*/) {}
    // Hands a kept object over to coll.
    virtual void PutRefObj(TrbCollection* /*coll*/) {}
    // Writes the element found at the start of src (GetElSize bytes) as text.
    virtual void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) = 0;
    // The item of coll that the reference names; the base names none.
    virtual TrbStreamable* FindRefItem(const TrbCollection* /*coll*/) { return nullptr; }

    // At most kNameMax characters.
    std::string Name;
};

// An integer element written as "$" and the hex digits of its width.
template <class T>
class TNumElIniciator : public TRecElIniciatorObj {
public:
    void Store(TrbObjStream& stream) const override {
        TRecElIniciatorObj::Store(stream);
        WriteNumber(stream, Value);
    }
    void Load(TrbObjStream& stream) override {
        TRecElIniciatorObj::Load(stream);
        Value = ReadNumber<T>(stream);
    }
    std::uint16_t GetElSize() const override { return sizeof(T); }
    void AssignValue(std::span<std::uint8_t> dest) const override;
    void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) override;

    T Value{};

protected:
    // value, unless the reader has met an error.
    void Take(const TLexReader& reader, T value) {
        if (!reader.ErrorFlag()) {
            Value = value;
        }
    }
    static std::string HexText(T value);
};

class TByteElIniciatorObj : public TNumElIniciator<std::uint8_t> {
public:
    static constexpr std::string_view kClassName = "TByteElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    bool ReadValue(TLexReader& reader) override;
};

class TWordElIniciatorObj : public TNumElIniciator<std::uint16_t> {
public:
    static constexpr std::string_view kClassName = "TWordElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    bool ReadValue(TLexReader& reader) override;
};

class TIntegerElIniciatorObj : public TNumElIniciator<std::int32_t> {
public:
    static constexpr std::string_view kClassName = "TIntegerElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    bool ReadValue(TLexReader& reader) override;
};

// A double word, read and written by Mode: 1 a DOS file date and time, 2 a TTC time, else a number.
class TDWordElIniciatorObj : public TNumElIniciator<std::uint32_t> {
public:
    static constexpr std::string_view kClassName = "TDWordElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    bool ReadValue(TLexReader& reader) override;
    void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) override;

    std::uint8_t Mode = 0;
};

// A database reference: an instance address, with the object it names while that is being made.
class TDBPtrElIniciatorObj : public TNumElIniciator<std::uint16_t> {
public:
    static constexpr std::string_view kClassName = "TDBPtrElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    // True when an address below $FFFF was read.
    bool ReadValue(TLexReader& reader) override;
    std::uint16_t GetRefAdr() const override { return Value; }
    void SetRefObj(std::unique_ptr<TrbStreamable> obj, std::uint16_t adr) override;
    void PutRefObj(TrbCollection* coll) override;
    // Also takes the record's address.
    void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) override;
    // The first item of coll with the address (then resolved: the address becomes $FFFF).
    TrbStreamable* FindRefItem(const TrbCollection* coll) override;

    // Run time only.
    std::unique_ptr<TrbStreamable> RefObj;
};

// The 6-byte real, written in the full scientific form.
class TRealpElIniciatorObj : public TRecElIniciatorObj {
public:
    static constexpr std::string_view kClassName = "TRealpElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    std::uint16_t GetElSize() const override { return kReal48Size; }
    void AssignValue(std::span<std::uint8_t> dest) const override;
    bool ReadValue(TLexReader& reader) override;
    void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) override;

    TReal48 Value{};
};

// A short string in Size bytes (at most Size - 1 characters), between apostrophes in text; IntChar
// in the record stands for ExtChar in the text.
class TPStrElIniciatorObj : public TRecElIniciatorObj {
public:
    static constexpr std::string_view kClassName = "TPStrElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    std::uint16_t GetElSize() const override { return Size; }
    void AssignValue(std::span<std::uint8_t> dest) const override;
    bool ReadValue(TLexReader& reader) override;
    void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) override;

    std::uint8_t Size = 0;
    std::string Text;
    std::uint8_t IntChar = 0;
    std::uint8_t ExtChar = 0;
};

// An integer shown as a fixed-point number of DecimalPlaces() decimals, or plainly in hex.
template <class T>
class TSpecElIniciator : public TNumElIniciator<T> {
public:
    void Store(TrbObjStream& stream) const override {
        TNumElIniciator<T>::Store(stream);
        stream.WriteU8(Decimals);
    }
    void Load(TrbObjStream& stream) override {
        TNumElIniciator<T>::Load(stream);
        Decimals = stream.ReadU8();
    }
    bool ReadValue(TLexReader& reader) override;
    void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) override;

    std::uint8_t Decimals = 0;

protected:
    // 0 for the plain form, 1..4 decimals, -1 for a Decimals of no meaning (read unscaled, not
    // written).
    virtual int DecimalPlaces() const;
    virtual T ReadPlain(TLexReader& reader) const = 0;
};

class TSpecWordElIniciatorObj : public TSpecElIniciator<std::uint16_t> {
public:
    static constexpr std::string_view kClassName = "TSpecWordElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }

protected:
    int DecimalPlaces() const override;
    std::uint16_t ReadPlain(TLexReader& reader) const override { return reader.ReadWord(); }
};

class TSpecSmallIntElIniciatorObj : public TSpecElIniciator<std::int16_t> {
public:
    static constexpr std::string_view kClassName = "TSpecSmallIntElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }

protected:
    std::int16_t ReadPlain(TLexReader& reader) const override { return reader.ReadSmallInt(); }
};

class TSpecLIntElIniciatorObj : public TSpecElIniciator<std::int32_t> {
public:
    static constexpr std::string_view kClassName = "TSpecLIntElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }

protected:
    std::int32_t ReadPlain(TLexReader& reader) const override {
        return static_cast<std::int32_t>(reader.ReadDWord(TLexReader::kDWordPlain));
    }
};

// Len bytes, written as hex pairs between apostrophes without the trailing zero bytes.
class THexBuffElIniciatorObj : public TRecElIniciatorObj {
public:
    static constexpr std::string_view kClassName = "THexBuffElIniciatorObj";
    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    std::uint16_t GetElSize() const override { return static_cast<std::uint16_t>(Bytes.size()); }
    void AssignValue(std::span<std::uint8_t> dest) const override;
    // Hex digits in pairs; blanks, brackets, "," and ";" between them are skipped. A token that
    // is no hex number, or more bytes than Len, is a semantic error.
    bool ReadValue(TLexReader& reader) override;
    void WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) override;

    // Len bytes.
    std::vector<std::uint8_t> Bytes;
};

} // namespace ravlo
