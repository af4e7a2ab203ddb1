#include "BoitesScriptees.h"
#include "VoieSimulee.h"
#include "base/Utilitaires.h"
#include "instrument/FormatNombre.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace {

using Protocole = VoieSimulee;

TEST_F(Protocole, OctetsDesCommandesAvecLesReglagesParDefaut) {
    ASSERT_TRUE(simulateur.Controle("absorbance 0.153"));
    Spectro.EnvoiLambda(500);
    Spectro.EnvoiLambda(95);
    Spectro.LigneDeBase();
    EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.153);
    Spectro.PasL = 1;
    Spectro.LanceSpectre();
    Spectro.PasL = 0;
    Spectro.LanceSpectre();
    Spectro.EnvoiCommande(Spectro.CmdFinRemote);
    const QList<QByteArray> attendues = {"R[13]",     "G500.0[13]", "G 95.0[13]",  "ZA[13]",
                                         "A[13]",     "SMA[13]",    "SB400.0[13]", "SE800.0[13]",
                                         "SI1.0[13]", "SMA[13]",    "SB400.0[13]", "SE800.0[13]",
                                         "SI0.2[13]", "X[13]"};
    EXPECT_EQ(Recues(attendues.size()), attendues);
}

TEST_F(Protocole, ReglagesChangesVirguleEtFinDeMessageLigne) {
    const TRegionalTemporaire virgule(u',');
    Spectro.FinMessage = 10;
    Spectro.CmdLambda = "L";
    Spectro.FormatLambda = "%6.2f";
    Spectro.PasL = 7; // from an edited INI file: the nearest step is sent
    Spectro.DebutL = 350;
    Spectro.EnvoiLambda(500);
    Spectro.LanceSpectre();
    // The reply still ends at CR only.
    ASSERT_TRUE(simulateur.Controle("absorbance 0.153"));
    ASSERT_TRUE(simulateur.Controle("panne virgule"));
    EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.153);
    const QList<QByteArray> attendues = {"R[13]",        "L500,00[10]", "SMA[10]", "SB350,00[10]",
                                         "SE800,00[10]", "SI5.0[10]",   "A[10]"};
    EXPECT_EQ(Recues(attendues.size()), attendues);
}

// The instrument's numbers are read with a point or a comma, whatever the system's separator:
// one separator in a number leaves no doubt. When the instrument's is not the one the commands
// carry, the user is told once, after the reading, what it means and what to change.
TEST_F(Protocole, ReponsesAuPointOuALaVirguleSurLesDeuxSystemes) {
    ASSERT_TRUE(simulateur.Controle("absorbance 0.153"));
    for (const QChar systeme : {QChar(u'.'), QChar(u',')}) {
        SCOPED_TRACE(systeme.toLatin1());
        Spectro = TspectroJenway{};
        Spectro.Voie = &voie;
        TBoitesScriptees boites;
        const TRegionalTemporaire regional(systeme);
        for (const char* panne : {"panne aucune", "panne virgule", "panne aucune"}) {
            ASSERT_TRUE(simulateur.Controle(panne));
            EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.153) << panne;
        }
        QCoreApplication::processEvents();
        ASSERT_EQ(boites.Vues.size(), 1u); // once, not at each reading
        const TBoite& avis = boites.Vues[0];
        EXPECT_EQ(avis.Icone, TIconeBoite::Information);
        const bool francais = systeme == u',';
        EXPECT_TRUE(avis.Texte.startsWith(
            QStringLiteral("L'appareil écrit ses nombres avec %1 comme séparateur décimal (%2)")
                .arg(francais ? "un point" : "une virgule", francais ? "0.153" : "0,153")))
            << avis.Texte.toStdString();
        EXPECT_TRUE(avis.Texte.contains(francais ? "(G500,0)" : "(G500.0)"));
        EXPECT_TRUE(avis.Texte.contains("réglez le séparateur décimal de l'appareil"));
        EXPECT_TRUE(avis.Texte.contains("paramètres régionaux du système"));
    }
}

struct TCasReponse {
    const char* panne;
    double attendu;
    bool apresDelai; // the reading waits out the whole time-out
};

