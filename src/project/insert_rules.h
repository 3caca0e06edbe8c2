#pragma once

namespace ravlo {

class tModule;
class tModUnit;

// Whether the unit may go into the module, by the module's type and, for an empty module, its
// address (data below $8000, code from $4000). A module never takes both data and code units. A refusal is
// shown; a doubtful placement is asked as a Yes/No question. True when the unit may go in.
bool InsertRulesAllow(const tModule& module, const tModUnit& unit);

// Moves the unit from the unplaced units into the module when the rules allow it; true when moved.
bool InsertUnitByRules(tModule& module, const tModUnit* unit, tModule& unplaced);

} // namespace ravlo
