#include "BoitesScriptees.h"
#include "base/Horloge.h"
#include "base/Utilitaires.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

struct CasFormat {
    double x;
    int precision;
    int largeurExposant;
    char16_t separateur;
    const char* attendu;
};

const CasFormat kCasFormat[] = {
    {0, 7, 2, u'.', "0"},
    {0.1, 7, 2, u',', "0,1"},
    {1234567.8, 7, 2, u'.', "1234568"},
    {12345678, 7, 2, u'.', "1.234568E07"},
    {10000000, 7, 2, u'.', "1E07"},
    {9999999.6, 7, 2, u'.', "1E07"},
    {0.0005, 7, 2, u'.', "0.0005"},
    {0.0001, 7, 2, u'.', "0.0001"},
    {0.00005, 7, 2, u'.', "5E-05"},
    {0.00005, 7, 1, u'.', "5E-5"},
    {0.00005, 7, 3, u'.', "5E-005"},
    {0.000001, 7, 2, u'.', "1E-06"},
    {-2.5, 7, 2, u',', "-2,5"},
    {1500, 7, 2, u'.', "1500"},
    {-0.012345678, 7, 2, u'.', "-0.01234568"},
    {1.5e-100, 7, 2, u'.', "1.5E-100"},
    {1234, 3, 1, u'.', "1.23E3"},
    {999.6, 3, 1, u'.', "1E3"},
    {0.15349, 3, 1, u'.', "0.153"},
    {-0.3, 15, 1, u',', "-0,3"},
    {0.1 + 0.2, 15, 1, u'.', "0.3"},
};

void VerifieFormats() {
    for (const CasFormat& c : kCasFormat)
        EXPECT_EQ(
            FormatGeneral(c.x, c.precision, c.largeurExposant, QChar(c.separateur)).toStdString(),
            c.attendu)
            << c.x << " precision " << c.precision;
}

TEST(FormatGeneral, SuitLaNotationDesDeuxFormats) {
    VerifieFormats();
}

// The C library's numbers as a French desktop sets them (the application object takes the
// user's locale): a comma for the decimal point.
class TLocaleCFrancaise {
public:
    TLocaleCFrancaise() : avant_(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* nom : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"})
            if (!Active && std::setlocale(LC_NUMERIC, nom))
                Active = true;
    }
    ~TLocaleCFrancaise() { std::setlocale(LC_NUMERIC, avant_.c_str()); }
    bool Active = false;

private:
    std::string avant_;
};

TEST(FormatGeneral, LaLocaleDuProcessusNeChangeRien) {
    const TLocaleCFrancaise francaise;
    if (!francaise.Active)
        GTEST_SKIP() << "locale fr_FR absente (paquet locales, locale-gen)";
    VerifieFormats();
    EXPECT_EQ(FloatToStrPoint(12), "12");
    EXPECT_EQ(FloatToStrPoint(-0.002), "-0.002");
}

TEST(FormatGeneral, PointPourLesFichiersSeparateurDuSystemePourLEcran) {
    for (const QChar separateur : {QChar(u'.'), QChar(u',')}) {
        const TRegionalTemporaire regional(separateur);
        EXPECT_EQ(FloatToStrPoint(0.1), "0.1");
        EXPECT_EQ(FloatToStrPoint(1234567.8), "1234568");
        EXPECT_EQ(FloatToStrPoint(12345678), "1.234568E07");
        EXPECT_EQ(FloatToStrPoint(0.0005), "0.0005");
        EXPECT_EQ(FloatToStrPoint(0.000001), "1E-06");
        EXPECT_EQ(FloatToStr3(0), "0");
        EXPECT_EQ(FloatToStr3(1e-12), "1E-12");
        EXPECT_EQ(FloatToStr3(0.00005), "5E-5");
        EXPECT_EQ(FloatToStr3(0.15349), QString("0") + separateur + "153");
        EXPECT_EQ(FloatToStr3(1234), QString("1") + separateur + "23E3");
    }
}

// The texts for files, clipboard and screen, under that locale too.
TEST(FormatGeneral, TextesDesFichiersEtDeLEcranSousLaLocaleFrancaise) {
    const TLocaleCFrancaise francaise;
    if (!francaise.Active)
        GTEST_SKIP() << "locale fr_FR absente (paquet locales, locale-gen)";
    const TRegionalTemporaire regional(u',');
    const QString textes = FloatToStrPoint(0.8) + ' ' + FloatToStrPoint(12) + ' ' +
                           FloatToStrPoint(1.5e-100) + ' ' + FloatToStr3(12) + ' ' +
                           FloatToStr3(0.8);
    EXPECT_EQ(textes.toStdString(), "0.8 12 1.5E-100 12 0,8");
}

TEST(LitReel, AccepteLesNombresBienEcritsSeulement) {
    struct Cas {
        const char* texte;
        char16_t separateur;
        bool lu;
        double valeur;
    };
    const Cas cas[] = {
        {"2.5", u'.', true, 2.5}, {"2,5", u',', true, 2.5}, {"2.5", u',', false, 0},
        {" -3 ", u'.', true, -3}, {"+.5", u'.', true, 0.5}, {"1E-3", u'.', true, 1e-3},
        {"7.", u'.', true, 7},    {"1e5", u',', true, 1e5}, {"", u'.', false, 0},
        {"-", u'.', false, 0},    {"1E", u'.', false, 0},   {"1 000", u'.', false, 0},
        {"abc", u'.', false, 0},  {"1.5x", u'.', false, 0}, {"1e999", u'.', false, 0},
        {"0x10", u'.', false, 0}, {"1,5", u'.', false, 0},  {",5", u',', true, 0.5},
    };
    for (const Cas& c : cas) {
        double valeur = -99;
        EXPECT_EQ(LitReel(QString::fromUtf8(c.texte), QChar(c.separateur), valeur), c.lu)
            << c.texte;
        if (c.lu)
            EXPECT_DOUBLE_EQ(valeur, c.valeur) << c.texte;
        else
            EXPECT_EQ(valeur, -99) << c.texte << " must leave the value alone";
    }
}

