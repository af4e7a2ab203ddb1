#include "BoitesScriptees.h"
#include "base/Controles.h"
#include "instrument/ConfigSpectroDlg.h"
#include "instrument/SpectroJenway.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ConfigSpectroDlg : public ::testing::Test {
protected:
    void SetUp() override { Spectro = TspectroJenway{}; }
    void TearDown() override { Spectro = TspectroJenway{}; }
};

TEST_F(ConfigSpectroDlg, AfficheLesReglagesSelonLesCorrespondances) {
    struct Cas {
        qint32 baud;
        quint16 com;
        qint32 miniL;
        const char* vitesse;
        int itemCom;
        const char* miniAffiche;
    };
    const Cas cas[] = {
        {1200, 1, 325, "1200", 0, "325"},
        {1000, 12, 50, "19200", 8, "100"},
        {115200, 0, 500, "115200", -1, "400"},
    };
    for (const Cas& c : cas) {
        Spectro.Baud = c.baud;
        Spectro.Com = c.com;
        Spectro.MiniL = c.miniL;
        TConfigSpectroDlg dialogue;
        dialogue.FormActivate();
        ASSERT_GE(dialogue.BaudsRG->ItemIndex(), 0);
        EXPECT_EQ(dialogue.BaudsRG->Item(dialogue.BaudsRG->ItemIndex())->text(), c.vitesse);
        EXPECT_EQ(dialogue.Comports->ItemIndex(), c.itemCom);
        EXPECT_EQ(dialogue.MiniSE->Text(), c.miniAffiche);
    }
}

// A wavelength limit or an end byte typed outside its field's range is stored as the bound the
// field then shows: a limit of 2000 nm would let the windows send 2000 nm to the instrument.
TEST_F(ConfigSpectroDlg, OKStockeCeQuiEstAfficheEtCeQuiEstTape) {
    Spectro.Baud = 1000;
    Spectro.Com = 12;
    Spectro.MiniL = 50;
    Spectro.DataBits = 8;
    TConfigSpectroDlg dialogue;
    dialogue.FormActivate();
    dialogue.MaxiSE->Edit().setText("2000");
    dialogue.FinCommandeSE->Edit().setText("269");
    dialogue.EditDemandeAbs->clear();
    dialogue.EditNomAppareil->setText("Jenway");
    dialogue.XonXoffBox->setChecked(true);
    dialogue.OKBtnClick();
    EXPECT_EQ(dialogue.result(), QDialog::Accepted);
    EXPECT_EQ(Spectro.Baud, 19200);
    EXPECT_EQ(Spectro.Com, 12);
    EXPECT_EQ(Spectro.MiniL, 100);
    EXPECT_EQ(Spectro.MaxiL, 1000);
    EXPECT_EQ(dialogue.MaxiSE->Text(), "1000");
    EXPECT_EQ(Spectro.FinMessage, 255);
    EXPECT_EQ(dialogue.FinCommandeSE->Text(), "255");
    EXPECT_EQ(Spectro.DataBits, 8);
    EXPECT_TRUE(Spectro.CmdDemandeAbs.EstVide());
    EXPECT_EQ(Spectro.NomAppareil, TChaine80("Jenway"));
    EXPECT_TRUE(Spectro.XonXoff);
    EXPECT_EQ(Spectro.MiniA, -0.3);
}

// A port beyond Com8 (an USB-serial adapter chosen with "voie série") is shown and kept: OK
// without a change must not move the instrument to another port.
TEST_F(ConfigSpectroDlg, UnPortAuDelaDeCom8EstMontreEtGarde) {
    qputenv("JENWAY_COM11", "/dev/ttyUSB0");
    Spectro.Com = 11;
    {
        TConfigSpectroDlg dialogue;
        dialogue.show();
        ASSERT_EQ(dialogue.Comports->Nombre(), 9);
        EXPECT_EQ(dialogue.Comports->ItemIndex(), 8);
        EXPECT_EQ(dialogue.Comports->Item(8)->text(), "Com11");
        EXPECT_EQ(dialogue.Comports->Item(8)->toolTip(), "/dev/ttyUSB0");
        dialogue.OKBtnClick();
        EXPECT_EQ(Spectro.Com, 11);
    }
    TConfigSpectroDlg dialogue; // another port chosen from the list
    dialogue.show();
    dialogue.Comports->SetItemIndex(2);
    dialogue.OKBtnClick();
    EXPECT_EQ(Spectro.Com, 3);
    dialogue.FormActivate();
    EXPECT_EQ(dialogue.Comports->Nombre(), 8);
    qunsetenv("JENWAY_COM11");
}

