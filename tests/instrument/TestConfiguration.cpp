#include "BoitesScriptees.h"
#include "instrument/FichierIni.h"
#include "instrument/SpectroJenway.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>

namespace {

class Configuration : public ::testing::Test {
protected:
    void SetUp() override { Spectro = TspectroJenway{}; }
    void TearDown() override { Spectro = TspectroJenway{}; }

    QString Chemin() const { return dossier_.filePath("jenway6500.INI"); }

    void Ecrit(const QByteArray& contenu) const {
        QFile f(Chemin());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenu);
    }

    QByteArray Lit() const {
        QFile f(Chemin());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dossier_;
};

const QByteArray kDefauts = "[Spectro]\r\n"
                            "MiniA=-0.3\r\nMaxiA=3\r\nMiniL=325\r\nMaxiL=950\r\nDebutL=400\r\n"
                            "FinL=800\r\nPasL=0\r\nCom=1\r\nBaud=1200\r\nDataBits=7\r\nParity=1\r\n"
                            "StopBits=1\r\nTracing=0\r\nRTS=1\r\nXonXoff=0\r\nAckCommande=6\r\n"
                            "FinMessage=13\r\nTimeOut=9\r\n";

TEST_F(Configuration, PremierLancementSansFichierPuisSortieEcritToutesLesCles) {
    ChargeConfiguration(Chemin());
    EXPECT_EQ(Spectro.Com, 1);
    EXPECT_EQ(Spectro.Baud, 1200);
    EXPECT_EQ(Spectro.DataBits, 7);
    EXPECT_EQ(Spectro.Parity, TParite::Impaire);
    EXPECT_EQ(Spectro.StopBits, 1);
    EXPECT_TRUE(Spectro.RTS);
    SauveConfiguration(Chemin());
    EXPECT_EQ(Lit(), kDefauts);

    ChargeConfiguration(Chemin()); // and it reads back to the same file
    SauveConfiguration(Chemin());
    EXPECT_EQ(Lit(), kDefauts);
}

TEST_F(Configuration, ValeursHexadecimalesEtRetreciesGardentLesBitsDeFaible) {
    Ecrit("[spectro]\nBaud=0x2580\nCom=0x10002\nParity=258\nTimeOut=65545\n"
          "FinMessage=0x10A\nAckCommande=-1\nRTS=7\nXonXoff=0x0\nMiniL=  330 \n");
    ChargeConfiguration(Chemin());
    EXPECT_EQ(Spectro.Baud, 9600);
    EXPECT_EQ(Spectro.Com, 2);
    EXPECT_EQ(Spectro.Parity, TParite::Paire);
    EXPECT_EQ(Spectro.TimeOut, 9);
    EXPECT_EQ(Spectro.FinMessage, 10);
    EXPECT_EQ(Spectro.AckCommande, 255);
    EXPECT_TRUE(Spectro.RTS);
    EXPECT_FALSE(Spectro.XonXoff);
    EXPECT_EQ(Spectro.MiniL, 330);
}

TEST_F(Configuration, ValeursIllisiblesDonnentLeDefaut) {
    Ecrit("[Spectro]\r\nTracing=oui\r\nBaud=abc\r\nRTS=\r\nMiniL=3.5\r\nMaxiA=2.5\r\n"
          "MiniA=-0,5\r\n");
    {
        const TRegionalTemporaire virgule(u',');
        ChargeConfiguration(Chemin());
    }
    EXPECT_FALSE(Spectro.Tracing);
    EXPECT_EQ(Spectro.Baud, 1200);
    EXPECT_TRUE(Spectro.RTS);
    EXPECT_EQ(Spectro.MiniL, 325);
    EXPECT_EQ(Spectro.MaxiA, 3); // a point on a comma system
    EXPECT_EQ(Spectro.MiniA, -0.5);

    ChargeConfiguration(Chemin()); // point system: now MaxiA reads, MiniA does not
    EXPECT_EQ(Spectro.MaxiA, 2.5);
    EXPECT_EQ(Spectro.MiniA, -0.3);
}

TEST_F(Configuration, LesReelsSEcriventAvecLeSeparateurDuSysteme) {
    const TRegionalTemporaire virgule(u',');
    Spectro.MaxiA = 2.123456789012345678;
    SauveConfiguration(Chemin());
    EXPECT_TRUE(Lit().contains("MiniA=-0,3\r\nMaxiA=2,12345678901235\r\n"));
    ChargeConfiguration(Chemin());
    EXPECT_DOUBLE_EQ(Spectro.MaxiA, 2.12345678901235);
}

TEST_F(Configuration, AncienneCleFinDeChaineEncoreLue) {
    Ecrit("[Spectro]\r\nFinDeChaine=10\r\n");
    ChargeConfiguration(Chemin());
    EXPECT_EQ(Spectro.FinMessage, 10);

    Ecrit("[Spectro]\r\nFinDeChaine=10\r\nFinMessage=3\r\n");
    ChargeConfiguration(Chemin());
    EXPECT_EQ(Spectro.FinMessage, 3);
    SauveConfiguration(Chemin());
    EXPECT_TRUE(Lit().contains("FinMessage=3\r\n"));
}

TEST_F(Configuration, UnAppareilRenommeEcritSaSectionSansToucherSpectro) {
    const QByteArray avant = "; Jenway\r\n[Spectro]\r\nBaud=9600\r\nCom=2\r\n";
    Ecrit(avant);
    ChargeConfiguration(Chemin());
    Spectro.NomAppareil = "Jenway";
    Spectro.Baud = 4800;
    SauveConfiguration(Chemin());
    const QByteArray apres = Lit();
    EXPECT_TRUE(apres.startsWith(avant)) << apres.constData();
    EXPECT_TRUE(apres.contains("[Jenway]\r\nMiniA=-0.3\r\n"));
    EXPECT_TRUE(apres.contains("Baud=4800\r\n"));

    ChargeConfiguration(Chemin()); // the next start reads "Spectro" again
    EXPECT_EQ(Spectro.NomAppareil, TChaine80("Spectro"));
    EXPECT_EQ(Spectro.Baud, 9600);
}

TEST_F(Configuration, FichierImpossibleAEcrireLeDitEtContinue) {
    {
        QFile fichier(dossier_.filePath("fichier"));
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly)); // a file where the folder should be
    }
    ASSERT_TRUE(QDir(dossier_.path()).mkdir("dossier.INI"));
    const QString nomLong = QString(260, u'n') + ".INI";
    const struct {
        QString chemin;
        QString raison;
    } cas[] = {
        {dossier_.filePath("fichier/jenway6500.INI"), ""},
        {dossier_.filePath("dossier.INI"), " : un dossier porte ce nom"},
        {dossier_.filePath(nomLong), " : nom de fichier trop long (plus de 255 caractères)"}};
    for (const auto& c : cas) {
        const TBoitesScriptees boites;
        SauveConfiguration(c.chemin);
        ASSERT_EQ(boites.Vues.size(), 1u) << c.chemin.toStdString();
        // The error box shortens a long message in its middle; the reason stays whole.
        const QString texte = boites.Vues[0].Texte;
        EXPECT_TRUE(texte.startsWith("Impossible d'écrire dans " + c.chemin.left(40)) &&
                    texte.endsWith(c.chemin.right(20) + c.raison))
            << texte.toStdString();
        EXPECT_EQ(boites.Vues[0].Titre, "Erreur");
    }
}

