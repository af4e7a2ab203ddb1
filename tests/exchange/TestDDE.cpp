// The conversation with Tablarix end to end: tablarix-factice runs as a real process, over the
// local-socket transport and a real X clipboard (the program runs under Xvfb).
#include "BoitesScriptees.h"
#include "OutilsTests.h"
#include "TablarixFactice.h"
#include "base/BoitesQt.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Horloge.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/FormDDE.h"
#include "exchange/Transfert.h"
#include "exchange/TransportLocal.h"
#include "graph/Graphe.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

// Each test has its own DDE name space, registry file and journal.
class DDE : public ::testing::Test {
protected:
    DDE() {
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier_.path() + u'/'));
        qputenv("TABLARIX_FACTICE", "--duree 30000 --journal " + QFile::encodeName(Journal()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier_.path());
        ConstanteDlg = &dialogue_;
        InstalleHorloge(&horloge_);
    }
    ~DDE() override {
        InstalleHorloge(nullptr);
        ConstanteDlg = nullptr;
        FormDDE = nullptr;
        ArreteTablarixDemarres(Journal());
        qunsetenv("JENWAY_DDE_ESPACE");
        qunsetenv("TABLARIX_FACTICE");
    }

    QString Journal() const { return dossier_.filePath(QStringLiteral("journal")); }
    TJournalFactice LitJournal() const { return LitJournalFactice(Journal()); }

    // The "Path" value; nothing leaves it absent. Read when the DDE window is created.
    void FixeChemin(const std::optional<QString>& chemin) {
        QSettings registre(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("Tablarix"), QStringLiteral("Tablarix"));
        if (chemin)
            registre.setValue(QStringLiteral("Path"), *chemin);
        else
            registre.remove(QStringLiteral("Path"));
    }
    TFormDDE& CreeFormDDE() {
        formDDE_.emplace();
        FormDDE = &*formDDE_;
        return *formDDE_;
    }
    // Starts tablarix-factice and waits for it to register.
    void LanceFactice(const QStringList& options = {}) {
        ASSERT_TRUE(factice_.Lance(dossier_.path(), options));
    }

    QTemporaryDir dossier_;
    THorlogeTest horloge_{QDateTime(QDate(2026, 12, 7), QTime(0, 22, 31))};
    TBoitesScriptees boites_;
    TConstanteDlg dialogue_;
    std::optional<TFormDDE> formDDE_;
    TTablarixFactice factice_;
};

TEST_F(DDE, NouveauFichierPuisNouvellePageAvecLeTexteDuPressePapiers) {
    LanceFactice();
    CreeFormDDE();
    Tgraphe graphe;
    graphe.MondeX.Nom = "t";
    graphe.MondeX.Unite = "s";
    graphe.MondeY.Nom = "A";
    graphe.Courbe.X[0] = 0;
    graphe.Courbe.Y[0] = 0.1;
    graphe.Courbe.X[1] = 2;
    graphe.Courbe.Y[1] = 0.25;
    graphe.Courbe.NbPoints = 2;
    dialogue_.NomConstEdit->setText(QStringLiteral("\u03bb")); // lambda, byte 0x88 in Tablarix
    dialogue_.UniteConstEdit->setText(QStringLiteral("nm"));
    dialogue_.ValeurConstEdit->setText(QStringLiteral("é"));

    EXPECT_TRUE(TransfertDonnees(TModeDonnees::Cinetique, true, graphe));
    EXPECT_EQ(dialogue_.NewPageCB->ItemIndex(), 1);
    EXPECT_TRUE(TransfertDonnees(TModeDonnees::Cinetique, true, graphe));
    ASSERT_TRUE(Attend([&] { return LitJournal().Macros.size() == 2; }));

    const TJournalFactice journal = LitJournal();
    EXPECT_EQ(journal.Macros[0].Macro, "CLIP|LOAD()");
    EXPECT_EQ(journal.Macros[1].Macro, "CLIP|ADD()");
    QByteArray attendu = Lit(QStringLiteral(JENWAY_FIXTURES "/presse-papiers-cinetique.txt"));
    attendu.replace("C:\\Jenway\\jenway6500.exe", TexteVersAnsi(QDir::toNativeSeparators(
                                                      QCoreApplication::applicationFilePath())));
    attendu += "\r\n\x88\r\nnm\r\n\xE9\r\n";
    EXPECT_EQ(journal.Macros[0].PressePapiers, attendu);
    EXPECT_EQ(journal.Liens, (QList<QByteArray>{"ServeurItem accepte", "ServeurItem accepte"}));
    EXPECT_EQ(journal.Demarrages.size(), 1);
    EXPECT_TRUE(boites_.Vues.empty());
}

