#pragma once

#include "framework/streamable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ravlo {

// An object configured by one key of the application INI: the key is its Name, the value a keyword
// list (see framework/keyword_lexer.h) read from RdSection and, as UPD says, written back to
// WrSection: 0 never, 1 every time, 2 once.
//
// Constructors do not read the settings, since a virtual call there would reach only the class under
// construction: create objects with MakeNamed, or call ReadInitialParams once the object is whole.
// The settings live in the INI file, not in object streams: Store and Load raise EStreamError.
class TNameObject : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TNameObject";
    static constexpr std::size_t kNameMax = 32;

    // The name is cut to kNameMax; the object enters the global TNameObjectList when there is one.
    explicit TNameObject(std::string_view name = {});
    ~TNameObject() override;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // ReadParamFromINI(false) when the object has a name; answers whether the read failed.
    bool ReadInitialParams();

    // Reads and parses the object's key; answers true when the key is missing or does not parse. A
    // failed INI check stops the program here (StopOnFailedIniCheck).
    virtual bool ReadParamFromINI(bool verbose);
    // Puts settings just read into effect; nothing in the base.
    virtual TNameObject& ApplyParams() { return *this; }
    virtual void WriteParamToINI();
    virtual std::string GetName() const { return Name; }
    // Parses a keyword list; answers whether it failed.
    virtual bool ParseParams(std::string_view text);
    // Reads the value of one keyword from the lexer; answers true for an unknown keyword or a bad
    // value. The base knows "UPD|ALL|"; descendants handle their own keys and pass the rest on.
    virtual bool ParseKeyword(std::string_view keyword);
    // The value of one keyword as text; nullopt for an unknown keyword.
    virtual std::optional<std::string> GetParamText(std::string_view keyword) const;
    // The settings as a keyword list, each key with a leading blank; descendants append theirs.
    virtual std::string ParamsToText() const;
    // 0 when Name matches the file-name mask (framework/file_mask.h), else -1.
    virtual int CompareName(std::string_view mask) const;

    std::string Name;
    std::uint8_t UPD = 0;
    std::uint8_t ALL = 0;

private:
    [[noreturn]] void ThrowNotStreamable() const;
};

// Builds a named object (or collection) and reads its settings.
template <class T, class... Args>
std::unique_ptr<T> MakeNamed(Args&&... args) {
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    object->ReadInitialParams();
    return object;
}

// The registry of the named objects that exist, while it exists itself: objects enter it when built
// and leave it when destroyed. There is one at a time; it does not own the objects.
class TNameObjectList {
public:
    // Raises Exception while another list exists.
    explicit TNameObjectList(std::string_view name);
    ~TNameObjectList();
    TNameObjectList(const TNameObjectList&) = delete;
    TNameObjectList& operator=(const TNameObjectList&) = delete;

    // The list that exists, nullptr when none does.
    static TNameObjectList* Global();

    std::size_t Count() const { return objects_.size(); }
    TNameObject* At(std::size_t index) const { return index < objects_.size() ? objects_[index] : nullptr; }
    // The first object (in order of creation) whose name matches mask; nullptr when none does.
    TNameObject* FindByMask(std::string_view mask) const;

    std::string Name;
    std::uint8_t Flag = 0;

private:
    friend class TNameObject;
    void Add(TNameObject* object) { objects_.push_back(object); }
    void Remove(const TNameObject* object);

    std::vector<TNameObject*> objects_;
};

} // namespace ravlo
