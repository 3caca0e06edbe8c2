#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

namespace ravlo {

// A titled group of radio buttons, one per line, of which at most one is checked: the radio group
// that enumeration validators bind.
class TRadioGroupBox final : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroupBox(const QString& title = {}, QWidget* parent = nullptr);

    // Replaces the buttons; none is checked afterwards.
    void SetItems(const QStringList& items);
    QStringList Items() const;
    void SetItem(int index, const QString& text);
    // -1: none checked.
    int ItemIndex() const;
    void SetItemIndex(int index);

signals:
    // The user checked the button of index.
    void ItemClicked(int index);

private:
    QButtonGroup* group_;
    QVBoxLayout* layout_;
};

} // namespace ravlo
