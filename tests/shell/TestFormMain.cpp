#include "BoitesScriptees.h"
#include "SimulateurLance.h"
#include "base/BoitesQt.h"
#include "base/Controles.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "instrument/ApdComPort.h"
#include "instrument/ConfigSpectroDlg.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/beer/ModeBeerDlg.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/AboutBox.h"
#include "shell/ComCfgDlg.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kPortsSondes = 50;

// The windows of the program over a machine whose ports are all absent but those a test
// starts a simulator on, in a temporary current folder; the trace files go to the data folder.
class FenetrePrincipale : public ::testing::Test {
protected:
    void SetUp() override {
        Spectro = TspectroJenway{};
        for (int n = 1; n <= kPortsSondes; ++n)
            qputenv("JENWAY_COM" + QByteArray::number(n), dossier_.filePath("absent").toUtf8());
        avant_ = QDir::currentPath();
        QDir::setCurrent(dossier_.path());
        EffaceTrace();
    }
    void TearDown() override {
        fenetres_.reset();
        QDir::setCurrent(avant_);
        EffaceTrace();
        for (int n = 1; n <= kPortsSondes; ++n)
            qunsetenv("JENWAY_COM" + QByteArray::number(n));
        Spectro = TspectroJenway{};
    }

    static void EffaceTrace() {
        QFile::remove(CheminEnregistrement("jenway6500.TRC"));
        QFile::remove(CheminEnregistrement("jenway6500.LOG"));
    }

    void CreeFenetres() {
        fenetres_ = std::make_unique<TFenetres>();
        FormMain->show();
    }

    QList<QPushButton*> BoutonsVisibles() const {
        QList<QPushButton*> visibles;
        for (QPushButton* b :
             {FormMain->CinetiqueBtn, FormMain->SpectreMinMaxBtn, FormMain->BeerBtn})
            if (b->isVisible())
                visibles << b;
        return visibles;
    }

    QTemporaryDir dossier_;
    QString avant_;
    TBoitesScriptees boites_;
    std::unique_ptr<TFenetres> fenetres_;
};

TEST_F(FenetrePrincipale, DemarrageSeulLaFenetrePrincipaleEstVisible) {
    CreeFenetres();
    for (QWidget* w : std::initializer_list<QWidget*>{AboutBox, CinetiqueForm, ConstanteDlg,
                                                      BeerForm, TraceSpectre, ComCfgDlg}) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
    EXPECT_TRUE(FormMain->isVisible());
    EXPECT_EQ(FormMain->windowTitle(), "Acquisition avec Jenway 6400, 6500");
    EXPECT_EQ(FormMain->ModeCourant, 0);
    EXPECT_EQ(Spectro.Voie, FormMain->VoieSerie);
    EXPECT_FALSE(FormMain->VoieSerie->Open()); // opened at the first mode switch only
    EXPECT_EQ(FormMain->CinetiqueBtn->toolTip(), "Cinétique");
    EXPECT_EQ(FormMain->CinetiqueBtn->statusTip(), "Absorbance en  fonction du temps");
    EXPECT_EQ(FormMain->CinetiqueBtn->accessibleName(), "Suivi de cinétique");
}

TEST_F(FenetrePrincipale, UnModeEnvoieRPuisQuitterLeModeEnvoieX) {
    TSimulateurLance simulateur(1);
    CreeFenetres();
    QTest::mouseClick(FormMain->CinetiqueBtn, Qt::LeftButton);
    EXPECT_EQ(simulateur.AttendJournal(1), "R[13]\n");
    EXPECT_TRUE(CinetiqueForm->isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 2);
    EXPECT_EQ(BoutonsVisibles(), QList<QPushButton*>{FormMain->CinetiqueBtn});

    ConstanteDlg->NewPageCB->SetItemIndex(1);
    FormMain->ChoixMode(0);
    EXPECT_EQ(simulateur.AttendJournal(2), "R[13]\nX[13]\n");
    EXPECT_EQ(BoutonsVisibles().size(), 3);
    EXPECT_EQ(ConstanteDlg->NewPageCB->ItemIndex(), 0);
    EXPECT_TRUE(boites_.Vues.empty()) << boites_.Textes().join('\n').toStdString();
}