// The user's configuration folder is made the first time the settings go there.
TEST_F(Configuration, DossierAbsentCree) {
    const QString chemin = dossier_.filePath("config/jenway6500/jenway6500.INI");
    const TBoitesScriptees boites;
    SauveConfiguration(chemin);
    EXPECT_TRUE(boites.Vues.empty());
    QFile fichier(chemin);
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_EQ(fichier.readAll(), kDefauts);
}

// A program in a folder whose path is as long as the old cut, or longer: its settings go next to
// it under their whole name, the program itself untouched.
TEST_F(Configuration, CheminLongJamaisCoupe) {
    const QByteArray programme = "\x7f"
                                 "ELF le programme";
    for (const int longueur : {250, 254, 255, 256, 259, 300, 1000}) {
        // Folders of at most 200 characters up to an executable path of `longueur` characters.
        QString dossier = dossier_.filePath(QString::number(longueur));
        const QString nom = QStringLiteral("/jenway6500");
        while (dossier.size() + nom.size() < longueur) {
            const qsizetype reste = longueur - nom.size() - dossier.size() - 1;
            dossier += u'/' + QString(std::clamp<qsizetype>(reste, 1, 200), u'd');
        }
        ASSERT_TRUE(QDir().mkpath(dossier));
        const QString executable = dossier + nom;
        ASSERT_EQ(executable.size(), longueur);
        {
            QFile f(executable);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(programme);
        }
        const TEmplacementIni ini = EmplacementIni(executable, dossier_.filePath("config"));
        EXPECT_EQ(ini.Lecture, executable + ".INI");
        EXPECT_EQ(ini.Ecriture, executable + ".INI");

        const TBoitesScriptees boites;
        Spectro.Baud = 9600;
        SauveConfiguration(ini.Ecriture);
        EXPECT_TRUE(boites.Vues.empty()) << longueur;
        QFile f(executable);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), programme) << longueur;
        Spectro = TspectroJenway{};
        ChargeConfiguration(ini.Lecture);
        EXPECT_EQ(Spectro.Baud, 9600) << longueur;
        EXPECT_EQ(QDir(dossier).entryList(QDir::Files),
                  QStringList({"jenway6500", "jenway6500.INI"}));
    }
}

