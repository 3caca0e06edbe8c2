#pragma once

namespace ravlo {

class tMapFile;
class tModule;
struct tProjectModel;

// Fills the unplaced-units module from the map's segment list: the loader, the code units, the data
// group, INITDATA, INITCODE (when RAM code is used), the stack and the heap. Raises EMapFormat with
// the message for the user when the list is not what a program's map holds.
void BuildUnits(tMapFile& map, tProjectModel& model, tModule& unplaced);

} // namespace ravlo
