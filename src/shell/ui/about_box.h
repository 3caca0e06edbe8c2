#pragma once

#include <QDialog>
#include <QLabel>

namespace ravlo {

// The About box's web label: a double click opens the program's web page in the desktop's browser.
class TWebLabel : public QLabel {
    Q_OBJECT
public:
    TWebLabel(const QString& address, QWidget* parent);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString address_;
};

// The About box: program name, version line, what it is for and the web label; OK closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

// Shows the About box modally over owner.
void ShowAboutBox(QWidget* owner);

} // namespace ravlo
