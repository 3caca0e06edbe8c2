#pragma once

#include "framework/board_address.h"

#include <QDialog>
#include <string_view>

class QComboBox;

namespace ravlo {

// The small modal dialog "Address": one board address typed as segment:offset or as a linear
// address. The address shows selected, so typing replaces it. OK with a text that does not parse
// beeps and shows the previous address again, selected.
class TfAddress : public QDialog {
    Q_OBJECT
public:
    TfAddress(std::string_view caption, TSegOfsPtr address, bool asLinear, QWidget* parent = nullptr);

    // The address shown at the start, or the one confirmed.
    TSegOfsPtr Address() const { return address_; }
    QComboBox& Combo() const { return *cbxCombo_; }

    // "$" and five hex digits of the linear address, or "$SSSS:OOOO".
    static QString AddressText(TSegOfsPtr address, bool asLinear);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The address in the box, selected.
    void ShowAddress();

    QComboBox* cbxCombo_;
    TSegOfsPtr address_;
    bool asLinear_;
};

// Asks for an address under caption (code page 1250). Answers the modal result: 1 (OK) with
// address set to the parsed one, otherwise 2 (cancelled) with address unchanged.
int AskAddress(std::string_view caption, TSegOfsPtr& address, bool asLinear);

} // namespace ravlo