// A reply cut short ("0.1" of "0.153", then nothing until the time-out) is no reading.
TEST_F(Protocole, FormesDeLaReponse) {
    ASSERT_TRUE(simulateur.Controle("absorbance 0.153"));
    const TCasReponse cas[] = {
        {"aucune", 0.153, false},    {"virgule", 0.153, false},     {"saut-de-ligne", 0.153, false},
        {"longue", 0.153, false},    {"charabia", Indefini, false}, {"partielle", Indefini, true},
        {"silence", Indefini, true},
    };
    for (const TCasReponse& c : cas) {
        SCOPED_TRACE(c.panne);
        ASSERT_TRUE(simulateur.Controle(QByteArray("panne ") + c.panne));
        // A reply that ends with its line is read long before a time-out of 11 s; the others
        // wait out TimeOut 9 ticks, more than 9 ticks of 55 ms. The upper bounds only catch a
        // hang: a loaded machine is slow.
        Spectro.TimeOut = c.apresDelai ? 9 : 200;
        QElapsedTimer chrono;
        chrono.start();
        EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), c.attendu);
        if (c.apresDelai) {
            EXPECT_GE(chrono.elapsed(), 490);
        }
        EXPECT_LT(chrono.elapsed(), 5000);
    }
    Spectro.TimeOut = 9;
}

TEST_F(Protocole, ReponseTropLongueCoupeeA255Caracteres) {
    ASSERT_TRUE(simulateur.Controle("absorbance 0.153"));
    ASSERT_TRUE(simulateur.Controle("panne longue"));
    const TChaine255 reponse = Spectro.Interroge(Spectro.CmdDemandeAbs);
    EXPECT_EQ(reponse.Octets(), QByteArray("0.153").leftJustified(255, '0'));
}

// Characters that come after the time-out wait for the next purge: DemandeAbs and LigneDeBase
// purge, the other operations leave them.
TEST_F(Protocole, SeulsDemandeAbsEtLigneDeBaseVidentLesCaracteresEnRetard) {
    ASSERT_TRUE(simulateur.Controle("absorbance 0.2"));
    ASSERT_TRUE(simulateur.Controle("panne lente"));
    EXPECT_EQ(Spectro.DemandeAbs(), Indefini);
    Attend([this] { return voie.EnAttente() >= 6; }, 2000);
    ASSERT_EQ(voie.EnAttente(), 6); // "0.200" and CR, late
    Spectro.EnvoiLambda(600);
    Spectro.EnvoiCommande("SMA");
    EXPECT_EQ(voie.EnAttente(), 6);
    Spectro.LigneDeBase();
    EXPECT_FALSE(voie.CharAvailable());

    ASSERT_TRUE(simulateur.Controle("panne aucune"));
    ASSERT_TRUE(simulateur.Controle("panne lente"));
    EXPECT_EQ(Spectro.DemandeAbs(), Indefini);
    QThread::msleep(1100);
    ASSERT_TRUE(simulateur.Controle("panne aucune"));
    EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.2); // the late reply was dropped first
}

// The reply goes to Interroge only; the window's handler is put back afterwards, also when the
// port error ends the reading.
TEST_F(Protocole, LeGestionnaireDeReceptionEstSuspenduPendantLaLecture) {
    ASSERT_TRUE(simulateur.Controle("absorbance 0.5"));
    int appels = 0;
    voie.SetOnTriggerAvail([&appels](TApdComPort& port, quint16 nombre) {
        ++appels;
        for (quint16 i = 0; i < nombre; ++i)
            port.ReadChar();
    });
    int curseurs = 0;
    QObject::connect(&voie, &TApdComPort::Sablier,
                     [&curseurs](bool enCours) { curseurs += enCours ? 1 : -1; });
    EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.5);
    QCoreApplication::processEvents();
    EXPECT_EQ(appels, 0);
    EXPECT_TRUE(voie.OnTriggerAvail());
    EXPECT_EQ(curseurs, 0);

    voie.SetOpen(false);
    EXPECT_THROW(Spectro.DemandeAbs(), ECommNotOpen);
    EXPECT_TRUE(voie.OnTriggerAvail());
    EXPECT_EQ(curseurs, 0);
    EXPECT_FALSE(Spectro.LectureEnCours);
    EXPECT_THROW(Spectro.Interroge("A"), ECommNotOpen);
    EXPECT_TRUE(voie.OnTriggerAvail());
}

