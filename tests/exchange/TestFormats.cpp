#include "BoitesScriptees.h"
#include "exchange/Csv.h"
#include "exchange/Formats.h"
#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <QFile>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

QByteArray Fixture(const char* nom) {
    QFile fichier(QStringLiteral(JENWAY_FIXTURES "/") + nom);
    EXPECT_TRUE(fichier.open(QIODevice::ReadOnly)) << nom;
    return fichier.readAll();
}

// A mode's graph as the writers read it, with a fixed executable and date.
struct TPage {
    Tmonde MondeX;
    Tmonde MondeY;
    Tcourbe Courbe;
    TRenseignementsPage Renseignements;

    TPage(const char* x, const char* y, std::vector<std::pair<double, double>> points) {
        MondeX.Nom = x;
        MondeY.Nom = y;
        for (const auto& [px, py] : points) {
            Courbe.X[Courbe.NbPoints] = px;
            Courbe.Y[Courbe.NbPoints] = py;
            ++Courbe.NbPoints;
        }
    }
    TDonneesPage Donnees() const {
        return {MondeX,
                MondeY,
                Courbe,
                Renseignements,
                "C:\\Jenway\\jenway6500.exe",
                "07/12/2026 00:22:31"};
    }
};

TPage Cinetique3Points() {
    TPage page("t", "A", {{0, 0.1}, {2, 0.25}, {4, 0.5}});
    page.MondeX.Unite = "s";
    return page;
}

TPage CinetiqueAvecParametre() {
    TPage page("t", "A", {{0, 0.00005}, {2.5, 12345678}});
    page.Renseignements = {"k", "s-1", "constante", "0,02", "essai 1", true};
    return page;
}

TPage Spectre(std::vector<std::pair<double, double>> points) {
    TPage page("\x88", "A", std::move(points));
    page.MondeX.Unite = "nm";
    return page;
}

TPage Beer() {
    TPage page("c", "A", {{0.001, 0.12}, {0.002, 0.25}, {0.0035, 0.4375}});
    page.MondeX.Unite = "mol/L";
    page.MondeX.Signification = "concentration";
    page.MondeY.Signification = "Absorbance";
    return page;
}

QByteArray Fichier(const char* nom, TModeDonnees mode, const TPage& page) {
    return ContenuFichier(QString::fromLatin1(nom), mode, page.Donnees());
}

TEST(Formats, FichiersOctetPourOctetSurUnSystemeAVirgule) {
    const TRegionalTemporaire virgule(u',');
    const TPage spectre = Spectre({{450.5, 0.00005}, {451, -1.2345678e-12}});
    const struct {
        const char* fixture;
        TModeDonnees mode;
        TPage page;
    } cas[] = {
        {"cinetique.tb3", TModeDonnees::Cinetique, Cinetique3Points()},
        {"cinetique.txt", TModeDonnees::Cinetique, Cinetique3Points()},
        {"cinetique-parametre.tb3", TModeDonnees::Cinetique, CinetiqueAvecParametre()},
        {"cinetique-parametre.txt", TModeDonnees::Cinetique, CinetiqueAvecParametre()},
        {"spectre-vide.tb3", TModeDonnees::Spectre, Spectre({})},
        {"spectre.tb3", TModeDonnees::Spectre, spectre},
        {"spectre.txt", TModeDonnees::Spectre, spectre},
        {"beer.tb3", TModeDonnees::Beer, Beer()},
        {"beer.txt", TModeDonnees::Beer, Beer()},
    };
    for (const auto& c : cas)
        EXPECT_EQ(Fichier(c.fixture, c.mode, c.page), Fixture(c.fixture)) << c.fixture;
}

TEST(Formats, ParametreIncompletEtCommentaireVideNAjoutentRien) {
    const TRegionalTemporaire virgule(u',');
    TPage page = CinetiqueAvecParametre();
    page.Renseignements.ConstanteValide = false;
    page.Renseignements.Commentaire.clear();
    const QByteArray tablarix = Fichier("essai.tb3", TModeDonnees::Cinetique, page);
    EXPECT_FALSE(tablarix.contains("CONST"));
    EXPECT_FALSE(tablarix.contains("GRANDEURS"));
    EXPECT_FALSE(Fichier("essai.txt", TModeDonnees::Cinetique, page).contains("CONST"));
}

TEST(Formats, FormatChoisiParLExtension) {
    for (const char* nom : {"essai.TB3", "essai.tb3", "essai.Tb3", "/tmp/a.b/essai.tB3"})
        EXPECT_TRUE(EstFichierTablarix(QString::fromLatin1(nom))) << nom;
    for (const char* nom : {"essai.dat", "essai.txt", "essai", "tb3", "essai.tb3.txt"})
        EXPECT_FALSE(EstFichierTablarix(QString::fromLatin1(nom))) << nom;
}

