#include "BoitesScriptees.h"
#include "instrument/FichierIni.h"
#include "instrument/SpectroJenway.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    const TBoitesScriptees boites;
    const QString chemin = dossier_.filePath("absent/jenway6500.INI");
    SauveConfiguration(chemin);
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Texte, "Impossible d'écrire dans " + chemin);
    EXPECT_EQ(boites.Vues[0].Titre, "Erreur");
}

TEST(FichierIni, NomAppareilTropLongCoupeA80) {
    TspectroJenway spectro;
    spectro.NomAppareil = TChaine80::DepuisTexte(QString(100, u'x'));
    EXPECT_EQ(spectro.NomAppareil.Longueur(), 80);
}

} // namespace
