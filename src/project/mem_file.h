#pragma once

namespace ravlo {

// Writes ProjectDir + ProjectName + ".MEM" through the text writer (the previous file survives as
// its backup): the module section when a design exists, the relocation section when the units are
// placed. The file gets ExeFileTime; MemFileOK is set after a clean close. False after the message
// "Can't write .MEM file." (the previous file stays).
bool WriteMemFile();

// Reads ProjectDir + ProjectName + ".MEM" into a new design. In a FULL project the file names which
// unit lies in which module (the units come from the map); in a SMALL project it is the whole model
// and gives ExeFileTime. A missing file gives false without a message; an unreadable or malformed
// one a message, and the design stays as it was; MemFileOK is clear after any failure. On success
// MemFileOK is set, removed and added units are told, and the design is checked unless units were
// added.
bool ReadMemFile();

} // namespace ravlo
