#pragma once

#include "exchange/Formats.h"

class Tgraphe;

// The page information typed in the global ConstanteDlg (nothing when there is none).
TRenseignementsPage RenseignementsPage();
// What a file or the clipboard says of this graph, now, from this program.
TDonneesPage DonneesPage(const Tgraphe& graphe);
