#pragma once

namespace ravlo {

// Opens the FULL project ProjectDir + ProjectName: reads the .EXE header and builds the units from
// the .MAP into the unplaced-units module, with an empty design. The caller has set ExeFileTime.
// Sets ExeFileOK and MapFileOK as each file passes; false after a message when one fails, and the
// project is then left without model objects.
bool OpenProjectFiles();

// Saves the design (when it holds edits not yet saved that the user did not choose to drop, or when
// its units were placed, so the .MEM has them, and the design was read, written or edited) and frees
// the model.
void CloseProjectFiles();

} // namespace ravlo
