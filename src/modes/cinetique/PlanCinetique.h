#pragma once

#include <QString>
#include <QtGlobal>

class Tcourbe;

// How a kinetics run is planned: Nbre points, Dt seconds apart, over Duree seconds. The arrows
// and the typed count change one of them and the others follow; the window only shows them.
// Duree is 16 bits: no rule lets Dt × Nbre pass 65535 s.
class TPlanCinetique {
public:
    static constexpr qint32 NbreMini = 15;
    static constexpr qint32 NbreMaxi = 4096;
    static constexpr quint16 DtMini = 2;
    static constexpr qint32 DureeMaxi = 65535;

    // 64 points of 2 s, the count then put on the steps of its arrows: 60 points over 128 s.
    TPlanCinetique();

    // A count within its limits, rounded down to the steps of its arrows.
    static qint32 NbreArrondi(qint32 nbre);

    // The up arrow of the duration. While acquiring it adds points at the same period, and once
    // there are many, lengthens the period instead: the points of `courbe` are then thinned
    // when it holds more than half its capacity.
    void DureeHaut(bool acquisition, Tcourbe& courbe);
    void DureeBas();
    void NbreHaut();
    void NbreBas();
    // A count typed, read when its editing ends. False, the plan unchanged, when the text is
    // not a whole number.
    bool FixeNbre(const QString& texte);
    // A count and a duration from elsewhere (a journal): the duration is kept when it can be.
    void Fixe(qint32 nbre, quint16 duree);
    // The zero is done: the run to come lasts Nbre periods.
    void PrepareAcquisition();

    qint32 Nbre = 64;
    quint16 Dt = 2;
    quint16 Duree = 128;

private:
    // The duration as the product of period and count.
    void MajDuree();
    // The count on its steps, the period derived from the duration and at least DtMini.
    void MajNbre();
};

// Halves a curve, keeping the points of even index: room for the rest of a long run whose
// period grew.
void EclaircitCourbe(Tcourbe& courbe);