TEST_F(FenetrePrincipale, Com1AbsentLAppareilSurCom2EstOuvertSansRienDire) {
    TSimulateurLance simulateur(2);
    CreeFenetres();
    QTest::mouseClick(FormMain->SpectreMinMaxBtn, Qt::LeftButton);
    EXPECT_TRUE(simulateur.AttendJournal(1).startsWith("R[13]\n")); // then the scan set-up
    EXPECT_TRUE(boites_.Vues.empty()) << boites_.Textes().join('\n').toStdString();
    EXPECT_EQ(Spectro.Com, 2);
    EXPECT_EQ(FormMain->VoieSerie->ComNumber(), 2);
}

// One box says why each port did not open and how to get back: the other mode buttons stay
// hidden, and "Configuration complète" brings them back.
TEST_F(FenetrePrincipale, AucunPortNOuvreUnMessageQuiDitPourquoiEtCommentRevenir) {
    CreeFenetres();
    QTest::mouseClick(FormMain->BeerBtn, Qt::LeftButton);
    ASSERT_EQ(boites_.Vues.size(), 1u) << boites_.Textes().join('\n').toStdString();
    EXPECT_EQ(boites_.Vues[0].Titre, "Erreur");
    EXPECT_EQ(boites_.Vues[0].Icone, TIconeBoite::Erreur);
    const QStringList paragraphes = boites_.Vues[0].Texte.split("\n\n");
    ASSERT_EQ(paragraphes.size(), 4) << boites_.Vues[0].Texte.toStdString();
    EXPECT_EQ(paragraphes[0], "Problème voie série");
    for (int i : {1, 2}) {
        EXPECT_TRUE(paragraphes[i].startsWith(
            QStringLiteral("Impossible d'ouvrir la voie série COM%1 (%2) : ")
                .arg(i)
                .arg(dossier_.filePath("absent"))));
        EXPECT_TRUE(paragraphes[i].contains("Branchez l'appareil"));
    }
    EXPECT_EQ(paragraphes[3], "« Loi de Beer-Lambert » n'a pas démarré : choisissez le port de "
                              "l'appareil (bouton « voie série ») puis cliquez de nouveau sur "
                              "« Loi de Beer-Lambert », ou passez par « Configuration complète », "
                              "qui propose de nouveau les trois modes.");
    EXPECT_FALSE(BeerForm->isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 3);
    EXPECT_EQ(BoutonsVisibles(), QList<QPushButton*>{FormMain->BeerBtn});

    QTest::mouseClick(FormMain->BeerBtn, Qt::LeftButton); // one box per mode switch
    EXPECT_EQ(boites_.Vues.size(), 2u);

    boites_.Dialogues.push_back([](QDialog&) { return int(QDialog::Rejected); });
    QTest::mouseClick(FormMain->ConfigBtn, Qt::LeftButton);
    ASSERT_EQ(boites_.Vues.size(), 3u);
    EXPECT_TRUE(boites_.Vues[2].Texte.startsWith("Problème voie série\n\n"));
    EXPECT_FALSE(boites_.Vues[2].Texte.contains("n'a pas démarré"));
    EXPECT_EQ(BoutonsVisibles().size(), 3);
}

TEST_F(FenetrePrincipale, UnPortAutreQueCom1Ou2NEstPasRemplace) {
    Spectro.Com = 5;
    CreeFenetres();
    FormMain->ChoixMode(0);
    EXPECT_EQ(Spectro.Com, 5);
    ASSERT_EQ(boites_.Vues.size(), 1u);
    EXPECT_TRUE(boites_.Vues[0].Texte.startsWith("Problème voie série\n\nImpossible d'ouvrir la "
                                                 "voie série COM5 "));
    EXPECT_FALSE(boites_.Vues[0].Texte.contains("COM1"));
}