TEST_F(ConfigSpectroDlg, AbsorbanceIllisibleArreteLeStockageACeChamp) {
    const TBoitesScriptees boites;
    TConfigSpectroDlg dialogue;
    dialogue.FormActivate();
    dialogue.EditNomAppareil->setText("Jenway");
    dialogue.EditMinAbs->setText("abc");
    dialogue.MaxiSE->SetValue(900);
    dialogue.BaudsRG->SetItemIndex(9);
    dialogue.OKBtnClick();
    EXPECT_EQ(dialogue.result(), QDialog::Accepted);
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_TRUE(boites.Vues[0].Texte.contains("'abc'"));
    EXPECT_EQ(Spectro.NomAppareil, TChaine80("Jenway"));
    EXPECT_EQ(Spectro.MaxiL, 950);
    EXPECT_EQ(Spectro.Baud, 1200);

    dialogue.EditMinAbs->setText("-0.5"); // only the maximum wrong: the minimum is kept
    dialogue.EditMaxAbs->setText("x");
    dialogue.OKBtnClick();
    EXPECT_EQ(Spectro.MiniA, -0.5);
    EXPECT_EQ(Spectro.MaxiA, 3);
}

TEST(SpinEdit, TexteLibreValeurBorneeFlechesDansLesBornes) {
    TSpinEdit spin;
    spin.FixeBornes(800, 1000);
    spin.FixeIncrement(10);
    spin.SetValue(2000);
    EXPECT_EQ(spin.Text(), "1000");
    spin.Edit().setText("2000");
    EXPECT_EQ(spin.Value(), 2000);
    spin.Edit().setText("douze");
    EXPECT_EQ(spin.Value(), 800);
    spin.SetValue(995);
    QTest::keyClick(&spin.Edit(), Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 1000);
    QTest::keyClick(&spin.Edit(), Qt::Key_Down);
    EXPECT_EQ(spin.Value(), 990);
}

// The value read for use is the one shown, within the range, even when the bounds cross.
TEST(SpinEdit, ValeurBorneeEstCelleQuiEstAffichee) {
    const struct {
        qint32 mini, maxi;
        const char* tape;
        qint32 valeur;
    } cas[] = {
        {800, 1000, "2000", 1000}, {800, 1000, "douze", 800}, {800, 1000, "900", 900},
        {1040, 950, "800", 1040},  {1040, 950, "990", 1040},  {1040, 950, "2000", 1040},
        {500, 500, "2000", 500},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.tape);
        TSpinEdit spin;
        spin.FixeBornes(c.mini, c.maxi);
        spin.Edit().setText(c.tape);
        EXPECT_EQ(spin.ValeurBornee(), c.valeur);
        EXPECT_EQ(spin.Text(), QString::number(c.valeur));
    }
}

} // namespace

namespace {

// On a small screen (the offscreen one, 800 × 600, at a scale of 2 in a second run: see
// CMakeLists.txt) the dialog fits, its buttons in sight, and the pages scroll to their last field.
TEST_F(ConfigSpectroDlg, TientDansLEcran) {
    QWidget principale;
    principale.show();
    TConfigSpectroDlg dialogue(&principale);
    dialogue.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialogue));
    const QRect ecran = dialogue.screen()->availableGeometry();
    EXPECT_LE(dialogue.width(), ecran.width());
    EXPECT_LE(dialogue.height(), ecran.height());
    EXPECT_TRUE(dialogue.rect().contains(dialogue.OKBtn->geometry()));
    EXPECT_TRUE(dialogue.rect().contains(dialogue.CancelBtn->geometry()));
    for (QLineEdit* dernier : {dialogue.StopRemoteEdit, dialogue.EditMaxAbs}) {
        dialogue.Notebook->setCurrentWidget(
            dialogue.Notebook->widget(dernier == dialogue.EditMaxAbs));
        auto* zone = qobject_cast<QScrollArea*>(dialogue.Notebook->currentWidget());
        ASSERT_NE(zone, nullptr);
        QTest::qWait(10); // the page laid out now that it shows
        const QRect champ(dernier->mapTo(zone->widget(), QPoint()), dernier->size());
        zone->ensureVisible(champ.center().x(), champ.center().y(), champ.width() / 2 + 1,
                            champ.height() / 2 + 1);
        QTest::qWait(10);
        const QRect vu(dernier->mapTo(zone->viewport(), QPoint()), dernier->size());
        EXPECT_TRUE(zone->viewport()->rect().contains(vu)) << dernier->objectName().toStdString();
    }
}

} // namespace
