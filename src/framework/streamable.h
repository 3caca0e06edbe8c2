#pragma once

#include <memory>
#include <string_view>

namespace ravlo {

class TrbObjStream;

// Base of the objects that write themselves to an object stream and read themselves back.
// Field defaults come from member initialisers; InitObj is the hook the stream reader runs on a
// freshly built object before Load, so a class that is only ever loaded is complete after
// InitObj + Load.
class TrbStreamable {
public:
    TrbStreamable() = default;
    TrbStreamable(const TrbStreamable&) = delete;
    TrbStreamable& operator=(const TrbStreamable&) = delete;
    virtual ~TrbStreamable() = default;

    // Copies the fields of source; the base refuses with EConvertError.
    virtual void Assign(const TrbStreamable& source);
    virtual void InitObj() {}
    virtual void Store(TrbObjStream& stream) const = 0;
    virtual void Load(TrbObjStream& stream) = 0;
    // The registered name under which the stream numbers the class and rebuilds it.
    virtual std::string_view ClassName() const = 0;
};

// Raises the EConvertError of an Assign that cannot take source.
[[noreturn]] void ThrowAssignError(const TrbStreamable& target, const TrbStreamable& source);

// source as a T for an Assign of target; another class raises the base Assign's error.
template <class T>
const T& AssignSource(const TrbStreamable& target, const TrbStreamable& source) {
    const auto* typed = dynamic_cast<const T*>(&source);
    if (typed == nullptr) {
        ThrowAssignError(target, source);
    }
    return *typed;
}

using StreamFactory = std::unique_ptr<TrbStreamable> (*)();

// Enters a class in the registry that object streams rebuild objects from. Registering a name
// again with the same factory does nothing; another factory under a known name raises Exception.
void RegisterStreamClass(std::string_view name, StreamFactory factory);

// The factory registered under name, nullptr when none is.
StreamFactory FindStreamClass(std::string_view name);

template <class T>
void RegisterStreamClass() {
    RegisterStreamClass(T::kClassName,
                        []() -> std::unique_ptr<TrbStreamable> { return std::make_unique<T>(); });
}

} // namespace ravlo
