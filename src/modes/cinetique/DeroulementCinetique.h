#pragma once

#include <QtGlobal>

class Tcourbe;

// The course of a kinetics run: its steps, when its points are stamped, when it ends. The window
// drives it from its buttons and its timer and shows what it says; time comes from the program's
// clock.
class TDeroulementCinetique {
public:
    // The steps of a run, the values of Etat.
    enum : quint8 { EtatLambda = 0, EtatZero = 1, EtatAcquisition = 2, EtatFini = 3, EtatPret = 4 };

    // How a reading ended.
    enum class TLecture {
        Tardive,     // the run stopped while it waited: the value is dropped
        Sautee,      // no value: skipped quietly
        Avertir,     // no value, several in a row: the user is told, the run goes on
        Enregistree, // a value to record
        Revenue,     // a value again after the user was told
    };
    // What follows a point recorded.
    enum class TSuite { Continue, DureeAtteinte, CourbePleine };

    quint8 Etat = EtatLambda;

    TDeroulementCinetique();

    // The steps before a run, where the wavelength may change; a change goes back to step 0.
    bool LambdaReglable() const;

    // The run starts: its time scale begins now.
    void Commence();
    // Whole seconds since the start, on the millisecond counter: a run that crosses midnight or
    // a change of the time of day keeps its time scale. A tick woken a little early counts as
    // the second it was due; a late one is truncated.
    qint32 SecondesEcoulees() const;

    // A tick of the timer: false when it is dropped, outside a run or while the instrument still
    // answers the previous one.
    bool DebuteLecture();
    TLecture FinLecture(double valeur);
    // The port could not be read: the reading is over, the run ends with what it has.
    void LectureEchouee();
    // After the point that brought the curve to `nbPoints`: the run ends at the first point
    // taken after the duration, or when the curve is full.
    TSuite ApresPoint(int nbPoints, quint16 duree) const;

    // Stopped by the user: a short run (at most 15 points and at most half the planned count)
    // is discarded, back to the ready step; a longer one is finished.
    static quint8 EtapeApresArret(int nbPoints, qint32 nbre);
    // Cut short by the instrument or the curve's capacity: finished with its points, or back to
    // the ready step when it has none.
    static quint8 EtapeApresCoupure(int nbPoints);
    // The top of the absorbance axis at the end of a run: its largest absorbance when it has
    // more than 2 points, else the instrument's maximum; at least 1.
    static double MaxiAbsorbanceFinale(const Tcourbe& courbe, double maxiA);

    static constexpr int LecturesPerduesAvantAvis = 3;

private:
    quint32 debutMs_ = 0;
    bool lectureEnCours_ = false;
    int lecturesPerdues_ = 0;
};