TEST_F(DDE, TablarixAbsentEstLanceDepuisLeChemin) {
    const struct {
        const char* retard;
        int demarrages;
        int macros;
    } cas[] = {
        {"0", 1, 1},    // registers at once: the immediate second connection finds it
        {"600", 1, 1},  // registers during the 1000 ms wait
        {"1500", 1, 0}, // too late: the user is told, and no second copy is started
    };
    for (const auto& c : cas) {
        const QTemporaryDir espace;
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(espace.path() + u'/'));
        QFile::remove(Journal());
        qputenv("TABLARIX_FACTICE", QByteArray("--duree 30000 --retard ") + c.retard +
                                        " --journal " + QFile::encodeName(Journal()));
        FixeChemin(CheminTablarixFactice());
        boites_.Vues.clear();
        CreeFormDDE().EnvoiMacro(QStringLiteral("CLIP|LOAD()"));

        ASSERT_TRUE(Attend([&] { return LitJournal().Demarrages.size() == c.demarrages; }))
            << c.retard;
        if (c.macros > 0) {
            ASSERT_TRUE(Attend([&] { return LitJournal().Macros.size() == c.macros; }));
            EXPECT_EQ(LitJournal().Macros[0].Macro, "CLIP|LOAD()");
            EXPECT_TRUE(boites_.Vues.empty()) << c.retard;
        } else {
            ASSERT_EQ(boites_.Vues.size(), 1u);
            EXPECT_EQ(boites_.Vues[0].Texte.section(u'\n', 0, 0), "Impossible de lancer Tablarix");
            EXPECT_TRUE(boites_.Vues[0].Texte.contains("n'a pas répondu"));
            // It registers later, as the only copy.
            QTest::qWait(1000);
            EXPECT_EQ(LitJournal().Demarrages.size(), 1);
            EXPECT_FALSE(LitJournal().ServiceOccupe);
        }
        ArreteTablarixDemarres(Journal());
    }
}

TEST_F(DDE, SansProgrammeImpossibleDeLancerTablarixApresUneSeconde) {
    FixeChemin(dossier_.filePath(QStringLiteral("absent/tablarix.exe")));
    QElapsedTimer chrono;
    chrono.start();
    EXPECT_FALSE(CreeFormDDE().EnvoiMacro(QStringLiteral("CLIP|ADD()")));
    EXPECT_GE(chrono.elapsed(), 1000);
    EXPECT_LT(chrono.elapsed(), 10000); // a hang; a loaded machine is slow
    // The message says what was started and where its path is set.
    ASSERT_EQ(boites_.Vues.size(), 1u);
    const QString texte = boites_.Vues[0].Texte;
    EXPECT_EQ(texte.section(u'\n', 0, 0), "Impossible de lancer Tablarix");
    EXPECT_TRUE(texte.contains(dossier_.filePath(QStringLiteral("absent/tablarix.exe"))))
        << texte.toStdString();
    EXPECT_TRUE(texte.contains("n'a pas pu être démarré")) << texte.toStdString();
    EXPECT_TRUE(texte.contains(QStringLiteral("valeur « Path » dans le fichier ") +
                               dossier_.filePath(QStringLiteral("Tablarix/Tablarix.conf"))))
        << texte.toStdString();
}

// Only the user's key of Tablarix counts: a "Path" elsewhere (the organisation's settings, the
// machine's key) is not taken for it.
TEST_F(DDE, CheminLuSousLaSeuleCleDeTablarix) {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tablarix"))
        .setValue(QStringLiteral("Path"), QStringLiteral("/ailleurs/tablarix"));
    FixeChemin(std::nullopt);
    EXPECT_EQ(CreeFormDDE().CheminTablarix, QStringLiteral("c:\\tabwin\\tablarix.exe"));
    FixeChemin(QStringLiteral("/bonne/cle/tablarix"));
    EXPECT_EQ(CreeFormDDE().CheminTablarix, QStringLiteral("/bonne/cle/tablarix"));
}

