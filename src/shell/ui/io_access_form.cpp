#include "shell/ui/io_access_form.h"

#include "framework/ui/named_widget.h"
#include "framework/ui/qt_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ravlo {
namespace {

constexpr int kMinWidth = 514;
constexpr int kMinHeight = 230;
constexpr int kBits = 16;

QStringList QtItems(const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& item : items) {
        list.append(FromCp1250(item));
    }
    return list;
}

// Refills a combo box's drop-down when it changed, selects index (-1 none) and shows text.
void ShowCombo(QComboBox& combo, const QStringList& items, int index, const QString& text, int caret) {
    const QSignalBlocker blocker(combo);
    QStringList shown;
    for (int i = 0; i < combo.count(); ++i) {
        shown.append(combo.itemText(i));
    }
    if (shown != items) {
        combo.clear();
        combo.addItems(items);
    }
    combo.setCurrentIndex(index);
    combo.setEditText(text);
    combo.lineEdit()->setCursorPosition(caret);
}

// A hex box takes no text but through the model: its keys go to filter (an editable combo box
// hands its keys to its line edit itself, so the box is watched), and no paste, drop or context
// menu.
void GuardHexEdit(QWidget& box, QLineEdit& edit, QObject& filter) {
    box.installEventFilter(&filter);
    edit.setContextMenuPolicy(Qt::NoContextMenu);
    edit.setAcceptDrops(false);
    edit.setDragEnabled(false);
}

} // namespace

