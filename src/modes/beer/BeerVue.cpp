// What the Beer-Lambert window shows of its series: the point table, the graph with the
// calibration line, the unknown samples and the deviation of the fit.
#include "base/Utilitaires.h"
#include "graph/BoitePeinture.h"
#include "modes/beer/BeerForm.h"

#include <QLabel>
#include <QTableWidget>

namespace {

const QColor kRougeGrille(255, 0, 0);

// Rows grow to hold `lignes`, never shrink.
void AuMoins(QTableWidget& grille, int lignes) {
    if (grille.rowCount() < lignes)
        grille.setRowCount(lignes);
}

} // namespace

bool ExtremiteDroite(const Tgraphe& graphe, double pente, int& px, int& py) {
    if (!(pente > 0))
        return false;
    const double xmax = graphe.MondeX.Maxi;
    graphe.MondeVersEcran(xmax, pente * xmax, px, py);
    if (py < graphe.ZoneDessin.Top) {
        const double ymax = graphe.MondeY.Maxi;
        graphe.MondeVersEcran(ymax / pente, ymax, px, py);
    }
    return px != -1 && py != -1;
}

void TBeerForm::Cellule(QTableWidget& grille, int ligne, int colonne, const QString& texte) {
    QTableWidgetItem* item = grille.item(ligne, colonne);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grille.setItem(ligne, colonne, item);
    }
    item->setText(texte);
}

void TBeerForm::OscilloPaint() {
    Graphe.Canvas = &Oscillo->Canevas();
    Graphe.ZoneDessin = Oscillo->ZoneClient();
    Session.AdapteAxes();
    Graphe.Dessine();
    RemplitMesures();
    if (Session.Etalonne())
        TraceEtalonnage();
}

// The new point `i` on the graph and in the table, without drawing all again.
void TBeerForm::AjoutePoint(int i) {
    Graphe.TracePoint(static_cast<quint16>(i));
    AuMoins(*BeerMesureGrid, i + 3);
    Cellule(*BeerMesureGrid, i + 2, 0, FloatToStr3(Graphe.Courbe.X[i]));
    Cellule(*BeerMesureGrid, i + 2, 1, FloatToStr3(Graphe.Courbe.Y[i]));
    BeerMesureGrid->setCurrentCell(i + 2, 0);
}

// The new unknown sample `j`, in its grid and, when the line gave it a concentration, on the
// graph, whose axes may have to grow to hold it.
void TBeerForm::MontreInconnue(int j) {
    AuMoins(*beerCalcGrid, j + 1);
    RemplitInconnue(j);
    beerCalcGrid->setCurrentCell(j, 0);
    if (Session.Inconnues.ConcInconnue[j] != Indefini)
        Oscillo->Repeint();
}

// After a fit: the unknown samples' concentrations, the deviation and the line.
void TBeerForm::MontreEtalonnage() {
    RemplitGrilleCalcul();
    MajEcart();
    Oscillo->Repeint();
}

void TBeerForm::RemplitMesures() {
    const int n = Session.Nombre();
    Cellule(*BeerMesureGrid, 0, 0, Graphe.MondeX.Nom.TexteEcran());
    Cellule(*BeerMesureGrid, 0, 1, Graphe.MondeY.Nom.TexteEcran());
    Cellule(*BeerMesureGrid, 1, 0, Graphe.MondeX.Unite.TexteEcran());
    Cellule(*BeerMesureGrid, 1, 1, Graphe.MondeY.Unite.TexteEcran());
    AuMoins(*BeerMesureGrid, n + 3);
    for (int i = 0; i < n; ++i) {
        Cellule(*BeerMesureGrid, i + 2, 0, FloatToStr3(Graphe.Courbe.X[i]));
        Cellule(*BeerMesureGrid, i + 2, 1, FloatToStr3(Graphe.Courbe.Y[i]));
    }
    if (n > 0)
        BeerMesureGrid->setCurrentCell(n + 1, 0);
    for (int ligne = n + 2; ligne < BeerMesureGrid->rowCount(); ++ligne)
        for (int colonne : {0, 1})
            Cellule(*BeerMesureGrid, ligne, colonne, QString());
}

void TBeerForm::TraceEtalonnage() {
    int px = -1, py = -1;
    if (ExtremiteDroite(Graphe, Session.Pente(), px, py)) {
        int px0 = -1, py0 = -1;
        Graphe.MondeVersEcran(0, 0, px0, py0);
        Graphe.Canvas->Plume = {Graphe.Courbe.Couleur, TStylePlume::Continu, TModePlume::Copie};
        Graphe.Canvas->DeplaceVers(px0, py0);
        Graphe.Canvas->LigneVers(px, py);
    }
    const TInconnues& inconnues = Session.Inconnues;
    for (int j = 0; j < inconnues.NbreInconnues; ++j)
        if (inconnues.ConcInconnue[j] != Indefini)
            Graphe.TraceCarre(inconnues.ConcInconnue[j], inconnues.AbsInconnue[j]);
    RemplitGrilleCalcul();
}

void TBeerForm::RemplitInconnue(int j) {
    const double c = Session.Inconnues.ConcInconnue[j];
    Cellule(*beerCalcGrid, j, 0, c == Indefini ? QString() : FloatToStr3(c));
    Cellule(*beerCalcGrid, j, 1, FloatToStr3(Session.Inconnues.AbsInconnue[j]));
    for (int colonne : {0, 1})
        beerCalcGrid->item(j, colonne)->setForeground(kRougeGrille);
}

void TBeerForm::RemplitGrilleCalcul() {
    const int nombre = Session.Inconnues.NbreInconnues;
    AuMoins(*beerCalcGrid, nombre + 1);
    for (int j = 0; j < nombre; ++j)
        RemplitInconnue(j);
    if (nombre > 0)
        beerCalcGrid->setCurrentCell(nombre - 1, 0);
    for (int j = nombre; j < beerCalcGrid->rowCount(); ++j)
        for (int colonne : {0, 1})
            Cellule(*beerCalcGrid, j, colonne, QString());
}

void TBeerForm::MajEcart() {
    LoiLabel->setText(Session.TexteLoi());
    DeterminationLabel->setText(Session.TexteDetermination());
    if (Session.SansDroite())
        EcartLabel->setText(QStringLiteral("Aucun étalon au-dessus des seuils : pas de droite"));
    else
        EcartLabel->setText(Session.EcartTexte);
}