TEST(Temps, SecondesEnTempsEtSecondesDepuis) {
    EXPECT_DOUBLE_EQ(SecondesEnTemps(0), 0);
    EXPECT_DOUBLE_EQ(SecondesEnTemps(3661), 3661 / 86400.0);
    EXPECT_DOUBLE_EQ(SecondesEnTemps(86399), 86399 / 86400.0);
    EXPECT_THROW(SecondesEnTemps(86400), std::range_error);
    EXPECT_THROW(SecondesEnTemps(-1), std::range_error);

    THorlogeTest horloge(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 5, 700)));
    InstalleHorloge(&horloge);
    const double depart = SecondesEnTemps(10 * 3600);
    EXPECT_EQ(SecondesDepuis(depart), 5); // milliseconds dropped
    horloge.Avance(3600 * 1000 + 61 * 1000);
    EXPECT_EQ(SecondesDepuis(depart), 3600 + 66);
    InstalleHorloge(nullptr);
}

TEST(Graduation, PuissancesPlancherEtPlafond) {
    EXPECT_DOUBLE_EQ(static_cast<double>(PuissanceDix(-3)), 0.001);
    EXPECT_EQ(PuissanceDix(0), 1.0L);
    EXPECT_EQ(PuissanceDix(7), 1e7L);
    EXPECT_EQ(PuissanceDix(std::numeric_limits<qint32>::min()), 0.0L);
    EXPECT_NEAR(static_cast<double>(LogDecimal(1000)), 3, 1e-15);
    EXPECT_THROW(LogDecimal(0), std::domain_error);
    EXPECT_THROW(LogDecimal(-1), std::domain_error);

    struct Cas {
        long double x;
        qint32 plancher;
        qint32 plafond;
    };
    const Cas cas[] = {{-2.5L, -3, -2}, {2.5L, 2, 3},   {3, 3, 3},   {-3, -3, -3},
                       {0, 0, 0},       {-0.1L, -1, 0}, {0.1L, 0, 1}};
    for (const Cas& c : cas) {
        EXPECT_EQ(Plancher(c.x), c.plancher) << static_cast<double>(c.x);
        EXPECT_EQ(Plafond(c.x), c.plafond) << static_cast<double>(c.x);
    }
    EXPECT_THROW(Plancher(1e12L), std::range_error);
}

TEST(Tableaux, MinMaxEtOrdonne) {
    const double valeurs[] = {2, 5, 1};
    double mini = 0, maxi = 0;
    MinMaxTableau(valeurs, 3, mini, maxi);
    EXPECT_EQ(mini, 1);
    EXPECT_EQ(maxi, 5);
    MinMaxTableau(valeurs, 1, mini, maxi);
    EXPECT_EQ(mini, 2);
    EXPECT_EQ(maxi, 2);

    double a = 4, b = -1;
    Ordonne(a, b);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, 4);
    Ordonne(a, b);
    EXPECT_EQ(a, -1);
}

TEST(Chemins, AjouteSeparateurEtDossierTablarix) {
    EXPECT_EQ(AjouteSeparateur(""), "");
    EXPECT_EQ(AjouteSeparateur("C:\\"), "C:\\");
    EXPECT_EQ(AjouteSeparateur("/tmp/"), "/tmp/");
    EXPECT_EQ(AjouteSeparateur("/tmp/x"), "/tmp/x" + QString(QDir::separator()));

    QTemporaryDir documents;
    CreeDossierTablarix(documents.path());
    EXPECT_TRUE(QFileInfo(documents.filePath("Tablarix")).isDir());
    CreeDossierTablarix(documents.path()); // already there: nothing happens

    QTemporaryDir autres;
    QFile fichier(autres.filePath("Tablarix"));
    ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
    fichier.close();
    const TBoitesScriptees boites;
    CreeDossierTablarix(autres.path());
    EXPECT_TRUE(QFileInfo(autres.filePath("Tablarix")).isFile());
    EXPECT_TRUE(boites.Vues.empty());
}

TEST(Boites, AfficheErreurMontreLaBoiteErreur) {
    const TBoitesScriptees boites;
    AfficheErreur("Problème voie série");
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Titre, "Erreur");
    EXPECT_EQ(boites.Vues[0].Texte, "Problème voie série");
    EXPECT_EQ(boites.Vues[0].Icone, TIconeBoite::Erreur);
    EXPECT_EQ(boites.Vues[0].Boutons, TBoutonsBoite::Ok);

    // Too long, it loses its middle: the end says what went wrong.
    const QString longue =
        QStringLiteral("Impossible : ") + QString(300, u'x') + QStringLiteral(" n'existe pas.");
    AfficheErreur(longue);
    ASSERT_EQ(boites.Vues.size(), 2u);
    const QString vue = boites.Vues[1].Texte;
    EXPECT_EQ(vue.size(), 255);
    EXPECT_TRUE(vue.startsWith("Impossible : x")) << vue.toStdString();
    EXPECT_TRUE(vue.endsWith("x n'existe pas.")) << vue.toStdString();
    EXPECT_TRUE(vue.contains(u'…'));
}

} // namespace
