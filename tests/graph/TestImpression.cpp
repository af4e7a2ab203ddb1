#include "BoitesScriptees.h"
#include "CanevasEnregistreur.h"
#include "graph/Graphe.h"
#include "graph/PageImprimee.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// The page contents of a PDF file, its compressed streams inflated.
QByteArray ContenuPdf(const QString& chemin) {
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pdf = fichier.readAll();
    QByteArray contenu;
    qsizetype debut = 0;
    while ((debut = pdf.indexOf("stream\n", debut)) >= 0) {
        debut += 7;
        const qsizetype fin = pdf.indexOf("endstream", debut);
        if (fin < 0)
            break;
        const QByteArray flux = pdf.mid(debut, fin - debut);
        if (!flux.startsWith('\x78')) { // not a zlib stream
            contenu += flux;
            debut = fin;
            continue;
        }
        // qUncompress wants the expected size in front of the zlib data.
        QByteArray entete(4, '\0');
        qToBigEndian<quint32>(64u * 1024 * 1024, entete.data());
        const QByteArray inflate = qUncompress(entete + flux);
        contenu += inflate.isEmpty() ? flux : inflate;
        debut = fin;
    }
    return contenu;
}

class ImpressionTest : public ::testing::Test {
protected:
    ImpressionTest() {
        graphe.Canvas = &ecran;
        graphe.ZoneDessin = {0, 0, 607, 256};
        graphe.FixeMonde(325, 0, 950, 3);
        for (int i = 0; i < 100; ++i) {
            graphe.Courbe.X[i] = 325 + 6 * i;
            graphe.Courbe.Y[i] = 1.5 + (i % 7) * 0.1;
        }
        graphe.Courbe.NbPoints = 100;
    }

    // What a window's print button does, with a page that has no header to tell.
    void Imprime() {
        if (const std::optional<TDestinationImpression> destination = DestinationConfirmee())
            ImprimePage(graphe, {}, *destination);
    }

    TBoitesScriptees boites;
    QTemporaryDir dossier;
    TCanevasEnregistreur ecran;
    Tgraphe graphe;
};

TEST_F(ImpressionTest, AnnulerNeTouchePasAuGraphe) {
    boites.Reponses = {TReponseBoite::Annuler};
    Imprime();
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Texte, "Impression ?");
    EXPECT_EQ(boites.Vues[0].Boutons, TBoutonsBoite::OkAnnuler);
    EXPECT_EQ(boites.DestinationsDemandees, 0);
    EXPECT_EQ(graphe.Canvas, &ecran);
    EXPECT_EQ(graphe.ZoneDessin, (TRectangle{0, 0, 607, 256}));
    EXPECT_TRUE(ecran.Lignes.empty() && ecran.Remplis.empty());

    // OK, then no printer and the PDF file declined: nothing either.
    boites.Reponses = {TReponseBoite::Ok};
    Imprime();
    EXPECT_EQ(boites.DestinationsDemandees, 1);
    EXPECT_EQ(graphe.Canvas, &ecran);
    EXPECT_EQ(graphe.ZoneDessin, (TRectangle{0, 0, 607, 256}));
}

TEST_F(ImpressionTest, LaPageImprimeeEnPaysageMontreLaCourbe) {
    const QString pdf = dossier.filePath("graphe.pdf");
    boites.Reponses = {TReponseBoite::Ok};
    boites.Destinations = {TDestinationImpression{{}, pdf}};
    Imprime();

    EXPECT_EQ(graphe.Canvas, &ecran);
    EXPECT_TRUE(ecran.Lignes.empty());
    // The page keeps its rectangle until the next screen drawing.
    EXPECT_GT(graphe.ZoneDessin.Largeur(), graphe.ZoneDessin.Hauteur());
    EXPECT_GT(graphe.ZoneDessin.Hauteur(), 3000);
    EXPECT_EQ(graphe.HauteurCar, graphe.ZoneDessin.Hauteur() / 30);
    EXPECT_GT(graphe.TailleMarque, 1);

    QFile fichier(pdf);
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fichier.read(5) == "%PDF-");
    const QByteArray contenu = ContenuPdf(pdf);
    // The curve is stroked in pure blue, through all its points.
    const qsizetype bleu = contenu.indexOf("0 0 1 SCN");
    ASSERT_GE(bleu, 0) << contenu.left(2000).toStdString();
    EXPECT_GE(contenu.mid(bleu).count(" l\n"), 99);
    // The grid is dotted as on screen: dots a screen pixel long (1/96 inch at the printer's
    // resolution), twice as far apart, not one printer dot that prints as a solid hairline.
    static const QRegularExpression pointilles(QStringLiteral("\\[([0-9.]+) ([0-9.]+) ?\\]0 +d"));
    const QRegularExpressionMatch motif = pointilles.match(QString::fromLatin1(contenu));
    ASSERT_TRUE(motif.hasMatch());
    const double point = motif.captured(1).toDouble();
    EXPECT_NEAR(point, 1200 / 96.0, 0.1);
    EXPECT_NEAR(motif.captured(2).toDouble(), 2 * point, 0.1);
    EXPECT_TRUE(contenu.contains("0 J")) << "bouts carrés";
}

TEST_F(ImpressionTest, FichierImpossibleAEcrireEstSignale) {
    const QString pdf = dossier.filePath("absent/graphe.pdf");
    boites.Reponses = {TReponseBoite::Ok};
    boites.Destinations = {TDestinationImpression{{}, pdf}};
    Imprime();
    ASSERT_EQ(boites.Vues.size(), 2u);
    EXPECT_EQ(boites.Vues[1].Titre, "Erreur");
    EXPECT_TRUE(boites.Vues[1].Texte.contains(pdf));
    EXPECT_EQ(graphe.Canvas, &ecran);
    EXPECT_EQ(graphe.ZoneDessin, (TRectangle{0, 0, 607, 256}));
}

} // namespace
