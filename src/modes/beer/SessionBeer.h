#pragma once

#include "modes/beer/AttenteLambda.h"
#include "modes/beer/Etalonnage.h"
#include "modes/beer/Loi.h"

#include <QString>

class Tcourbe;
class Tmonde;

// A Beer-Lambert series without its window: the mode, the point table (the curve of the
// window's graph, with its axes), the standards' line and the unknown samples, and what is
// refused while a reading or the settling wait is under way. The window reads the absorbances,
// shows the tables and says to the user what a refusal means.
//
// Mode 0 (A seul): x is the rank, a point per space bar or "Enregistrer".
// Mode 1 (Beer): x is the concentration typed for a standard; from the third standard on, the
// line through the origin gives the concentration of each unknown sample.
// Mode 2 (A(x)): x is any quantity typed.
class TSessionBeer {
public:
    static constexpr int kPasAxeRang = 16; // free places kept ahead on the rank axis

    // Why a reading asked for does not start.
    enum class TRefus {
        Aucun,
        SansObjet,        // the record button has nothing to do in mode 2
        Occupe,           // a reading waits for its reply, or the instrument settles
        TablePleine,      // the point table holds CapaciteCourbe points
        InconnuesPleines, // the table of unknown samples is full
    };
    // What became of the table, for its journal.
    enum class TChangement {
        Aucun,
        Point,    // one point more, the last of the table
        Retrait,  // the last point was taken back; an empty table leaves nothing to journal
        Grandeur, // the quantity or the mode may have changed; the points stay
        Fin,      // saved, sent or let go: the journal goes
    };

    // Marks a reading in progress for as long as it lives.
    class TLecture {
    public:
        explicit TLecture(TSessionBeer& session) : session_(session) { session_.lecture_ = true; }
        ~TLecture() { session_.lecture_ = false; }
        TLecture(const TLecture&) = delete;
        TLecture& operator=(const TLecture&) = delete;

    private:
        TSessionBeer& session_;
    };

    // The ordinate is the absorbance from the start; the abscissa is the mode's.
    TSessionBeer(Tcourbe& courbe, Tmonde& x, Tmonde& y);

    quint8 Mode = 0;
    bool Sauve = true; // the table is saved, or holds fewer than two points
    TLoi Loi;          // of the calibration line; kept until the next fit
    TInconnues Inconnues;
    bool DerniereInconnue = false; // the last entry taken was an unknown sample
    QString EcartTexte;            // the RMS deviation of the last fit
    TAttenteLambda Attente;

    int Nombre() const;
    double Pente() const { return Loi.Droite.Pente; }
    // Three standards at least: the line exists and "Concentration ?" measures.
    bool Etalonne() const { return Mode == 1 && Nombre() > 2; }
    // Calibrated, but no standard passed the thresholds.
    bool SansDroite() const { return Etalonne() && !(Pente() > 0); }
    // The line is drawn: the window shows its law, with the k it is drawn with.
    bool Droite() const { return Etalonne() && Pente() > 0; }
    // "A = 21.43 × c" and "R² = 0.9977" of the line drawn; empty without one.
    QString TexteLoi() const;
    QString TexteDetermination() const;
    // Both on one line, as a printed page tells it; empty without a line.
    QString LigneLoi() const;
    // The record button takes points: always, but in mode 1 before the third standard (hidden
    // in mode 2, it stays enabled for a later mode).
    bool EnregistreActif() const { return Mode != 1 || Nombre() > 2; }
    bool Occupe() const { return lecture_ || Attente.Stabilisation(); }

    // Before a reading for the record button (or the space bar), and for a typed value.
    TRefus RefusEnregistre() const;
    TRefus RefusClavier() const;

    // Mode 0: the absorbance read is the next point, at the next rank. The rank axis then grows
    // when the points come near its end (true).
    void AjouteRang(double absorbance);
    bool AgranditAxeRang();
    // Mode 1: an unknown sample, its concentration from the line; false when the table is full.
    bool AjouteInconnue(double absorbance);
    // A typed x with its absorbance; a standard in mode 1 fits the line again.
    void AjouteClavier(double x, double absorbance);
    // The newest unknown sample first, then the points; the slope stays as it was.
    TChangement Defaire();
    // Reset: no point, no unknown sample.
    void Vide();
    // The mode dialog chose `Mode`; another mode than `avant` starts an empty table.
    bool ChangeMode(quint8 avant);
    // A journaled series comes back in `mode`, its points already in the curve.
    void Reprend(quint8 mode);
    void CalculePente();

    // The abscissa axis of the mode, as the window shows it when activated.
    void PrepareAxeX();
    // Before a drawing: both axes reach beyond the points, up to a graduation, so that the
    // largest one is drawn whole inside the frame.
    void AdapteAxes();
    // A typed x outside the axis asks for a confirmation; confirmed, the axis reaches it.
    bool HorsAxe(double x) const;
    void EtendAxe(double x);

private:
    void VideEtalonnage();

    Tcourbe& courbe_;
    Tmonde& x_;
    Tmonde& y_;
    bool lecture_ = false;
};