TIO_MDIChildForm::TIO_MDIChildForm(TToolBoard& board, QWidget* parent) : TBroadcastForm(parent) {
    setObjectName(QStringLiteral("IO_MDIChildForm"));
    setWindowTitle(QStringLiteral("IO Access"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(kMinWidth, kMinHeight);
    model_.emplace(board, Handle());
    BuildControls();
    ShowState();
}

TIO_MDIChildForm::~TIO_MDIChildForm() {
    if (!closed_) {
        model_->Close();
    }
}

void TIO_MDIChildForm::BuildControls() {
    cbAddr_ = Named(new QComboBox(this), "cbAddr");
    cbAddr_->setEditable(true);
    cbAddr_->setInsertPolicy(QComboBox::NoInsert);
    cbAddr_->lineEdit()->setMaxLength(5);
    GuardHexEdit(*cbAddr_, *cbAddr_->lineEdit(), *this);
    cbDescr_ = Named(new QComboBox(this), "cbDescr");
    cbDescr_->setEditable(true);
    cbDescr_->setInsertPolicy(QComboBox::NoInsert);
    cbDescr_->lineEdit()->setMaxLength(static_cast<int>(TIOItem::kMaxDescript));
    cbDescr_->lineEdit()->setPlaceholderText(QStringLiteral("User description"));
    cbDescr_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    edDataHex_ = Named(new QLineEdit(this), "edDataHex");
    edDataHex_->setMaxLength(5);
    GuardHexEdit(*edDataHex_, *edDataHex_, *this);
    const int hexWidth = cbAddr_->fontMetrics().horizontalAdvance(QStringLiteral("$DDDDDD")) + 32;
    cbAddr_->setFixedWidth(hexWidth);
    edDataHex_->setFixedWidth(hexWidth);
    rb8bit_ = Named(new QRadioButton(QStringLiteral("  8-bit access"), this), "rb8bit");
    rb16bit_ = Named(new QRadioButton(QStringLiteral("16-bit access"), this), "rb16bit");
    stStatus_ = Named(new QLabel(this), "stStatus");
    auto* read = Named(new QPushButton(QStringLiteral("Read"), this), "btRead");
    auto* write = Named(new QPushButton(QStringLiteral("Write"), this), "btWrite");
    auto* close = Named(new QPushButton(QStringLiteral("Close"), this), "btClose");

    auto* bitGrid = new QGridLayout;
    bitGrid->setHorizontalSpacing(2);
    bitGrid->setVerticalSpacing(0);
    bitGrid->addWidget(new QLabel(QStringLiteral("HIGH byte")), 0, 0, 1, 8, Qt::AlignHCenter);
    bitGrid->addWidget(new QLabel(QStringLiteral("LOW byte")), 0, 9, 1, 8, Qt::AlignHCenter);
    bitGrid->setColumnMinimumWidth(8, 12);
    for (int bit = kBits - 1; bit >= 0; --bit) {
        const int column = (kBits - 1 - bit) + (bit < 8 ? 1 : 0);
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("chbBit%1").arg(bit, 2, 10, QLatin1Char('0')));
        box->setToolTip(QStringLiteral("Bit %1").arg(bit));
        bits_[static_cast<std::size_t>(bit)] = box;
        auto* number = new QLabel(QString::number(bit));
        number->setEnabled(false);
        // Room for two digits over every box.
        bitGrid->setColumnMinimumWidth(column,
                                       number->fontMetrics().horizontalAdvance(QStringLiteral("15")) + 6);
        bitGrid->addWidget(number, 1, column, Qt::AlignHCenter);
        bitGrid->addWidget(box, 2, column, Qt::AlignHCenter);
        connect(box, &QCheckBox::clicked, this, [this, bit](bool on) {
            model_->SetBit(bit, on);
            ShowState();
        });
    }

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("IO Address:")), 0, 0);
    grid->addWidget(cbAddr_, 0, 1);
    auto* descrRow = new QHBoxLayout;
    descrRow->addWidget(new QLabel(QStringLiteral("Description:")));
    descrRow->addWidget(cbDescr_, 1);
    grid->addLayout(descrRow, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Data (hex):")), 1, 0);
    grid->addWidget(edDataHex_, 1, 1);
    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(rb8bit_);
    widthRow->addSpacing(16);
    widthRow->addWidget(rb16bit_);
    widthRow->addStretch(1);
    grid->addLayout(widthRow, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Data (bin):")), 2, 0, Qt::AlignBottom);
    auto* bitRow = new QHBoxLayout;
    bitRow->addLayout(bitGrid);
    bitRow->addStretch(1);
    grid->addLayout(bitRow, 2, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(read);
    bottom->addWidget(write);
    bottom->addSpacing(12);
    bottom->addWidget(new QLabel(QStringLiteral("Status:")));
    bottom->addWidget(stStatus_, 1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(bottom);

    connect(cbAddr_, &QComboBox::activated, this, [this](int index) {
        model_->SelectEntry(static_cast<std::size_t>(index));
        ShowState(0);
    });
    connect(cbDescr_, &QComboBox::activated, this, [this](int index) {
        model_->SelectEntry(static_cast<std::size_t>(index));
        ShowState();
    });
    connect(cbDescr_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        const int caret = cbDescr_->lineEdit()->cursorPosition();
        const bool added = model_->SetDescription(ToCp1250(text), FitsCp1250(text));
        ShowState(added ? static_cast<int>(model_->Description().size()) : caret);
    });
    connect(rb8bit_, &QRadioButton::clicked, this, [this] {
        model_->SetByteAccess(true);
        ShowState();
    });
    connect(rb16bit_, &QRadioButton::clicked, this, [this] {
        model_->SetByteAccess(false);
        ShowState();
    });
    connect(read, &QPushButton::clicked, this, [this] {
        model_->Read();
        ShowState();
    });
    connect(write, &QPushButton::clicked, this, [this] {
        model_->Write();
        ShowState();
    });
    connect(close, &QPushButton::clicked, this, &TIO_MDIChildForm::CloseWindow);
}

void TIO_MDIChildForm::ShowState(std::optional<int> descrCaret) {
    const TIOAccess& model = *model_;
    ShowCombo(*cbAddr_, QtItems(model.AddrItems()), model.SelIdx() - 1, FromCp1250(model.Addr().Text()),
              static_cast<int>(model.Addr().Caret()));
    // A refused description stays as typed, for the user to mend.
    const QString descr =
        model.DescriptionRefused() ? cbDescr_->lineEdit()->text() : FromCp1250(model.Description());
    ShowCombo(*cbDescr_, QtItems(model.DescrItems()), model.SelIdx() - 1, descr,
              descrCaret.value_or(cbDescr_->lineEdit()->cursorPosition()));
    edDataHex_->setText(FromCp1250(model.DataEdit().Text()));
    edDataHex_->setCursorPosition(static_cast<int>(model.DataEdit().Caret()));
    rb8bit_->setChecked(model.ByteAccess());
    rb16bit_->setChecked(!model.ByteAccess());
    for (int bit = 0; bit < kBits; ++bit) {
        QCheckBox& box = *bits_[static_cast<std::size_t>(bit)];
        box.setChecked((model.Data() >> bit & 1U) != 0);
        // The high byte takes no part in byte access, nor in the tab order.
        const bool used = bit < 8 || !model.ByteAccess();
        box.setEnabled(used);
        box.setFocusPolicy(used ? Qt::StrongFocus : Qt::NoFocus);
    }
    stStatus_->setText(FromCp1250(model.Status()));
}

bool TIO_MDIChildForm::HexKey(bool addr, const QKeyEvent& key) {
    if (key.matches(QKeySequence::Copy)) {
        return false;
    }
    QLineEdit& edit = addr ? *cbAddr_->lineEdit() : *edDataHex_;
    // A selection collapses to the caret.
    const int caret = edit.cursorPosition();
    if (addr) {
        model_->SetAddrCaret(static_cast<std::size_t>(caret));
    } else {
        model_->SetDataCaret(static_cast<std::size_t>(caret));
    }
    const auto press = [this, addr](TIOAccess::Key k) {
        addr ? model_->AddrPress(k) : model_->DataPress(k);
    };
    switch (key.key()) {
    case Qt::Key_Backspace:
        press(TIOAccess::Key::Backspace);
        break;
    case Qt::Key_Delete:
        press(TIOAccess::Key::Delete);
        break;
    case Qt::Key_Home:
        press(TIOAccess::Key::Home);
        break;
    case Qt::Key_End:
        press(TIOAccess::Key::End);
        break;
    case Qt::Key_Left:
        press(TIOAccess::Key::Left);
        break;
    case Qt::Key_Right:
        press(TIOAccess::Key::Right);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
        return false; // focus moves and the drop-down are the box's own
    default:
        if (key.text().size() == 1 && (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
            const char c = key.text().at(0).toLatin1();
            addr ? model_->AddrType(c) : model_->DataType(c);
        }
        break;
    }
    edit.deselect();
    ShowState();
    return true;
}

bool TIO_MDIChildForm::eventFilter(QObject* watched, QEvent* event) {
    const bool addr = watched == cbAddr_;
    if ((addr || watched == edDataHex_) && event->type() == QEvent::KeyPress) {
        return HexKey(addr, static_cast<const QKeyEvent&>(*event));
    }
    return TBroadcastForm::eventFilter(watched, event);
}

std::intptr_t TIO_MDIChildForm::WindowMessage(std::uint32_t msg, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
    if (model_->HandleMessage(msg, wParam, lParam)) {
        ShowState();
        return 0;
    }
    return TBroadcastForm::WindowMessage(msg, wParam, lParam);
}

void TIO_MDIChildForm::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        model_->Close();
    }
    TBroadcastForm::closeEvent(event);
}

} // namespace ravlo
