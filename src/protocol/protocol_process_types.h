#pragma once

namespace ravlo {

// Registers the process classes of the protocol layer with the process factory
// (kernel/process_factory.h); the program calls it once at start-up, before the labels are turned
// into processes. Calling it again changes nothing.
void RegisterProtocolProcessTypes();

} // namespace ravlo
