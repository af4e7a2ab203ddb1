#pragma once

#include "base/Boites.h"
#include "exchange/Formats.h"

#include <QString>

class Tgraphe;

// Saves the mode's run under that name: the Tablarix format for ".tb3" in any letter case, the
// ASCII text otherwise; the kinetics variant reads the page information of ConstanteDlg. On
// failure shows the error box and returns false; an older file of that name stays intact.
bool EcritFichierDonnees(const QString& nomFichier, TModeDonnees mode, const Tgraphe& graphe);

// The save dialog of the three windows: their data folder, the Tablarix and ASCII formats, and
// the spreadsheet file, which a name typed without extension follows when it is chosen.
TDialogueSauvegarde DialogueSauvegardeDonnees(const QString& extensionParDefaut);
