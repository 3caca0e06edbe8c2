#include "framework/ui/param_dialogs.h"

#include "framework/param_record.h"
#include "framework/string_table.h"
#include "framework/ui/qt_text.h"
#include "framework/ui/title_width.h"
#include "framework/ui/wait_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QScreen>

namespace ravlo {
namespace {

constexpr int kCaptionId = 178;
constexpr int kCancelId = 166;
constexpr int kFontPoints = 8;

// The characters the value edit has room for: the longest value ("$" and 8 hex digits, or 10
// decimal ones, for a dword) and one to spare.
int ValueDigits(std::size_t width) {
    return width == 1 ? 5 : width == 2 ? 7 : 12;
}

int TextWidth(const QLineEdit& edit, const QString& text) {
    // Room for the text margins and the cursor as well.
    return edit.fontMetrics().horizontalAdvance(text) + 3 * edit.fontMetrics().averageCharWidth();
}

template <class Dlg, class T>
int ExecParDlg(QWidget* owner, std::string_view labelText, std::string_view unitText, std::uint16_t options,
               T max, T min, T& value) {
    constexpr std::size_t kWidth = sizeof(T);
    Dlg dialog(owner);
    std::vector<std::uint8_t> record = MakeParRecord(kWidth, labelText, unitText, value, min, max);
    dialog.SetValueOptions(options);
    dialog.BindRecord(record);
    const int result = dialog.ShowModal();
    if (result == mrOk) {
        value = static_cast<T>(ParRecordValue(record, kWidth));
    }
    return result;
}

} // namespace

TParNum_Dlg::TParNum_Dlg(std::size_t width, QWidget* parent)
    : TTrValDialog(parent),
      LabelStr_Edit(MakeShownText(this, "LabelStr_Edit", Qt::AlignRight | Qt::AlignVCenter)),
      Value_Edit(new QLineEdit(this)),
      UnitStr_Edit(MakeShownText(this, "UnitStr_Edit", Qt::AlignLeft | Qt::AlignVCenter)), width_(width) {
    setWindowTitle(FromCp1250(AppLoadStr(kCaptionId)));
    QFont dialogFont = font();
    dialogFont.setPointSize(kFontPoints);
    dialogFont.setBold(true);
    setFont(dialogFont);
    Value_Edit->setObjectName(width == 1   ? QStringLiteral("Byte_Edit")
                              : width == 2 ? QStringLiteral("Word_Edit")
                                           : QStringLiteral("DWord_Edit"));
    Value_Edit->setFixedWidth(TextWidth(*Value_Edit, QString(ValueDigits(width), QLatin1Char('0'))));

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setHorizontalSpacing(6);
    layout->setColumnStretch(0, 1);
    layout->addWidget(LabelStr_Edit, 0, 0);
    layout->addWidget(Value_Edit, 0, 1);
    layout->addWidget(UnitStr_Edit, 0, 2);
    layout->setRowMinimumHeight(1, 8);
    QWidget* buttons = MakeOkCancelButtons(QStringLiteral("OK"), FromCp1250(AppLoadStr(kCancelId)));
    // The dialog is as wide as its title needs at least ("Editace parametru" whole).
    const QMargins margins = layout->contentsMargins();
    buttons->setMinimumWidth(ReadableTitleWidth(*this) - margins.left() - margins.right());
    layout->addWidget(buttons, 2, 0, 1, 3);
    Value_Edit->setFocus();
}

void TParNum_Dlg::BindRecord(std::span<std::uint8_t> data) {
    TCtrlBindings bindings;
    AddParBindings(bindings, width_, Control(LabelStr_Edit), Control(Value_Edit), Control(UnitStr_Edit))
        .Options = valueOptions_;
    Validator.TransferTo(std::move(bindings), data);
    FitTexts();
}

void TParNum_Dlg::showEvent(QShowEvent* event) {
    TTrValDialog::showEvent(event);
    if (const QScreen* shown = screen()) {
        move(shown->availableGeometry().center() -
             QPoint(frameGeometry().width(), frameGeometry().height()) / 2);
    }
}

void TParNum_Dlg::FitTexts() {
    for (QLineEdit* edit : {LabelStr_Edit, UnitStr_Edit}) {
        edit->setFixedWidth(TextWidth(*edit, edit->text()));
        edit->setCursorPosition(0);
    }
    // No unit: the value ends the row, in line with the buttons.
    UnitStr_Edit->setVisible(!UnitStr_Edit->text().isEmpty());
}

int ExecParByteDlg(QWidget* owner, std::string_view labelText, std::string_view unitText,
                   std::uint16_t options, std::uint8_t max, std::uint8_t min, std::uint8_t& value) {
    return ExecParDlg<TParByte_Dlg>(owner, labelText, unitText, options, max, min, value);
}

int ExecParWordDlg(QWidget* owner, std::string_view labelText, std::string_view unitText,
                   std::uint16_t options, std::uint16_t max, std::uint16_t min, std::uint16_t& value) {
    return ExecParDlg<TParWord_Dlg>(owner, labelText, unitText, options, max, min, value);
}

int ExecParDWordDlg(QWidget* owner, std::string_view labelText, std::string_view unitText,
                    std::uint16_t options, std::uint32_t max, std::uint32_t min, std::uint32_t& value) {
    return ExecParDlg<TParDWord_Dlg>(owner, labelText, unitText, options, max, min, value);
}

void RegisterFrameworkDialogs() {
    RegisterDialogClass<TParByte_Dlg>("TParByte_Dlg");
    RegisterDialogClass<TParWord_Dlg>("TParWord_Dlg");
    RegisterDialogClass<TParDWord_Dlg>("TParDWord_Dlg");
    RegisterDialogClass<TWait_Dlg>("TWait_Dlg");
}

} // namespace ravlo
