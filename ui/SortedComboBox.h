// A drop-down list that offers only its own entries and keeps them sorted:
// each added text goes to its sorted place in a stable, case-insensitive,
// locale-aware order. Equal texts stay separate entries, a new one after the
// equal ones already there. Adding never changes what is selected.
#pragma once

#include <QCollator>
#include <QComboBox>

class TSortedComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TSortedComboBox(QWidget* parent);

    // Throws EOutOfResources "Unable to insert a line" when the list refuses
    // the entry (it is full).
    void AddSorted(const QString& text);

private:
    QCollator FCollator;
};
