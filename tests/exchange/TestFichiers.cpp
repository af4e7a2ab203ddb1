#include "BoitesScriptees.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Horloge.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/Transfert.h"
#include "graph/Graphe.h"
#include "shell/Fenetres.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray Lit(const QString& chemin) {
    QFile fichier(chemin);
    return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray("<absent>");
}

// A fixture as this program writes it: with its own executable in place of the example's.
QByteArray FixtureDuProgramme(const char* nom) {
    return Lit(QStringLiteral(JENWAY_FIXTURES "/") + nom)
        .replace("C:\\Jenway\\jenway6500.exe",
                 TexteVersAnsi(QDir::toNativeSeparators(QCoreApplication::applicationFilePath())));
}

class Echange : public ::testing::Test {
protected:
    Echange() {
        InstalleHorloge(&horloge_);
        ConstanteDlg = &dialogue_;
        graphe_.MondeX.Nom = "t";
        graphe_.MondeX.Unite = "s";
        graphe_.MondeY.Nom = "A";
    }
    ~Echange() override {
        ConstanteDlg = nullptr;
        InstalleHorloge(nullptr);
    }
    void AjoutePoint(double x, double y) {
        graphe_.Courbe.X[graphe_.Courbe.NbPoints] = x;
        graphe_.Courbe.Y[graphe_.Courbe.NbPoints] = y;
        ++graphe_.Courbe.NbPoints;
    }
    QString Chemin(const char* nom) const { return dossier_.filePath(QString::fromUtf8(nom)); }

    TRegionalTemporaire virgule_{u','};
    THorlogeTest horloge_{QDateTime(QDate(2026, 12, 7), QTime(0, 22, 31))};
    TBoitesScriptees boites_;
    TConstanteDlg dialogue_;
    Tgraphe graphe_;
    QTemporaryDir dossier_;
};

TEST_F(Echange, FichierCinetiqueAvecLesRenseignementsDeLaPage) {
    dialogue_.NomConstEdit->setText("k");
    dialogue_.UniteConstEdit->setText("s-1");
    dialogue_.SignifConstEdit->setText("constante");
    dialogue_.ValeurConstEdit->setText("0,02");
    dialogue_.EditComm->setText("essai 1");
    dialogue_.OKBtnClick();
    AjoutePoint(0, 0.00005);
    AjoutePoint(2.5, 12345678);
    EXPECT_TRUE(EcritFichierDonnees(Chemin("essai.TB3"), TModeDonnees::Cinetique, graphe_));
    EXPECT_TRUE(EcritFichierDonnees(Chemin("essai.dat"), TModeDonnees::Cinetique, graphe_));
    EXPECT_EQ(Lit(Chemin("essai.TB3")), FixtureDuProgramme("cinetique-parametre.tb3"));
    EXPECT_EQ(Lit(Chemin("essai.dat")), FixtureDuProgramme("cinetique-parametre.txt"));
    EXPECT_TRUE(boites_.Vues.empty());
}

