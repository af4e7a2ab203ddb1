#pragma once

#include "base/Boites.h"

#include <QDateTime>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class TCanevas;
class Tgraphe;
struct TRectangle;

// The range of a scan, in nm.
struct TBalayage {
    double Debut = 0;
    double Fin = 0;
    double Pas = 0;
};

// What a printed page says above its graph, as the mode gives it: a page read away from the
// program still tells what was measured, when, and on what.
struct TEntetePage {
    QString Titre{};                     // the mode's title
    QDateTime Moment{};                  // date and time of the printing
    std::optional<double> Lambda{};      // the wavelength of a kinetics or Beer-Lambert run, nm
    std::optional<TBalayage> Balayage{}; // the range and step of a spectrum
    // The page information as typed (screen text); nothing of it is written without a symbol.
    QString Symbole{};
    QString Unite{};
    QString Valeur{};
    QString Commentaire{};
    QString Loi{}; // the Beer-Lambert law line; none when empty
};

// The header's lines, in order: title with date and time, wavelength or range and step, the
// parameter "symbole = valeur unité", the comment, the law. A line without content is left out.
QStringList LignesEntete(const TEntetePage& entete);

// Writes the header at the top of `page`; the bottom of the last line.
int DessineEntete(TCanevas& canevas, const TRectangle& page, const TEntetePage& entete);

// One page, in that orientation: the header, then the graph over the rest of the page, then
// what `complement` draws over it with the graph's page layout (a mode's own marks). False,
// after the error box, when the printer or the file refuses the job.
bool ImprimePage(Tgraphe& graphe, const TEntetePage& entete,
                 const TDestinationImpression& destination,
                 QPageLayout::Orientation orientation = QPageLayout::Landscape,
                 const std::function<void()>& complement = {});
