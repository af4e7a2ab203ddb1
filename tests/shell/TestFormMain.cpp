#include "BoitesScriptees.h"
#include "SimulateurLance.h"
#include "exchange/ConstanteDlg.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/AboutBox.h"
#include "shell/ComCfgDlg.h"
#include "shell/Controles.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kPortsSondes = 50;
const QString kPortFerme = QStringLiteral(
    "La voie série n'est pas ouverte : vérifiez que l'appareil est branché, allumé et relié au "
    "port choisi (bouton « voie série »), puis choisissez de nouveau un mode.");

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

TEST_F(FenetrePrincipale, AucunPortNOuvreProblemePuisErreurDePortFerme) {
    CreeFenetres();
    QTest::mouseClick(FormMain->BeerBtn, Qt::LeftButton);
    EXPECT_EQ(boites_.Textes(), QStringList({"Problème voie série", kPortFerme}));
    EXPECT_EQ(boites_.Vues[0].Titre, "Erreur");
    EXPECT_FALSE(BeerForm->isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 3);
    EXPECT_EQ(BoutonsVisibles(), QList<QPushButton*>{FormMain->BeerBtn});

    QTest::mouseClick(FormMain->BeerBtn, Qt::LeftButton); // one box per mode switch
    EXPECT_EQ(boites_.Vues.size(), 4u);
}

TEST_F(FenetrePrincipale, UnPortAutreQueCom1Ou2NEstPasRemplace) {
    Spectro.Com = 5;
    CreeFenetres();
    EXPECT_THROW(FormMain->ChoixMode(0), ECommNotOpen);
    EXPECT_EQ(Spectro.Com, 5);
    EXPECT_EQ(boites_.Textes().value(0), "Problème voie série");
}

TEST_F(FenetrePrincipale, FermerSansModeNEnvoieRien) {
    TSimulateurLance simulateur(1);
    CreeFenetres();
    FormMain->close();
    QTest::qWait(50);
    EXPECT_EQ(simulateur.Journal(), "");
    EXPECT_TRUE(boites_.Vues.empty());
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

// After an unplug, leaving the window and choosing a mode again say in French what to do; the
// port's own error text never shows.
TEST_F(FenetrePrincipale, AppareilDebrancheRienQueDesMessagesEnFrancais) {
    TSimulateurLance simulateur(1);
    CreeFenetres();
    QTest::mouseClick(FormMain->CinetiqueBtn, Qt::LeftButton);
    ASSERT_TRUE(CinetiqueForm->isVisible());
    simulateur.ControleSansAttendre("debranche");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !boites_.Vues.empty(); }, 5000));
    CinetiqueForm->close();
    QTest::mouseClick(FormMain->BeerBtn, Qt::LeftButton);
    const QStringList textes = boites_.Textes();
    ASSERT_EQ(textes.size(), 5) << textes.join('\n').toStdString();
    EXPECT_TRUE(textes[0].contains("l'appareil a été débranché. Rebranchez-le"));
    EXPECT_EQ(textes.mid(1),
              QStringList({"Problème voie série", kPortFerme, "Problème voie série", kPortFerme}));
    EXPECT_FALSE(BeerForm->isVisible());
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
    const TRadioGroup& ports = *ComCfgDlg->Comports;
    ASSERT_EQ(ports.Nombre(), 2);
    EXPECT_EQ(ports.Item(0)->text(), "COM1");
    EXPECT_EQ(ports.Item(1)->text(), "COM3");
    EXPECT_EQ(ports.ItemIndex(), 0);
    EXPECT_EQ(ports.Item(1)->toolTip(), com3.Peripherique());

    boites_.Dialogues.push_back([](QDialog&) {
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
    EXPECT_EQ(CinetiqueForm->Etat, TCinetiqueForm::EtatZero);
    EXPECT_EQ(simulateur.AttendJournal(2), "R[13]\nG500.0[13]\n");
}

TEST_F(FenetrePrincipale, LeClavierTapeLesLettresGrecquesDansLesEdits) {
    CreeFenetres();
    QLineEdit edit;
    edit.show();
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
