#include "shell/ui/about_box.h"

#include "shell/main_form_setup.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>

namespace ravlo {
namespace {

constexpr const char* kWebAddress = "https://ravlo.example.org/";
constexpr int kIconSize = 48;

} // namespace

TWebLabel::TWebLabel(const QString& address, QWidget* parent) : QLabel(address, parent), address_(address) {
    setObjectName(QStringLiteral("Web_Label"));
    setToolTip(QStringLiteral("Double click opens the web page"));
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    setPalette(palette);
}

void TWebLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QDesktopServices::openUrl(QUrl(address_));
    QLabel::mouseDoubleClickEvent(event);
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Ravlo"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(kIconSize, kIconSize));
    auto* name = new QLabel(QStringLiteral("Ravlo"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto* version =
        new QLabel(QStringLiteral("Version %1, built %2")
                       .arg(QString::fromLatin1(kRavloVersionText.data(), kRavloVersionText.size()),
                            QString::fromLatin1(kRavloBuildDateText.data(), kRavloBuildDateText.size())),
                   this);
    version->setObjectName(QStringLiteral("Version_Label"));
    auto* purpose = new QLabel(QStringLiteral("Supervisor of the Vok controller boards:\n"
                                              "ROM and EPROM images, download and run,\n"
                                              "board memory, IO, setup and clock."),
                               this);
    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(purpose);
    texts->addSpacing(8);
    texts->addWidget(new TWebLabel(QString::fromLatin1(kWebAddress), this));
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

void ShowAboutBox(QWidget* owner) {
    TAboutBox box(owner);
    box.exec();
}

} // namespace ravlo
