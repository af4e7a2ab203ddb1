#pragma once

#include "instrument/ReglagesSpectro.h"
#include "instrument/ReponseAppareil.h"

#include <QByteArray>
#include <QChar>

class TApdComPort;

// The instrument: its settings and the protocol that talks to it over the main window's port.
// One instance, `Spectro`, whose fields every window reads and writes directly.
class TspectroJenway : public TReglagesSpectro {
public:
    TApdComPort* Voie = nullptr; // the main window's port; not owned
    bool LectureEnCours = false; // a DemandeAbs is waiting for its reply
    // The decimal separator of the instrument's numbers as last seen (null before any), and
    // whether the user has been told that it is not the one the commands carry.
    QChar SeparateurAppareil;
    bool SeparateurSignale = false;

    // The instrument protocol. Port errors (ECommNotOpen, ...) reach the caller; nothing else
    // is reported.
    // Sends `commande` and returns the reply line: printable characters up to the carriage
    // return, at most 255, or what came before the time-out of `TimeOut` ticks.
    TChaine255 Interroge(const TChaine20& commande);
    // Interroge's exchange, the line with whether its carriage return came.
    TLigneReponse Echange(const TChaine20& commande);
    // One absorbance reading, or Indefini when the reply is no number or came without its
    // carriage return. A reading asked while one waits (a timer firing during the wait) gives
    // Indefini at once and leaves the first alone.
    double DemandeAbs();
    void EnvoiLambda(double lambda);
    void EnvoiCommande(const TChaine20& commande);
    // Scan mode, start, end and step, with a pause of 4 ticks after each. A step index outside
    // the table sends the nearest step. Stops early when the application quits or the port closes.
    void LanceSpectre();
    void LigneDeBase();
    // `lambda` through FormatLambda, with the system's decimal separator.
    QByteArray TexteLambda(double lambda) const;

    // Notes the separator of a number the instrument wrote (a null one tells nothing).
    void NoteSeparateur(QChar separateur);
    // When the instrument writes its numbers with another separator than the system's, which the
    // commands carry, tells the user once, after the current event, what it means and how to
    // change it. Called where a box does not interrupt an acquisition.
    void SignaleSeparateur();
};

extern TspectroJenway Spectro;

// True when the instrument's port is open. Otherwise the error box tells the user how to get the
// instrument back (it vanished, or could not be opened), and false: the action is not tried.
bool VoieSeriePrete();

// The scan steps sent for PasL 0, 1 and 2, always with a point.
inline constexpr const char* TableDesPas[] = {"0.2", "1.0", "5.0"};
