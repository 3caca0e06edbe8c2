#pragma once

#include "records/data_base.h"

#include <memory>

namespace ravlo::rectool {

// Installs the demo application data and parameter records in the application extension and
// answers the demo databases: record types of every field class, two "Devices" databases whose
// records own "Channels" and "Alarms" sub-databases through pointer fields, and parameter
// records of two types. The first enumeration indexes stay empty for the program's own.
std::unique_ptr<TDBColl> BuildDemoRecords();

} // namespace ravlo::rectool
