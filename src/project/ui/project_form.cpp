#include "project/ui/project_form.h"

#include "framework/ui/qt_text.h"
#include "project/project_info.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace ravlo {
namespace {

constexpr int kImageSize = 20;

// A round mark: a tick on green for a file in order, a cross on red for one that is not.
QPixmap StatusPixmap(bool ok) {
    QPixmap pixmap(kImageSize, kImageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ok ? QColor(0x00, 0x99, 0x33) : QColor(0xCC, 0x22, 0x22));
    painter.drawEllipse(1, 1, kImageSize - 2, kImageSize - 2);
    painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (ok) {
        painter.drawPolyline(QPolygonF({QPointF(5.5, 10.5), QPointF(8.5, 13.5), QPointF(14.5, 6.5)}));
    } else {
        painter.drawLine(QPointF(6.5, 6.5), QPointF(13.5, 13.5));
        painter.drawLine(QPointF(13.5, 6.5), QPointF(6.5, 13.5));
    }
    return pixmap;
}

QLineEdit* ReadOnlyField(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    return edit;
}

} // namespace

TfProject::TfProject(QWidget* parent) : TBroadcastForm(parent) {
    setObjectName(QStringLiteral("fProject"));
    setWindowTitle(QStringLiteral("Project info"));
    setAttribute(Qt::WA_DeleteOnClose);

    edProjType_ = ReadOnlyField(this, "edProjType");
    edName_ = ReadOnlyField(this, "edName");
    edDir_ = ReadOnlyField(this, "edDir");
    const QString typeHint = QStringLiteral("SMALL project consists of .MEM file and .BIN file(s)\rLARGE "
                                            "project includes .EXE and .MAP file besides");
    const QString nameHint = QStringLiteral("Project name (Name of .EXE file)");
    auto* typeLabel = new QLabel(QStringLiteral("Type:"), this);
    auto* nameLabel = new QLabel(QStringLiteral("Name:"), this);
    edProjType_->setToolTip(typeHint);
    typeLabel->setToolTip(typeHint);
    edName_->setToolTip(nameHint);
    nameLabel->setToolTip(nameHint);

    // The two source pictures, never shown.
    imgOk_ = new QLabel(this);
    imgOk_->setObjectName(QStringLiteral("imgOk"));
    imgOk_->setPixmap(StatusPixmap(true));
    imgOk_->hide();
    imgErr_ = new QLabel(this);
    imgErr_->setObjectName(QStringLiteral("imgErr"));
    imgErr_->setPixmap(StatusPixmap(false));
    imgErr_->hide();

    auto* fields = new QGridLayout;
    fields->addWidget(typeLabel, 0, 0);
    fields->addWidget(edProjType_, 0, 1);
    fields->addWidget(nameLabel, 1, 0);
    fields->addWidget(edName_, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Directory:"), this), 2, 0);
    fields->addWidget(edDir_, 2, 1);

    auto* files = new QHBoxLayout;
    constexpr std::array<const char*, 4> kNames = {"imgEXE", "imgMAP", "imgMEM", "imgBIN"};
    constexpr std::array<const char*, 4> kLabels = {".EXE", ".MAP", ".MEM", ".BIN"};
    for (std::size_t i = 0; i < images_.size(); ++i) {
        images_[i] = new QLabel(this);
        images_[i]->setObjectName(QString::fromLatin1(kNames[i]));
        images_[i]->setFixedSize(kImageSize, kImageSize);
        files->addWidget(images_[i]);
        files->addWidget(new QLabel(QString::fromLatin1(kLabels[i]), this));
        files->addSpacing(12);
    }
    files->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(files);
    layout->addStretch(1);
    resize(360, 150);
    ShowProjectInfo();
}

void TfProject::ShowProjectInfo() {
    const TProjectInfo info = ravlo::ShowProjectInfo();
    edProjType_->setText(FromCp1250(info.Type));
    edName_->setText(FromCp1250(info.Name));
    edDir_->setText(FromCp1250(info.Dir));
    edDir_->setCursorPosition(0);
    const std::array<bool, 4> states = {info.ExeOk, info.MapOk, info.MemOk, info.BinOk};
    for (std::size_t i = 0; i < images_.size(); ++i) {
        images_[i]->setPixmap(states[i] ? imgOk_->pixmap() : imgErr_->pixmap());
        images_[i]->setProperty("ok", states[i]);
        images_[i]->repaint();
    }
}

} // namespace ravlo