TEST_F(DDE, CheminVideLanceLeServiceAvecLeSujet) {
    // A program named TABLARIX found on the PATH records its arguments and becomes the stand-in.
    const QString bin = dossier_.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    QFile script(bin + QStringLiteral("/TABLARIX"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"$@\" > \"" + QFile::encodeName(dossier_.filePath("arguments")) +
                 "\"\nexec \"" + QFile::encodeName(CheminTablarixFactice()) + "\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ':' + path);
    FixeChemin(QString());
    CreeFormDDE().EnvoiMacro(QStringLiteral("CLIP|LOAD()"));
    qputenv("PATH", path);

    ASSERT_TRUE(Attend([&] { return LitJournal().Macros.size() == 1; }));
    EXPECT_EQ(Lit(dossier_.filePath(QStringLiteral("arguments"))), "ServeurDDE\n");
}

TEST_F(DDE, LienEtMacroRefuses) {
    LanceFactice({QStringLiteral("--refuse-lien"), QStringLiteral("--refuse-execution"),
                  QStringLiteral("--journal"), Journal()});
    TFormDDE& dde = CreeFormDDE();
    EXPECT_FALSE(dde.EnvoiMacro(QStringLiteral("CLIP|ADD()")));
    EXPECT_EQ(boites_.Textes(), QStringList{"CLIP|ADD() non exécuté"});
    EXPECT_TRUE(dde.ClientItem.isEmpty());
    dde.EnvoiMacro(QStringLiteral("CLIP|LOAD()"));
    // The refused item is not asked for again.
    EXPECT_EQ(LitJournal().Liens, QList<QByteArray>{"ServeurItem refuse"});
    EXPECT_TRUE(LitJournal().Macros.isEmpty());
}

// The line of an unknown function is shown whole, or, too long for the box, without its middle.
TEST_F(DDE, FonctionInconnueLongueGardeSaFin) {
    const QString ligne = QStringLiteral("AIDE(") + QString(240, u'p') + QStringLiteral("fin)");
    CreeFormDDE().ExecuteMacro({ligne});
    ASSERT_EQ(boites_.Vues.size(), 1u);
    const QString texte = boites_.Vues[0].Texte;
    EXPECT_EQ(texte.size(), 255);
    EXPECT_TRUE(texte.startsWith("Fonction inconnue : AIDE(ppp")) << texte.toStdString();
    EXPECT_TRUE(texte.endsWith("pppfin)")) << texte.toStdString();
}

TEST_F(DDE, MacrosDuServeur) {
    ConstanteDlg = nullptr; // the windows bring their own
    const TFenetres fenetres;
    for (QWidget* fenetre :
         {static_cast<QWidget*>(FormMain), static_cast<QWidget*>(CinetiqueForm),
          static_cast<QWidget*>(TraceSpectre), static_cast<QWidget*>(BeerForm)}) {
        fenetre->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fenetre));
    }
    // The kinetics window's keys go to its hidden edit (the space bar leads the steps): the focus
    // must come back to it, not to the window.
    CinetiqueForm->activateWindow();
    ASSERT_TRUE(Attend([&] { return QApplication::activeWindow() == CinetiqueForm; }));
    CinetiqueForm->EditBidon->setFocus();
    const struct {
        quint8 mode;
        const char* macro;
        QWidget* active;
        QStringList boites;
    } cas[] = {
        {2, "focus()", CinetiqueForm, {}},
        {1, "FOCUS", TraceSpectre, {}},
        {0, "GetData(x)", FormMain, {}},
        {3, "FOCUS", nullptr, {}},
        {3, "PremierPlan()", BeerForm, {}},
        {2, "PREMIERPLAN", CinetiqueForm, {}},
        {2, "CONFIG|LOAD", nullptr, {}},
        {2, "AIDE()", nullptr, {"Fonction inconnue : AIDE()"}},
        {2, "FOCUS\r\nFOCUS", nullptr, {"Un message à la fois SVP"}},
    };
    for (const auto& c : cas) {
        boites_.Vues.clear();
        FormMain->ModeCourant = 0; // the main window sends no focus of its own meanwhile
        // Another window first, so that the focus is seen to move, or not.
        QWidget* autre = c.active == FormMain ? static_cast<QWidget*>(TraceSpectre)
                                              : static_cast<QWidget*>(FormMain);
        autre->activateWindow();
        ASSERT_TRUE(Attend([&] { return QApplication::activeWindow() == autre; }));
        FormMain->ModeCourant = c.mode;
        QProcess client;
        client.start(CheminTablarixFactice(), {QStringLiteral("--envoie"), ServiceDuProgramme(),
                                               QString::fromLatin1(c.macro)});
        ASSERT_TRUE(Attend([&] { return client.state() == QProcess::NotRunning; }));
        EXPECT_EQ(client.exitCode(), 0) << c.macro;
        if (c.active != nullptr) {
            EXPECT_TRUE(Attend([&] { return QApplication::activeWindow() == c.active; }))
                << c.macro;
            EXPECT_NE(QApplication::focusWidget(), c.active) << c.macro;
        } else {
            QTest::qWait(50);
            EXPECT_EQ(QApplication::activeWindow(), autre) << c.macro;
        }
        EXPECT_EQ(boites_.Textes(), c.boites) << c.macro;
    }
    EXPECT_EQ(CinetiqueForm->focusWidget(), CinetiqueForm->EditBidon);
}

