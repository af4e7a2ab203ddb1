#pragma once

#include "exchange/Formats.h"

#include <QString>

class Tgraphe;

// Saves the mode's run under that name: the Tablarix format for ".tb3" in any letter case, the
// ASCII text otherwise; the kinetics variant reads the page information of ConstanteDlg. On
// failure shows the error box and returns false; an older file of that name stays intact.
bool EcritFichierDonnees(const QString& nomFichier, TModeDonnees mode, const Tgraphe& graphe);