// The message names the file and says why, whole even for paths longer than the message: they
// lose their middle instead.
TEST_F(Echange, SauvegardeImpossibleSansDossier) {
    AjoutePoint(0, 0.1);
    QFile(Chemin("fichier")).open(QIODevice::WriteOnly);
    QDir(dossier_.path()).mkdir("disparu");
    QDir(dossier_.path()).mkdir("dossier");
    QDir(Chemin("disparu")).removeRecursively(); // the folder vanished after it was chosen
    const QString longs = QString(120, u'l') + u'/' + QString(120, u'm');
    QDir(dossier_.path()).mkpath(longs + QStringLiteral("/dossier"));
    const struct {
        QString nom;
        const char* fin;
    } cas[] = {
        {"disparu/essai.tb3", "/disparu n'existe pas."},
        {"fichier/essai.tb3", "/fichier n'existe pas."},
        {"dossier", "/dossier : un dossier porte ce nom."},
        {"disparu/" + longs + "/essai.tb3", "mmm n'existe pas."},
        {longs + "/dossier", "mmm/dossier : un dossier porte ce nom."},
    };
    for (const auto& c : cas) {
        boites_.Vues.clear();
        EXPECT_FALSE(EcritFichierDonnees(dossier_.filePath(c.nom), TModeDonnees::Spectre, graphe_));
        ASSERT_EQ(boites_.Vues.size(), 1u) << c.nom.toStdString();
        const QString texte = boites_.Vues[0].Texte;
        EXPECT_EQ(boites_.Vues[0].Titre, "Erreur");
        EXPECT_EQ(boites_.Vues[0].Icone, TIconeBoite::Erreur);
        EXPECT_LE(texte.size(), 255);
        EXPECT_TRUE(texte.startsWith("Impossible de créer le fichier /")) << texte.toStdString();
        EXPECT_TRUE(texte.endsWith(c.fin)) << texte.toStdString();
        if (c.nom.endsWith("essai.tb3")) {
            EXPECT_TRUE(texte.contains("/essai.tb3 : le dossier /")) << texte.toStdString();
        }
    }
}

// Writing stops midway (a file size limit that binds root too): the older file stays whole and
// no temporary file is left. A small file fails only in the last flush, a large one earlier.
TEST_F(Echange, EcritureInterrompueGardeLAncienFichier) {
    const QString nom = Chemin("essai.txt");
    const struct {
        int points;
        rlim_t limite;
    } cas[] = {{CapaciteCourbe, 4096}, {2, 16}};
    for (const auto& c : cas) {
        {
            QFile ancien(nom);
            ASSERT_TRUE(ancien.open(QIODevice::WriteOnly));
            ancien.write("ancien\r\n");
        }
        graphe_.Courbe.NbPoints = 0;
        for (int i = 0; i < c.points; ++i)
            AjoutePoint(i, 0.123456 + i);
        boites_.Vues.clear();
        rlimit avant{};
        getrlimit(RLIMIT_FSIZE, &avant);
        const auto signalAvant = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = avant;
        limite.rlim_cur = c.limite;
        setrlimit(RLIMIT_FSIZE, &limite);
        const bool ecrit = EcritFichierDonnees(nom, TModeDonnees::Beer, graphe_);
        setrlimit(RLIMIT_FSIZE, &avant);
        std::signal(SIGXFSZ, signalAvant);

        EXPECT_FALSE(ecrit) << c.points;
        EXPECT_EQ(Lit(nom), "ancien\r\n") << c.points;
        EXPECT_EQ(QDir(dossier_.path()).entryList(QDir::Files), QStringList{"essai.txt"});
        ASSERT_EQ(boites_.Vues.size(), 1u) << c.points;
        EXPECT_EQ(boites_.Vues[0].Texte.toStdString(),
                  "Erreur d'écriture : le fichier " + QDir::toNativeSeparators(nom).toStdString() +
                      " n'est pas enregistré. Le fichier précédent est conservé.");
    }
}

TEST_F(Echange, PressePapiersPuisNouvellePage) {
    AjoutePoint(0, 0.1);
    AjoutePoint(2, 0.25);
    TransfertDonnees(TModeDonnees::Cinetique, false, graphe_);
    EXPECT_EQ(TexteVersAnsi(QGuiApplication::clipboard()->text()),
              FixtureDuProgramme("presse-papiers-cinetique.txt"));
    EXPECT_EQ(dialogue_.NewPageCB->ItemIndex(), 1);

    // The lambda byte reaches the clipboard as the character whose Windows-1252 byte it is.
    Tgraphe spectre;
    TransfertDonnees(TModeDonnees::Spectre, false, spectre);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("\u02C6\tA\r\n")));
    EXPECT_TRUE(boites_.Vues.empty());
}

} // namespace