// A settings file that is a link: read through it, but the link itself is replaced at exit, so
// the file it named (the program, another user's file) is never rewritten.
TEST_F(Configuration, LienSymboliqueRemplaceSaCibleIntacte) {
    const QByteArray cible = "[Spectro]\r\nBaud=9600\r\n; le fichier d'un autre\r\n";
    const struct {
        const char* nom;
        QString vers;
        int baudLu;
    } cas[] = {{"vers un fichier", dossier_.filePath("cible"), 9600},
               {"vers rien", dossier_.filePath("absent/cible"), 1200},
               {"vers un périphérique", QStringLiteral("/dev/zero"), 1200}};
    {
        QFile f(dossier_.filePath("cible"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cible);
    }
    for (const auto& c : cas) {
        QFile::remove(Chemin());
        ASSERT_TRUE(QFile::link(c.vers, Chemin())) << c.nom;
        Spectro = TspectroJenway{};
        ChargeConfiguration(Chemin());
        EXPECT_EQ(Spectro.Baud, c.baudLu) << c.nom;

        const TBoitesScriptees boites;
        Spectro.Com = 3;
        SauveConfiguration(Chemin());
        EXPECT_TRUE(boites.Vues.empty()) << c.nom;
        EXPECT_FALSE(QFileInfo(Chemin()).isSymLink()) << c.nom;
        EXPECT_TRUE(Lit().contains("Com=3\r\n")) << c.nom;
        QFile f(dossier_.filePath("cible"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), cible) << c.nom;
        EXPECT_FALSE(QFileInfo::exists(dossier_.filePath("absent"))) << c.nom;
    }
}

// Where the place next to the program cannot take the settings, they go to the user's folder:
// the first start reads the file next to the program as its starting values, the following ones
// read the user's own. A name too long for any folder is told at exit.
TEST_F(Configuration, PlaceInutilisableReglagesDansLeDossierDeLUtilisateur) {
    const QString utilisateur = dossier_.filePath("config/jenway6500");
    const QString executable = dossier_.filePath("bin/jenway6500");
    ASSERT_TRUE(QDir(dossier_.path()).mkpath("bin/jenway6500.INI")); // a folder in the way
    const QString personnel = utilisateur + "/jenway6500.INI";

    const TEmplacementIni premier = EmplacementIni(executable, utilisateur);
    EXPECT_EQ(premier.Lecture.toStdString(), (executable + ".INI").toStdString());
    EXPECT_EQ(premier.Ecriture.toStdString(), personnel.toStdString());
    const TBoitesScriptees boites;
    Spectro.Baud = 9600;
    SauveConfiguration(premier.Ecriture);
    EXPECT_TRUE(boites.Vues.empty());

    const TEmplacementIni suivant = EmplacementIni(executable, utilisateur);
    EXPECT_EQ(suivant.Lecture.toStdString(), personnel.toStdString());
    EXPECT_EQ(suivant.Ecriture.toStdString(), personnel.toStdString());
    Spectro = TspectroJenway{};
    ChargeConfiguration(suivant.Lecture);
    EXPECT_EQ(Spectro.Baud, 9600);

    const QString nomLong = dossier_.filePath(QString(252, u'j')); // its INI name: 256 characters
    const TEmplacementIni long_ = EmplacementIni(nomLong, utilisateur);
    EXPECT_EQ(long_.Ecriture.toStdString(),
              (utilisateur + u'/' + QString(252, u'j') + ".INI").toStdString());
    SauveConfiguration(long_.Ecriture);
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_TRUE(
        boites.Vues[0].Texte.endsWith(" : nom de fichier trop long (plus de 255 caractères)"));
}

bool ReglagesParDefaut(const TspectroJenway& s) {
    const TspectroJenway d;
    return s.MiniA == d.MiniA && s.MaxiA == d.MaxiA && s.MiniL == d.MiniL && s.MaxiL == d.MaxiL &&
           s.DebutL == d.DebutL && s.FinL == d.FinL && s.PasL == d.PasL && s.Com == d.Com &&
           s.Baud == d.Baud && s.DataBits == d.DataBits && s.Parity == d.Parity &&
           s.StopBits == d.StopBits && s.Tracing == d.Tracing && s.RTS == d.RTS &&
           s.XonXoff == d.XonXoff && s.AckCommande == d.AckCommande &&
           s.FinMessage == d.FinMessage && s.TimeOut == d.TimeOut;
}

// Whatever the file holds, the program starts with the defaults and says nothing.
TEST_F(Configuration, FichierDefectueuxDonneLesDefautsSansMessage) {
    const QByteArray clesMalformees =
        "[Spectro]\r\nMiniA=1..2\r\nMaxiA=3e\r\nMiniL=0x\r\nMaxiL= 9 5\r\nDebutL=4e2\r\n"
        "FinL=99999999999\r\nPasL=--1\r\nCom=\r\nBaud=12OO\r\nDataBits=0x1G\r\n"
        "Parity=un\r\nStopBits=1,\r\nTracing=vrai\r\nRTS=non\r\nXonXoff=+-0\r\n"
        "AckCommande=\x06\r\nFinMessage=CR\r\nTimeOut=0x100000000\r\n";
    QByteArray binaire;
    for (int i = 0; i < 4096; ++i)
        binaire += char((i * 131 + 7) % 256);
    // Sections and key lines by the hundred thousand, none of them ours, and one line of 16 MiB.
    QByteArray enorme = QByteArray("[Autre]\r\nMiniA=1\r\n").repeated(400000);
    enorme += "[Spectro]\r\nMiniA=" + QByteArray(16 << 20, '7') + "\r\n";
    const struct {
        const char* nom;
        QByteArray contenu;
    } cas[] = {{"clés malformées", clesMalformees},
               {"binaire", binaire},
               {"binaire dans la section", "[Spectro]\r\n" + binaire},
               {"énorme", enorme}};
    for (const auto& c : cas) {
        Spectro = TspectroJenway{};
        Spectro.Baud = 9600; // shows that the file was read over it
        Ecrit(c.contenu);
        const TBoitesScriptees boites;
        ChargeConfiguration(Chemin());
        EXPECT_TRUE(ReglagesParDefaut(Spectro)) << c.nom;
        EXPECT_TRUE(boites.Vues.empty()) << c.nom;
    }
}

TEST_F(Configuration, FichierIllisibleDonneLesDefautsSansMessage) {
    ASSERT_TRUE(QDir(dossier_.path()).mkdir("jenway6500.INI")); // a folder of that name
    const TBoitesScriptees boites;
    Spectro.Baud = 9600;
    ChargeConfiguration(Chemin());
    EXPECT_TRUE(ReglagesParDefaut(Spectro));
    EXPECT_TRUE(boites.Vues.empty());
}

// The disk fills while the settings are written at exit (a file size limit, which binds root
// too): the previous file stays whole and the failure is told.
TEST_F(Configuration, DisquePleinALaSortieGardeLAncienFichier) {
    const QByteArray avant = "[Spectro]\r\nBaud=9600\r\n";
    Ecrit(avant);
    ChargeConfiguration(Chemin());
    const TBoitesScriptees boites;
    rlimit limite{};
    getrlimit(RLIMIT_FSIZE, &limite);
    const rlimit ancienneLimite = limite;
    const auto signalAvant = std::signal(SIGXFSZ, SIG_IGN);
    limite.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &limite);
    SauveConfiguration(Chemin());
    setrlimit(RLIMIT_FSIZE, &ancienneLimite);
    std::signal(SIGXFSZ, signalAvant);

    EXPECT_EQ(Lit(), avant);
    EXPECT_EQ(QDir(dossier_.path()).entryList(QDir::Files), QStringList{"jenway6500.INI"});
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Texte, "Impossible d'écrire dans " + Chemin());
}

TEST(FichierIni, NomAppareilTropLongCoupeA80) {
    TspectroJenway spectro;
    spectro.NomAppareil = TChaine80::DepuisTexte(QString(100, u'x'));
    EXPECT_EQ(spectro.NomAppareil.Longueur(), 80);
}

} // namespace
