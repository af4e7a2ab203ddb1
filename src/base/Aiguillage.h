#pragma once

#include <QtGlobal>

class QWidget;

// The program's modes (0 none, 1 spectrum, 2 kinetics, 3 Beer-Lambert) as the floors below the
// application see them: the mode the user is in, the window of each mode and the switch from one
// to another. The application sets it while its windows exist; a window made on its own (in a
// test) finds none, and then changes no mode.
class TAiguillage {
public:
    virtual ~TAiguillage() = default;

    virtual quint8 ModeCourant() const = 0;
    // The main window for 0; null for a mode without a window.
    virtual QWidget* FenetreDuMode(quint8 mode) const = 0;
    // The main window's mode switch.
    virtual void ChoixMode(quint8 mode) = 0;
};

// The one the application set, or null.
TAiguillage* Aiguillage();
void FixeAiguillage(TAiguillage* aiguillage);
