#pragma once

namespace ravlo {

// The program's classes that are found by name or number: the channel types ("VIRT", "COM",
// "MARBEXL0") and the process classes of the labels. Called once at start-up, before the main form
// is created; calling it again changes nothing.
void RegisterProgramTypes();

} // namespace ravlo
