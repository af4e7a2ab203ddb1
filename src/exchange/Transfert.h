#pragma once

#include "exchange/Formats.h"

class Tgraphe;

// Puts the mode's table on the clipboard; when `envoi`, tells Tablarix to take it as a new file
// ("CLIP|LOAD()") or as a new page ("CLIP|ADD()") as chosen in ConstanteDlg. Every transfer then
// turns that choice to "Nouvelle page". For Beer-Lambert the graph's curve is the calibration.
// False when the send was asked and did not happen (the user has been told why).
bool TransfertDonnees(TModeDonnees mode, bool envoi, const Tgraphe& graphe);

// The clipboard text of the mode's table, as the characters whose Windows-1252 bytes are the
// layout's bytes.
QString TexteTransfert(TModeDonnees mode, const Tgraphe& graphe);

// Shown in the window's status bar once Tablarix has taken the data.
QString TexteDonneesEnvoyees();
