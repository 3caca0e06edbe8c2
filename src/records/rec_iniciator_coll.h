#pragma once

#include "records/rec_el_iniciators.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// The initiators of a whole record, whose layout is their widths in collection order without
// gaps. It fills a record with defaults, and moves values to and from text: a header of element
// names ['a';'b'], value lists ($01;$0002;'text') in header order, and CSV lines.
//
// An import reads into copies of the initiators and changes them only when the whole text read
// well, so an error leaves every initiator as it was.
class TRecIniciatorColl : public TRecordsCollection<TRecElIniciatorObj> {
public:
    static constexpr std::string_view kClassName = "TRecIniciatorColl";

    std::string_view ClassName() const override { return kClassName; }

    // Appends a new initiator of class T named name and answers it.
    template <class T>
    T* Add(std::string name) {
        auto init = std::make_unique<T>();
        init->Name = std::move(name);
        T* added = init.get();
        Insert(std::move(init));
        return added;
    }

    // Copies every value into rec; a rec whose length is not GetIniciatorRecSize is reported and
    // left alone (false).
    bool AssignRecValues(std::span<std::uint8_t> rec) const;
    // The sum of the widths (not cut to 16 bits, so that no sum passes for a smaller one).
    std::uint32_t GetIniciatorRecSize() const;

    // Appends to HeaderList the first initiator named name (ASCII case ignored), or none, so that
    // the columns keep their places.
    virtual void DefineHeaderEl(std::string_view name);
    // A header list in brackets, which replaces HeaderList. With unknownIsError a name that
    // matches no initiator is a semantic error at its place instead of a column to skip.
    bool ImportHeaderListOK(TLexReader& reader, bool unknownIsError = false);
    // A value list in parentheses, in HeaderList's order; the values of unknown columns are
    // skipped. changed is set when a value is a database reference still to be resolved.
    bool ImportHeaderValuesOK(TLexReader& reader, bool& changed);
    // One value of every initiator in order, each followed by ";" or the field separator.
    bool ImportRecordCSVValuesOK(TLexReader& reader, bool& changed);

    void ExportHeaderList(TLexWriter& writer) const;
    // The elements of rec in parentheses; a rec whose length is not GetIniciatorRecSize is
    // reported and nothing is written (false).
    bool ExportRecordValue(std::span<const std::uint8_t> rec, TLexWriter& writer);

    // False, with index and name (cut to maxLen) of the first, when two initiators have names
    // equal with ASCII case ignored.
    bool TestUniqueHeaderNames(std::int32_t& index, std::string& name, std::size_t maxLen) const;
    // Every name between quote characters, each followed by the field separator.
    void GetInicCollCSVHeaderStr(std::string& s) const;

    // The header's columns: initiator indexes, -1 for a name that matches none. nullopt until a
    // header is defined.
    std::optional<std::vector<std::int32_t>> HeaderList;

private:
    std::int32_t FindHeaderEl(std::string_view name) const;
    bool SizeFits(std::size_t length, std::string_view what) const;
    // Copies of the initiators to read into (nullptr for a nil slot), and their values put back
    // into the initiators.
    std::vector<std::unique_ptr<TRecElIniciatorObj>> Copies() const;
    void Commit(const std::vector<std::unique_ptr<TRecElIniciatorObj>>& copies);
};

} // namespace ravlo