// The spreadsheet file: UTF-8 after its byte order mark, λ in UTF-8, the comma only where the
// system has it; the separator, the quote and the line break in a typed symbol are quoted.
TEST(Formats, TableurCsvOctetPourOctet) {
    const TPage spectre = Spectre({{450.5, 0.00005}, {451, -1.2345678e-12}, {452, 0.125}});
    TPage beer = Beer();
    beer.MondeX.Nom = "c;\"1\"";
    beer.Courbe.NbPoints = 1;
    const struct {
        QChar separateur;
        const TPage& page;
        QByteArray attendu;
    } cas[] = {
        {u',', spectre,
         "\xEF\xBB\xBF\xCE\xBB (nm);A\r\n450,5;5E-05\r\n451;-1,234568E-12\r\n452;0,125\r\n"},
        {u'.', spectre,
         "\xEF\xBB\xBF\xCE\xBB (nm);A\r\n450.5;5E-05\r\n451;-1.234568E-12\r\n452;0.125\r\n"},
        // Another separator than the comma gives the point.
        {u'\'', spectre,
         "\xEF\xBB\xBF\xCE\xBB (nm);A\r\n450.5;5E-05\r\n451;-1.234568E-12\r\n452;0.125\r\n"},
        {u',', beer, "\xEF\xBB\xBF\"c;\"\"1\"\" (mol/L)\";A\r\n0,001;0,12\r\n"},
        {u',', Cinetique3Points(), "\xEF\xBB\xBFt (s);A\r\n0;0,1\r\n2;0,25\r\n4;0,5\r\n"},
    };
    for (const auto& k : cas) {
        const TRegionalTemporaire regional(k.separateur);
        EXPECT_EQ(ContenuCsv(k.page.Donnees()), k.attendu) << k.attendu.toStdString();
    }
    // Saving under a ".csv" name writes it; the other names keep their formats.
    const TRegionalTemporaire virgule(u',');
    EXPECT_EQ(Fichier("essai.CSV", TModeDonnees::Spectre, spectre), ContenuCsv(spectre.Donnees()));
    EXPECT_EQ(Fichier("essai.csv.txt", TModeDonnees::Spectre, spectre).left(8), "Spectre ");
    EXPECT_EQ(QByteArray(FiltreCsv), "Tableur CSV (*.csv)");
}

TEST(Formats, TextesDuPressePapiers) {
    const TRegionalTemporaire virgule(u',');
    TPage cinetique = Cinetique3Points();
    cinetique.Courbe.NbPoints = 2;
    TPage spectre = Spectre({{450.5, 0.00005}, {451, -1.2345678e-12}});
    spectre.Renseignements.Commentaire = "essai 1";
    TPage beer = Beer();
    // The clipboard carries the parameter on its symbol alone, a value that is no number too.
    beer.Renseignements = {"k", "s-1", "vitesse", "non mesur\xE9", "", false};
    EXPECT_EQ(JoinsLignes(LignesTransfert(TModeDonnees::Cinetique, cinetique.Donnees())),
              Fixture("presse-papiers-cinetique.txt"));
    EXPECT_EQ(JoinsLignes(LignesTransfert(TModeDonnees::Spectre, spectre.Donnees())),
              Fixture("presse-papiers-spectre.txt"));
    EXPECT_EQ(JoinsLignes(LignesTransfert(TModeDonnees::Beer, beer.Donnees())),
              Fixture("presse-papiers-beer.txt"));
}

TEST(Formats, LongueursDesLignesDuPressePapiers) {
    TPage beer("abcdefghijklmnopqrst", "ABCDEFGHIJKLMNOPQRST", {{-1.234568e-100, -7.654321e-100}});
    const QList<QByteArray> lignes = LignesTransfert(TModeDonnees::Beer, beer.Donnees());
    EXPECT_EQ(lignes[3], "abcdefghijklmnopqrst\tABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(lignes[5], "-1.234568E-100\t-7.654321E-100");

    TPage spectre = Spectre({{1, 2}});
    spectre.Courbe.Commentaire = QByteArray(255, 'c');
    const QList<QByteArray> lignesSpectre =
        LignesTransfert(TModeDonnees::Spectre, spectre.Donnees());
    EXPECT_EQ(lignesSpectre[5].size(), 255);
    EXPECT_TRUE(lignesSpectre[5].startsWith("Longueur d'onde\tccc"));
}

} // namespace