// The boxes as the program shows them, modal, each closed by the user after a moment; records
// how many were open at once.
class TBoitesModales final : public TServiceBoites {
public:
    TBoitesModales() : avant_(&Boites()) { InstalleBoites(this); }
    ~TBoitesModales() override { InstalleBoites(avant_); }
    TBoitesModales(const TBoitesModales&) = delete;
    TBoitesModales& operator=(const TBoitesModales&) = delete;

    TReponseBoite Affiche(const TBoite& boite) override {
        Textes << boite.Texte;
        ++Ouvertes;
        OuvertesMaxi = std::max(OuvertesMaxi, Ouvertes);
        QTimer::singleShot(20, [] {
            if (QWidget* modale = QApplication::activeModalWidget())
                modale->close();
        });
        const TReponseBoite reponse = qt_.Affiche(boite);
        --Ouvertes;
        return reponse;
    }
    std::optional<QString> NomSauvegarde(const TDialogueSauvegarde&) override {
        return std::nullopt;
    }
    std::optional<TDestinationImpression> DestinationImpression() override { return std::nullopt; }
    int ExecuteModal(QDialog&) override { return 0; }

    QStringList Textes;
    int Ouvertes = 0;
    int OuvertesMaxi = 0;

private:
    TServiceBoites* avant_;
    TBoitesQt qt_;
};

// A program of the user floods the server with unknown macros. Each error box is modal, and one
// opened inside the other until the stack ran out: one box at a time, the errors that came
// meanwhile counted in the next.
TEST_F(DDE, RafaleDeMacrosInconnuesUneBoiteALaFois) {
    CreeFormDDE();
    TBoitesModales boites;
    constexpr int kMacros = 500;
    QLocalSocket client;
    client.connectToServer(NomLocalDDE(ServiceDuProgramme(), QStringLiteral("ServeurDDE")));
    ASSERT_TRUE(client.waitForConnected(1000));
    QByteArray rafale = TrameLocale('C', TexteVersAnsi(ServiceDuProgramme()) + "\tServeurDDE");
    for (int i = 0; i < kMacros; ++i)
        rafale += TrameLocale('X', "AIDE(" + QByteArray::number(i) + ')');
    client.write(rafale);
    QByteArray reponses;
    ASSERT_TRUE(Attend(
        [&] {
            reponses += client.readAll();
            return reponses.size() >= 2 * (kMacros + 1) && boites.Ouvertes == 0;
        },
        60000));
    QTest::qWait(100);
    EXPECT_EQ(reponses, QByteArray(kMacros + 1, 'A').replace("A", QByteArray("A\0", 2)));
    EXPECT_EQ(boites.OuvertesMaxi, 1);
    ASSERT_FALSE(boites.Textes.isEmpty());
    EXPECT_EQ(boites.Textes.front(), QStringLiteral("Fonction inconnue : AIDE(0)"));
    // Every macro is accounted for, in a box of its own or in a count.
    static const QRegularExpression compte(QStringLiteral("^(\\d+) autres? macros? DDE"));
    int comptees = 0;
    for (const QString& texte : boites.Textes) {
        const QRegularExpressionMatch nombre = compte.match(texte);
        comptees += nombre.hasMatch()
                        ? nombre.captured(1).toInt()
                        : (texte.startsWith(QStringLiteral("Fonction inconnue")) ? 1 : 0);
    }
    EXPECT_EQ(comptees, kMacros) << boites.Textes.join(u'\n').toStdString();
    EXPECT_LT(boites.Textes.size(), 50);
}

} // namespace
