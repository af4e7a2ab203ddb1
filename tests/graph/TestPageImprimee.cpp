#include "BoitesScriptees.h"
#include "CanevasEnregistreur.h"
#include "OutilsTests.h"
#include "graph/Graphe.h"
#include "graph/PageImprimee.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDateTime kMoment(QDate(2026, 12, 10), QTime(16, 20, 5));

TEST(PageImprimee, LignesDeLEnteteSelonLeMode) {
    const TRegionalTemporaire virgule(u',');
    const TEntetePage cinetique{.Titre = QStringLiteral("Suivi de cinétique"),
                                .Moment = kMoment,
                                .Lambda = 520.5,
                                .Symbole = QStringLiteral("k"),
                                .Unite = QStringLiteral("s-1"),
                                .Valeur = QStringLiteral("0,02"),
                                .Commentaire = QStringLiteral("essai 1")};
    EXPECT_EQ(LignesEntete(cinetique),
              QStringList({QStringLiteral("Suivi de cinétique — 10/12/2026 16:20:05"),
                           QStringLiteral("λ = 520,5 nm"), QStringLiteral("k = 0,02 s-1"),
                           QStringLiteral("essai 1")}));

    // A value without a symbol: the parameter is not told.
    const TEntetePage spectre{.Titre = QStringLiteral("Tracé de spectre"),
                              .Moment = kMoment,
                              .Balayage = TBalayage{400, 800, 0.2},
                              .Valeur = QStringLiteral("3")};
    EXPECT_EQ(LignesEntete(spectre),
              QStringList({QStringLiteral("Tracé de spectre — 10/12/2026 16:20:05"),
                           QStringLiteral("λ de 400 à 800 nm, pas de 0,2 nm")}));

    const TEntetePage beer{.Titre = QStringLiteral("Loi de Beer-Lambert"),
                           .Moment = kMoment,
                           .Lambda = 520,
                           .Symbole = QStringLiteral("T"),
                           .Valeur = QStringLiteral("25"),
                           .Loi = QStringLiteral("A = 21,43 × c    R² = 0,9977")};
    EXPECT_EQ(LignesEntete(beer),
              QStringList({QStringLiteral("Loi de Beer-Lambert — 10/12/2026 16:20:05"),
                           QStringLiteral("λ = 520 nm"), QStringLiteral("T = 25"),
                           QStringLiteral("A = 21,43 × c    R² = 0,9977")}));
}

TEST(PageImprimee, EnteteEnHautDeLaPageEtGrapheDessous) {
    const TRegionalTemporaire virgule(u',');
    TBoitesScriptees boites;
    QTemporaryDir dossier;
    TCanevasEnregistreur ecran;
    Tgraphe graphe;
    graphe.Canvas = &ecran;
    graphe.MondeX.Nom = "c";
    graphe.MondeX.Unite = "mol/L";
    graphe.MondeY.Nom = "A";
    graphe.FixeMonde(0, 0, 0.05, 1);
    for (const auto& [c, a] : {std::pair{0.01, 0.25}, {0.02, 0.40}, {0.04, 0.85}}) {
        graphe.Courbe.X[graphe.Courbe.NbPoints] = c;
        graphe.Courbe.Y[graphe.Courbe.NbPoints++] = a;
    }
    const TEntetePage entete{.Titre = QStringLiteral("Loi de Beer-Lambert"),
                             .Moment = kMoment,
                             .Lambda = 520,
                             .Symbole = QStringLiteral("T"),
                             .Unite = QStringLiteral("°C"),
                             .Valeur = QStringLiteral("25"),
                             .Commentaire = QStringLiteral("groupe 3, solution de permanganate"),
                             .Loi = QStringLiteral("A = 21,43 × c    R² = 0,9977")};

    const QString pdf = dossier.filePath(QStringLiteral("page.pdf"));
    ASSERT_TRUE(ImprimePage(graphe, entete, {{}, pdf}));
    EXPECT_EQ(graphe.Canvas, &ecran);
    // Landscape, the whole page but the header.
    EXPECT_GT(graphe.ZoneDessin.Largeur(), graphe.ZoneDessin.Hauteur());
    EXPECT_GT(graphe.ZoneDessin.Top, 0);

    const QStringList texte = TexteDuPdf(pdf);
    ASSERT_GE(texte.size(), 6) << texte.join(u'\n').toStdString();
    EXPECT_EQ(texte.mid(0, 5),
              QStringList({QStringLiteral("Loi de Beer-Lambert — 10/12/2026 16:20:05"),
                           QStringLiteral("λ = 520 nm"), QStringLiteral("T = 25 °C"),
                           QStringLiteral("groupe 3, solution de permanganate"),
                           QStringLiteral("A = 21,43 × c R² = 0,9977")}))
        << texte.join(u'\n').toStdString();
    // Then the graph: its vertical axis title and its labels.
    EXPECT_EQ(texte[5], QStringLiteral("A"));
    EXPECT_TRUE(texte.join(u' ').contains(QStringLiteral("c(mol/L)")));

    // A file that cannot be written: the error box, the screen canvas kept.
    EXPECT_FALSE(ImprimePage(graphe, entete, {{}, dossier.filePath(QStringLiteral("x/page.pdf"))}));
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Titre, "Erreur");
    EXPECT_EQ(graphe.Canvas, &ecran);
}

} // namespace
