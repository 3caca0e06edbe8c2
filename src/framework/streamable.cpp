#include "framework/streamable.h"

#include "platform/exception.h"

#include <map>
#include <string>

namespace ravlo {
namespace {

using ClassRegistry = std::map<std::string, StreamFactory, std::less<>>;

ClassRegistry& Registry() {
    static ClassRegistry registry;
    return registry;
}

} // namespace

void TrbStreamable::Assign(const TrbStreamable& source) {
    ThrowAssignError(*this, source);
}

void ThrowAssignError(const TrbStreamable& target, const TrbStreamable& source) {
    throw EConvertError("Cannot assign a " + std::string(source.ClassName()) + " to a " +
                        std::string(target.ClassName()));
}

void RegisterStreamClass(std::string_view name, StreamFactory factory) {
    ClassRegistry& registry = Registry();
    const auto it = registry.find(name);
    if (it == registry.end()) {
        registry.emplace(std::string(name), factory);
    } else if (it->second != factory) {
        throw Exception("A class named " + std::string(name) + " already exists");
    }
}

StreamFactory FindStreamClass(std::string_view name) {
    const ClassRegistry& registry = Registry();
    const auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}

} // namespace ravlo