TEST_F(FenetrePrincipale, FermerSansModeNEnvoieRien) {
    TSimulateurLance simulateur(1);
    CreeFenetres();
    FormMain->close();
    QTest::qWait(50);
    EXPECT_EQ(simulateur.Journal(), "");
    EXPECT_TRUE(boites_.Vues.empty());
}

// Quitting the program from the main window while a mode window is open tells the instrument
// once: the application's end, which closes the windows still shown, must not close the mode
// window as if the user had left the mode.
TEST_F(FenetrePrincipale, QuitterLeProgrammeDepuisUnModeEnvoieXUneFois) {
    for (const quint8 mode : {1, 2, 3}) {
        SCOPED_TRACE(mode);
        TSimulateurLance simulateur(1);
        CreeFenetres();
        FormMain->ChoixMode(mode);
        simulateur.AttendJournal(mode == 1 ? 5 : 1); // "R", then the scan set-up of mode 1
        FormMain->close();
        // What the application's end does to the windows still shown (the loop is not running
        // here, so its quit() cannot).
        QApplication::closeAllWindows();
        QTest::qWait(300); // a second "X" would follow the first at once
        const QByteArray journal = simulateur.Journal();
        EXPECT_EQ(journal.count("X[13]"), 1) << journal.toStdString();
        EXPECT_TRUE(journal.endsWith("X[13]\n")) << journal.toStdString();
        fenetres_.reset();
    }
}

TEST_F(FenetrePrincipale, TraceActiveLesFichiersApparaissentALaFermeture) {
    TSimulateurLance simulateur(1);
    Spectro.Tracing = true;
    CreeFenetres();
    FormMain->ChoixMode(2);
    FormMain->close();
    EXPECT_EQ(simulateur.AttendJournal(2), "R[13]\nX[13]\n");
    QFile trace(CheminEnregistrement("jenway6500.TRC"));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_TRUE(trace.readAll().startsWith("Transmit: R[13]"));
    EXPECT_TRUE(QFile::exists(CheminEnregistrement("jenway6500.LOG")));
}

// After an unplug, leaving any of the three windows says at most one thing more: that the port
// could not be opened again, and what to do. The port's own error text never shows.
TEST_F(FenetrePrincipale, QuitterUneFenetreApresUnDebranchementDonneUnSeulMessage) {
    struct Cas {
        QPushButton* TFormMain::*Bouton;
        std::function<QWidget*()> Fenetre;
        std::function<QAbstractButton*()> Sortie;
    };
    const Cas cas[] = {
        {&TFormMain::CinetiqueBtn, [] { return CinetiqueForm; },
         [] {
             return CinetiqueForm->ExitBtn;
         }},
        {&TFormMain::SpectreMinMaxBtn, [] { return TraceSpectre; },
         [] {
             return TraceSpectre->ExitBtn;
         }},
        {&TFormMain::BeerBtn, [] { return BeerForm; },
         [] {
             return BeerForm->ExitBtn;
         }},
    };
    for (const Cas& c : cas) {
        fenetres_.reset();
        TSimulateurLance simulateur(1);
        Spectro = TspectroJenway{};
        CreeFenetres();
        boites_.Vues.clear();
        QPushButton* bouton = FormMain->*c.Bouton;
        SCOPED_TRACE(bouton->text().toStdString());
        QTest::mouseClick(bouton, Qt::LeftButton);
        ASSERT_TRUE(c.Fenetre()->isVisible());
        simulateur.ControleSansAttendre("debranche");
        ASSERT_TRUE(QTest::qWaitFor([this] { return !boites_.Vues.empty(); }, 5000));
        EXPECT_TRUE(boites_.Vues[0].Texte.contains("l'appareil a été débranché. Rebranchez-le"));

        c.Sortie()->click();
        const QStringList textes = boites_.Textes();
        ASSERT_EQ(textes.size(), 2) << textes.join('\n').toStdString();
        EXPECT_TRUE(textes[1].startsWith("Problème voie série\n\nImpossible d'ouvrir la voie "
                                         "série COM1 "));
        EXPECT_TRUE(textes[1].contains("Branchez l'appareil"));
        EXPECT_FALSE(textes[1].contains("n'a pas démarré"));
        EXPECT_FALSE(c.Fenetre()->isVisible());
        EXPECT_EQ(BoutonsVisibles().size(), 3);

        QTest::mouseClick(FormMain->BeerBtn, Qt::LeftButton); // then one box per mode switch
        EXPECT_EQ(boites_.Vues.size(), 3u);
        EXPECT_FALSE(BeerForm->isVisible());
    }
}

