#pragma once

namespace ravlo {

// Enters the streamable classes of the framework in the class registry: the collections, the
// scan items, the enumeration classes and TAppData. Calling it again does nothing more.
void RegisterFrameworkClasses();

} // namespace ravlo
