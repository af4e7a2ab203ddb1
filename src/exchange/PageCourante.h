#pragma once

#include "exchange/Formats.h"
#include "graph/PageImprimee.h"

class Tgraphe;
struct TEntetePage;

// The page information typed in the global ConstanteDlg (nothing when there is none).
TRenseignementsPage RenseignementsPage();
// What a file or the clipboard says of this graph, now, from this program.
TDonneesPage DonneesPage(const Tgraphe& graphe);
// A printed page's header for a mode, now, with the page information as the files tell it: the
// parameter once it is complete, the comment when there is one. The mode adds its wavelength or
// range.
TEntetePage EntetePageCourante(const QString& titre);