// The trace and the log of a run whose device vanished are written at exit: they are the record
// of that failure.
TEST_F(FenetrePrincipale, TraceEtJournalGardesApresUnAppareilDebranche) {
    TSimulateurLance simulateur(1);
    Spectro.Tracing = true;
    CreeFenetres();
    FormMain->ChoixMode(2);
    simulateur.ControleSansAttendre("debranche");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !boites_.Vues.empty(); }, 5000));
    ASSERT_FALSE(FormMain->VoieSerie->Open());
    FormMain->close();
    QFile trace(CheminEnregistrement("jenway6500.TRC"));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_TRUE(trace.readAll().startsWith("Transmit: R[13]"));
    QFile journal(CheminEnregistrement("jenway6500.LOG"));
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    const QByteArray evenements = journal.readAll();
    EXPECT_TRUE(evenements.contains("  E  Ecriture ")) << evenements.constData();
    EXPECT_TRUE(evenements.contains("  P  Disparition ")) << evenements.constData();
    EXPECT_EQ(boites_.Vues.size(), 1u) << boites_.Textes().join('\n').toStdString();
}

TEST_F(FenetrePrincipale, ChoixDuPortParmiLesPortsPresents) {
    TSimulateurLance com1(1);
    TSimulateurLance com3(3);
    CreeFenetres();
    // The machine's own serial devices are listed too, without a number: the variables took
    // every number.
    const TRadioGroup& ports = *ComCfgDlg->Comports;
    ASSERT_EQ(ComCfgDlg->NumerosPorts.mid(0, 2), QList<qint32>({1, 3}));
    EXPECT_EQ(ComCfgDlg->NumerosPorts.count(0), ports.Nombre() - 2);
    EXPECT_EQ(ports.Item(0)->text(), "COM1 — " + com1.Peripherique());
    EXPECT_EQ(ports.Item(1)->text(), "COM3 — " + com3.Peripherique());
    EXPECT_EQ(ports.ItemIndex(), 0);

    boites_.Dialogues.push_back([](QDialog& dialogue) {
        dialogue.show(); // as the real box does: the list is taken again at each showing
        ComCfgDlg->Comports->SetItemIndex(1);
        ComCfgDlg->TraceCB->setChecked(true);
        ComCfgDlg->OKBtnClick();
        return int(QDialog::Accepted);
    });
    FormMain->BitBtn1Click();
    EXPECT_EQ(Spectro.Com, 3);
    EXPECT_TRUE(Spectro.Tracing);
    EXPECT_EQ(FormMain->VoieSerie->Tracing(), tlOn);

    FormMain->ChoixMode(1); // the trace starts with this opening, on COM3
    EXPECT_TRUE(com3.AttendJournal(1).startsWith("R[13]\n"));
    EXPECT_EQ(com1.Journal(), "");
}

