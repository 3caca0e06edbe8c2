#pragma once

// For the targets that read one file of a project: the demo program's FUZZ.EXE and FUZZ.MAP written
// once into the scratch folder, and message boxes silenced.

#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "fuzz_support.h"

namespace ravlo::fuzz {

// Answers the executable's path.
inline std::filesystem::path PrepareDemoProject() {
    SilenceMessageBoxes();
    fixtures::WriteProjectFiles(ScratchFolder(), "FUZZ",
                                fixtures::LayOutProgram(fixtures::MakeDemoProgram()));
    return ScratchFolder() / "FUZZ.EXE";
}

} // namespace ravlo::fuzz