// A timer firing during the wait asks for a second reading: it gets Indefini at once and the
// first one still reads its reply.
TEST_F(Protocole, UneLectureDemandeePendantUneAutreEstRefusee) {
    ASSERT_TRUE(simulateur.Controle("absorbance 0.7"));
    ASSERT_TRUE(simulateur.Controle("panne lente"));
    double seconde = 0;
    QTimer::singleShot(100, [&seconde] { seconde = Spectro.DemandeAbs(); });
    Spectro.TimeOut = 40; // 2.2 s: the slow reply comes after 1 s
    EXPECT_DOUBLE_EQ(Spectro.DemandeAbs(), 0.7);
    EXPECT_EQ(seconde, Indefini);
}

TEST_F(Protocole, LaNotificationDeReceptionLivreUnBalayage) {
    Spectro.PasL = 2;
    Spectro.LanceSpectre();
    voie.PurgeInput();
    QByteArray recu;
    voie.SetOnTriggerAvail([&recu](TApdComPort& port, quint16 nombre) {
        for (quint16 i = 0; i < nombre; ++i)
            recu += static_cast<char>(port.ReadChar());
    });
    Spectro.EnvoiCommande(Spectro.CmdSpectre);
    Attend([&recu] { return recu.count('\r') >= 81; }, 3000);
    const QList<QByteArray> lignes = recu.split('\r');
    ASSERT_EQ(lignes.size(), 82);
    EXPECT_TRUE(lignes.first().startsWith("400.0,"));
    EXPECT_TRUE(lignes[80].startsWith("800.0,"));
}

// Without a handler the queue fills to its size and the rest waits in the system; the handler
// installed later gets every line.
TEST_F(Protocole, UnLongBalayageAttendDansLaFileSansRienPerdre) {
    Spectro.LanceSpectre(); // PasL 0: 2001 lines from 400.0 to 800.0
    voie.PurgeInput();
    Spectro.EnvoiCommande(Spectro.CmdSpectre);
    Attend([this] { return voie.EnAttente() >= TApdComPort::InSize; }, 5000);
    EXPECT_EQ(voie.EnAttente(), TApdComPort::InSize);
    QByteArray recu;
    voie.SetOnTriggerAvail([&recu](TApdComPort& port, quint16 nombre) {
        for (quint16 i = 0; i < nombre; ++i)
            recu += static_cast<char>(port.ReadChar());
    });
    Attend([&recu] { return recu.count('\r') >= 2001; }, 5000);
    const QList<QByteArray> lignes = recu.split('\r');
    ASSERT_EQ(lignes.size(), 2002);
    for (int i = 0; i < 2001; ++i)
        ASSERT_TRUE(lignes[i].startsWith(QByteArray::number(400 + i * 0.2, 'f', 1) + ',')) << i;
}

TEST(FormateNombre, FormatsDeLongueurDOnde) {
    struct {
        QByteArray format;
        double x;
        QChar separateur;
        QByteArray attendu;
    } const cas[] = {
        {"%5.1f", 500, u'.', "500.0"},    {"%5.1f", 95, u'.', " 95.0"},
        {"%5.1f", 500, u',', "500,0"},    {"%.0f", 499.6, u'.', "500"},
        {"%-7.2f|", 5, u'.', "5.00   |"}, {"%%%4.1f", 5, u'.', "% 5.0"},
        {"%s", 500, u'.', "500.0"},       {"%5.1f%n", 500, u'.', "500.0"},
        {"", 95, u'.', " 95.0"},
    };
    for (const auto& c : cas) {
        const TRegionalTemporaire regional(c.separateur);
        EXPECT_EQ(FormateNombre(c.format, c.x), c.attendu) << c.format.constData();
    }
}

} // namespace