TEST_F(FenetrePrincipale, ConfigurationCompleteFermeEtRouvreLePort) {
    TSimulateurLance simulateur(1);
    CreeFenetres();
    FormMain->ChoixMode(2);
    boites_.Dialogues.push_back([](QDialog& dialogue) {
        dialogue.accept();
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(FormMain->ConfigBtn, Qt::LeftButton);
    EXPECT_EQ(simulateur.AttendJournal(2), "R[13]\nX[13]\n");
    EXPECT_TRUE(FormMain->VoieSerie->Open());
    EXPECT_EQ(FormMain->ModeCourant, 0);
    EXPECT_TRUE(CinetiqueForm->isVisible()); // the mode window is not closed by it
}

TEST_F(FenetrePrincipale, LAideLongueVaALaBarreDEtatDuModeCourant) {
    TSimulateurLance simulateur(1);
    CreeFenetres();
    FormMain->ChoixMode(2);
    QStatusTipEvent aide(QStringLiteral("Lance l'acquisition"));
    QCoreApplication::sendEvent(FormMain->CinetiqueBtn, &aide);
    EXPECT_EQ(CinetiqueForm->StatusBar->currentMessage(), "Lance l'acquisition");
}

TEST_F(FenetrePrincipale, AuRetourDansLeProgrammeLaBarreDEspaceMeneToujoursLesEtapes) {
    TSimulateurLance simulateur(1);
    CreeFenetres();
    QTest::mouseClick(FormMain->CinetiqueBtn, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(CinetiqueForm));
    EXPECT_EQ(QApplication::focusWidget(), CinetiqueForm->EditBidon);

    // Another program takes the keyboard (a window of this one stands in for it), then the user
    // comes back: the platform tells the application it is active again.
    QWidget autre;
    autre.show();
    autre.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&autre));
    QEvent activation(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(qApp, &activation);
    ASSERT_TRUE(QTest::qWaitForWindowActive(CinetiqueForm));

    QWidget* clavier = QApplication::focusWidget();
    ASSERT_NE(clavier, nullptr);
    EXPECT_EQ(clavier, CinetiqueForm->EditBidon);
    QTest::keyClick(clavier, Qt::Key_Space);
    EXPECT_EQ(CinetiqueForm->Etat(), TCinetiqueForm::EtatZero);
    EXPECT_EQ(simulateur.AttendJournal(2), "R[13]\nG500.0[13]\n");
}

TEST_F(FenetrePrincipale, LeClavierTapeLesLettresGrecquesDansLesChampsDeTexte) {
    CreeFenetres();
    QLineEdit& edit = *ConstanteDlg->NomConstEdit; // the symbol of a parameter
    struct Cas {
        Qt::Key touche;
        Qt::KeyboardModifiers modificateurs;
        const char* attendu;
    };
    const Cas cas[] = {
        {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, "A"},
        {Qt::Key_A, Qt::ControlModifier, "α"},
        {Qt::Key_M, Qt::ControlModifier, "µ"},
        {Qt::Key_Return, Qt::ControlModifier, "ϕ"},
        {Qt::Key_J, Qt::ControlModifier, "ϕ"},
        {Qt::Key_L, Qt::ControlModifier, "λ"},
        {Qt::Key_C, Qt::ControlModifier, "c"},
        {Qt::Key_V, Qt::ControlModifier, "v"},
        {Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier, "Δ"},
    };
    for (const Cas& c : cas) {
        edit.clear();
        QTest::keyClick(&edit, c.touche, c.modificateurs);
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.attendu)) << c.attendu;
    }
    QTest::keyClick(&edit, Qt::Key_X); // plain keys are left alone
    EXPECT_EQ(edit.text(), QString::fromUtf8("Δx"));
}

// In a field that takes a number, Ctrl+C, Ctrl+X, Ctrl+Z and Ctrl+V copy, cut, undo and paste
// as everywhere else; no Greek letter is typed there.
TEST_F(FenetrePrincipale, DansUnChampNumeriqueLesRaccourcisGardentLeurSens) {
    CreeFenetres();
    TConfigSpectroDlg configuration;
    TModeBeerDlg modeBeer(*BeerForm);
    const std::pair<const char*, QLineEdit*> champs[] = {
        {"ValeurConstEdit", ConstanteDlg->ValeurConstEdit}, {"NbreEdit", CinetiqueForm->NbreEdit},
        {"LambdaSE", &CinetiqueForm->LambdaSE->Edit()},     {"ClavierEdit", BeerForm->ClavierEdit},
        {"EditMinAbs", configuration.EditMinAbs},           {"EditMin", modeBeer.EditMin},
    };
    QClipboard& pressePapiers = *QGuiApplication::clipboard();
    for (const auto& [nom, edit] : champs) {
        SCOPED_TRACE(nom);
        pressePapiers.clear();
        edit->setText("12");
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(pressePapiers.text(), "12");
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), "");
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), "12");
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_M, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), "1212");
    }
}

