#pragma once

#include <QPushButton>
#include <QWidget>

class QToolButton;

// The large step button: its caption wraps over several lines.
class TGrandBouton : public QPushButton {
    Q_OBJECT
public:
    TGrandBouton(const QString& legende, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* evenement) override;
};

// An up/down pair of arrow buttons without an edit.
class TBoutonsHautBas : public QWidget {
    Q_OBJECT
public:
    explicit TBoutonsHautBas(QWidget* parent);
    QToolButton* Haut;
    QToolButton* Bas;
};
