#pragma once

#include <QComboBox>

namespace ravlo {

// Makes box an editable box of addresses whose text is the one typed: its listed addresses are
// offered in the drop-down list, never completed into the text ("$C800" would become the listed
// "$C8000", an address sixteen times higher), and nothing typed is added to the list.
inline void MakeTypedAddressBox(QComboBox& box) {
    box.setEditable(true);
    box.setInsertPolicy(QComboBox::NoInsert);
    box.setCompleter(nullptr);
}

} // namespace ravlo