// The table is the program's own: Qt's file dialog gets Ctrl+A as "select all".
TEST_F(FenetrePrincipale, LeClavierGrecNAtteintPasLeDialogueDeFichier) {
    CreeFenetres();
    TBoitesQt boitesQt;
    InstalleBoites(&boitesQt);
    QString nomTape;
    QTimer attente;
    QObject::connect(&attente, &QTimer::timeout, [&] {
        QWidget* dialogue = QApplication::activeModalWidget();
        auto* nom = dialogue ? qobject_cast<QLineEdit*>(dialogue->focusWidget()) : nullptr;
        if (!nom)
            return;
        attente.stop();
        QTest::keyClick(nom, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(nom, "essai");
        nomTape = nom->text();
        QTest::keyClick(dialogue, Qt::Key_Escape);
    });
    attente.start(20);
    QTemporaryDir dossier;
    const std::optional<QString> choisi = Boites().NomSauvegarde(
        {"Graphe", dossier.path(), "cinetique.pdf", {"Document PDF (*.pdf)"}, 0, "pdf", {}});
    InstalleBoites(&boites_);
    EXPECT_FALSE(choisi);
    EXPECT_EQ(nomTape, "essai");
}

// A name typed without extension takes "TB3" (so the Tablarix format) unless the spreadsheet
// file is the chosen format: a user who picks it gets a .csv.
TEST_F(FenetrePrincipale, LeNomSansExtensionSuitLeFormatTableurCsv) {
    TBoitesQt boitesQt;
    InstalleBoites(&boitesQt);
    QTemporaryDir dossier;
    const std::pair<int, const char*> cas[] = {
        {0, "mesures.TB3"}, {1, "mesures.TB3"}, {2, "mesures.csv"}, {0, "mesures.TB3"}};
    for (const auto& [filtre, attendu] : cas) {
        QTimer attente;
        QObject::connect(&attente, &QTimer::timeout, [&, filtre = filtre] {
            QWidget* dialogue = QApplication::activeModalWidget();
            auto* types = dialogue ? dialogue->findChild<QComboBox*>("fileTypeCombo") : nullptr;
            auto* nom = dialogue ? dialogue->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (!types || !nom)
                return;
            attente.stop();
            QTest::keyClick(types, Qt::Key_Home);
            for (int i = 0; i < filtre; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            nom->setText("mesures");
            QTest::keyClick(nom, Qt::Key_Return);
        });
        attente.start(20);
        TDialogueSauvegarde choix = DialogueSauvegardeDonnees("TB3");
        choix.Dossier = dossier.path();
        const std::optional<QString> choisi = Boites().NomSauvegarde(choix);
        ASSERT_TRUE(choisi) << attendu;
        EXPECT_EQ(QFileInfo(*choisi).fileName(), attendu);
    }
    InstalleBoites(&boites_);
}

class TNavigateur : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Ouvertes;
public slots:
    void Ouvre(const QUrl& adresse) { Ouvertes << adresse; }
};

TEST_F(FenetrePrincipale, VersionAJourOuvreLaPageDansLeNavigateur) {
    CreeFenetres();
    TNavigateur navigateur;
    QDesktopServices::setUrlHandler("https", &navigateur, "Ouvre");
    AboutBox->BitBtn1Click();
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(navigateur.Ouvertes, QList<QUrl>{QUrl(TAboutBox::AdresseMiseAJour)});
    EXPECT_TRUE(boites_.Vues.empty());
}

} // namespace

#include "TestFormMain.moc"
