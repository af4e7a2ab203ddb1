#include "BoitesScriptees.h"
#include "base/Controles.h"
#include "exchange/ConstanteDlg.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct CasParametre {
    char16_t separateur;
    const char* symbole;
    const char* valeur;
    bool valide;
};

TEST(ConstanteDlg, ParametreCompletSelonSymboleEtValeur) {
    const CasParametre cas[] = {
        {u',', "k", "0,02", true}, {u',', "k", "0.02", false}, {u'.', "k", "0.02", true},
        {u'.', "", "0.02", false}, {u'.', "k", "", false},     {u'.', "k", "2e-3", true},
    };
    for (const CasParametre& c : cas) {
        const TRegionalTemporaire regional(c.separateur);
        TConstanteDlg dialogue;
        dialogue.NomConstEdit->setText(c.symbole);
        dialogue.ValeurConstEdit->setText(c.valeur);
        EXPECT_FALSE(dialogue.ConstanteValide); // changes only when the dialog closes
        dialogue.OKBtnClick();
        EXPECT_EQ(dialogue.ConstanteValide, c.valide) << c.symbole << " " << c.valeur;
        EXPECT_EQ(dialogue.result(), QDialog::Accepted);
    }
}

TEST(ConstanteDlg, AnnulerValideAussiLeParametre) {
    TConstanteDlg dialogue;
    dialogue.NomConstEdit->setText("k");
    dialogue.ValeurConstEdit->setText("0.02");
    dialogue.show();
    QTest::keyClick(&dialogue, Qt::Key_Escape);
    EXPECT_EQ(dialogue.result(), QDialog::Rejected);
    EXPECT_TRUE(dialogue.ConstanteValide);
}

TEST(ConstanteDlg, LongueursMaximalesEtDestinationInitiale) {
    TConstanteDlg dialogue;
    dialogue.show();
    QTest::keyClicks(dialogue.NomConstEdit, "symbole9X");
    EXPECT_EQ(dialogue.NomConstEdit->text(), "symbole9");
    QTest::keyClicks(dialogue.UniteConstEdit, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(dialogue.UniteConstEdit->text().size(), 20);
    QTest::keyClicks(dialogue.SignifConstEdit, QString(300, u's'));
    EXPECT_EQ(dialogue.SignifConstEdit->text().size(), 300);
    EXPECT_EQ(dialogue.NewPageCB->ItemIndex(), 0);
    EXPECT_EQ(dialogue.windowTitle(), "Renseignements sur la page courante");
}

} // namespace
