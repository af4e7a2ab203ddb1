#pragma once

#include "modes/journal/Journal.h"

#include <functional>

class QWidget;
class Tcourbe;
class Tgraphe;

// What the journal of every mode window says besides its own settings: the mode, both axes
// (name, unit, meaning, range), the start time and the page information of the moment.
TChampsJournal ChampsAcquisition(const QByteArray& mode, const Tgraphe& graphe,
                                 const TChampsJournal& propres);

// Journals the run again, from its start time, with `champs` and the first `nombre` points of
// `courbe`: after points were thinned or taken back. The new journal is on disk on return.
void ReecritJournal(TJournal& journal, TChampsJournal champs, const Tcourbe& courbe, int nombre);
// The same when the run's settings changed; nothing when they did not or no run is journaled.
void ActualiseJournal(TJournal& journal, const TChampsJournal& champs, const Tcourbe& courbe);

// Puts a journal's axes and points back in `graphe` (as many points as its curve holds) and its
// page information back in the page information dialog.
void RestaureAcquisition(const TJournalLu& journal, Tgraphe& graphe);

QByteArray TexteReel(double valeur);
// The number a field holds; `defaut` when it is missing or not a number.
double ChampReel(const TChampsJournal& champs, const QByteArray& cle, double defaut);
// The whole number a field holds, brought within mini … maxi (a journal may hold any number).
qint32 ChampEntier(const TChampsJournal& champs, const QByteArray& cle, qint32 defaut, qint32 mini,
                   qint32 maxi);

// Shows a mode window holding a restored run, through the main window's mode switch when there
// is one; without an instrument the window still opens, so that the run can be saved.
void MontreFenetreRestauree(quint8 mode, QWidget& fenetre);

// "Sauvegarde", asked when an unsaved run would be left (its window closed, the program ended,
// the table emptied), with Oui, Non and Annuler. Oui runs `sauve`, which says whether the run was
// saved; Non lets the run go and removes its journal. True when the caller may go on: saved, or
// Non; false for Annuler, or a save that did not happen (the user stays with the run).
bool DemandeSauvegarde(const QString& titre, TJournal& journal, const std::function<bool()>& sauve);

// At the program's end: the run of a window, shown or left unsettled in a hidden one, is asked
// about through `propose` (given the question's title); then its journal goes. False when the
// user chose to stay. The window does not leave its mode: the main window ends the remote control.
bool RegleALaFin(QWidget& fenetre, TJournal& journal,
                 const std::function<bool(const QString&)>& propose);
