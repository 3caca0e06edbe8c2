#pragma once

namespace ravlo {

// Enters the streamable classes of the record descriptions in the class registry (the framework's
// own classes with them). Calling it again does nothing more.
void RegisterRecordClasses();

} // namespace ravlo
