#include "graph/PageImprimee.h"

#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "graph/Graphe.h"
#include "graph/Impression.h"

namespace {

// Wavelengths and steps as the instrument shows them (520.5, 0.2), the system's separator.
QString Nanometres(double lambda) {
    return FormatGeneral(lambda, 5, 1, Regional().SeparateurDecimal);
}

// Smaller than the graph's labels (a thirtieth of the page): the graph keeps most of it.
int HauteurLigne(const TRectangle& page) {
    return std::max(1, page.Hauteur() / 45);
}

} // namespace

QStringList LignesEntete(const TEntetePage& entete) {
    QStringList lignes;
    lignes << entete.Titre + QStringLiteral(" — ") + TexteDateHeure(entete.Moment);
    if (entete.Lambda)
        lignes << QStringLiteral("λ = %1 nm").arg(Nanometres(*entete.Lambda));
    if (entete.Balayage)
        lignes << QStringLiteral("λ de %1 à %2 nm, pas de %3 nm")
                      .arg(Nanometres(entete.Balayage->Debut), Nanometres(entete.Balayage->Fin),
                           Nanometres(entete.Balayage->Pas));
    if (!entete.Symbole.isEmpty()) {
        QString parametre = entete.Symbole + QStringLiteral(" = ") + entete.Valeur;
        if (!entete.Unite.isEmpty())
            parametre += u' ' + entete.Unite;
        lignes << parametre;
    }
    if (!entete.Commentaire.isEmpty())
        lignes << entete.Commentaire;
    if (!entete.Loi.isEmpty())
        lignes << entete.Loi;
    return lignes;
}

int DessineEntete(TCanevas& canevas, const TRectangle& page, const TEntetePage& entete) {
    const int hauteur = HauteurLigne(page);
    canevas.Police = {QStringLiteral("Arial Tablarix"), hauteur, Noir, false};
    canevas.Brosse = {Blanc, false};
    int y = page.Top;
    for (const QString& ligne : LignesEntete(entete)) {
        canevas.EcritTexte(page.Left, y, ligne);
        y += hauteur;
    }
    return y;
}

bool ImprimePage(Tgraphe& graphe, const TEntetePage& entete,
                 const TDestinationImpression& destination, QPageLayout::Orientation orientation,
                 const std::function<void()>& complement) {
    TTravailImpression travail(destination, orientation);
    if (!travail.Commence()) {
        AfficheErreur(travail.MessageEchec());
        return false;
    }
    TCanevas* const ecran = graphe.Canvas;
    TRectangle page = travail.Page();
    // Half a line between the header and the graph's axis title.
    page.Top = DessineEntete(travail.Canevas(), page, entete) + HauteurLigne(page) / 2;
    graphe.Canvas = &travail.Canevas();
    graphe.ZoneDessin = page;
    graphe.Dessine();
    if (complement)
        complement();
    travail.Termine();
    graphe.Canvas = ecran;
    return true;
}
