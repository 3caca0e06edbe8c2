#pragma once

#include "framework/ui/tr_val_dialog.h"

#include <cstdint>
#include <string_view>

class QLineEdit;

namespace ravlo {

// The dialog "Editace parametru" that asks for one number of width bytes (1, 2 or 4) between the
// limits of its parameter record (framework/param_record.h), with its label and unit shown
// read-only beside it.
class TParNum_Dlg : public TTrValDialog {
    Q_OBJECT
public:
    TParNum_Dlg(std::size_t width, QWidget* parent);

    void BindRecord(std::span<std::uint8_t> data) override;

    // Options of the value's validator (kValHex) from the next BindRecord on.
    void SetValueOptions(std::uint16_t options) { valueOptions_ = options; }

    QLineEdit* LabelStr_Edit;
    QLineEdit* Value_Edit;
    QLineEdit* UnitStr_Edit;

protected:
    // Centred on the screen, not over the owner.
    void showEvent(QShowEvent* event) override;

private:
    // Fits the read-only texts to what they show.
    void FitTexts();

    std::size_t width_;
    std::uint16_t valueOptions_ = 0;
};

class TParByte_Dlg final : public TParNum_Dlg {
    Q_OBJECT
public:
    explicit TParByte_Dlg(QWidget* parent = nullptr) : TParNum_Dlg(1, parent) {}
};

class TParWord_Dlg final : public TParNum_Dlg {
    Q_OBJECT
public:
    explicit TParWord_Dlg(QWidget* parent = nullptr) : TParNum_Dlg(2, parent) {}
};

class TParDWord_Dlg final : public TParNum_Dlg {
    Q_OBJECT
public:
    explicit TParDWord_Dlg(QWidget* parent = nullptr) : TParNum_Dlg(4, parent) {}
};

// Ask for a value between min and max with labelText and unitText (code page 1250; cut to 40 and
// 12 characters) beside it. Answer the modal result; only OK (1) changes value.
int ExecParByteDlg(QWidget* owner, std::string_view labelText, std::string_view unitText,
                   std::uint16_t options, std::uint8_t max, std::uint8_t min, std::uint8_t& value);
int ExecParWordDlg(QWidget* owner, std::string_view labelText, std::string_view unitText,
                   std::uint16_t options, std::uint16_t max, std::uint16_t min, std::uint16_t& value);
int ExecParDWordDlg(QWidget* owner, std::string_view labelText, std::string_view unitText,
                    std::uint16_t options, std::uint32_t max, std::uint32_t min, std::uint32_t& value);

// Registers "TParByte_Dlg", "TParWord_Dlg", "TParDWord_Dlg" and "TWait_Dlg" for ExecuteDialog.
void RegisterFrameworkDialogs();

} // namespace ravlo
