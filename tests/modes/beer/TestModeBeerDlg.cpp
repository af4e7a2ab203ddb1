#include "BoitesScriptees.h"
#include "base/Controles.h"
#include "modes/beer/BeerForm.h"
#include "modes/beer/ModeBeerDlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct TCasClavier {
    const char* nom;
    char16_t separateur;
    const char* mini;
    const char* maxi;
    double attenduMini;
    double attenduMaxi;
};

TEST(ModeBeerDlg, DepuisLeModeRangLeClavierProposeUneConcentration) {
    const TCasClavier cas[] = {
        {"propose", u'.', nullptr, nullptr, 0, 0.01},
        // "0.01" is no number with a comma: the maximum falls back to 5.
        {"virgule", u',', nullptr, nullptr, 0, 5},
        {"bornes inversees", u'.', "10", "2", 2, 10},
        {"pas des nombres", u'.', "abc", "", 0, 5},
    };
    for (const TCasClavier& c : cas) {
        SCOPED_TRACE(c.nom);
        const TRegionalTemporaire regional(c.separateur);
        TBeerForm fenetre;
        TModeBeerDlg dialogue(fenetre);
        EXPECT_EQ(dialogue.EditNom->text(), "c");
        EXPECT_EQ(dialogue.EditUnite->text(), "mol/L");
        EXPECT_EQ(dialogue.EditSignif->text(), "Concentration");
        EXPECT_EQ(dialogue.EditMax->text(), "0.01");
        EXPECT_EQ(dialogue.EditMin->text(), "0");
        EXPECT_EQ(dialogue.EditMaxBeer->text(), "16");
        EXPECT_EQ(dialogue.ModeAcqRG->ItemIndex(), 0);
        EXPECT_EQ(dialogue.NoteBook->currentIndex(), 0);
        if (c.mini)
            dialogue.EditMin->setText(c.mini);
        if (c.maxi)
            dialogue.EditMax->setText(c.maxi);
        dialogue.ModeAcqRG->Item(2)->click();
        EXPECT_EQ(dialogue.NoteBook->currentIndex(), 2);
        dialogue.OKBtn->click();
        EXPECT_EQ(dialogue.result(), QDialog::Accepted);
        EXPECT_EQ(fenetre.Session.Mode, 2);
        EXPECT_EQ(fenetre.Graphe.MondeX.Nom.Texte(), "c");
        EXPECT_EQ(fenetre.Graphe.MondeX.Unite.Texte(), "mol/L");
        EXPECT_EQ(fenetre.Graphe.MondeX.Signification.Texte(), "Concentration");
        EXPECT_DOUBLE_EQ(fenetre.Graphe.MondeX.Mini, c.attenduMini);
        EXPECT_DOUBLE_EQ(fenetre.Graphe.MondeX.Maxi, c.attenduMaxi);
    }
}

TEST(ModeBeerDlg, ReprendLaGrandeurEnCoursEtLeModeBeer) {
    const TRegionalTemporaire virgule(u',');
    TBeerForm fenetre;
    Tmonde& x = fenetre.Graphe.MondeX;
    fenetre.Session.Mode = 2;
    x.Nom = "V";
    x.Unite = "mL";
    x.Signification = "Volume";
    x.Mini = 1.5;
    x.Maxi = 0.123456789012345;
    {
        TModeBeerDlg dialogue(fenetre);
        EXPECT_EQ(dialogue.EditNom->text(), "V");
        EXPECT_EQ(dialogue.EditSignif->text(), "Volume");
        EXPECT_EQ(dialogue.EditMin->text(), "1,5");
        EXPECT_EQ(dialogue.EditMax->text(), "0,123456789012345");
        EXPECT_EQ(dialogue.NoteBook->currentIndex(), 2);
        dialogue.CancelBtn->click();
        EXPECT_EQ(dialogue.result(), QDialog::Rejected);
    }
    EXPECT_EQ(fenetre.Session.Mode, 2);
    EXPECT_EQ(x.Nom.Texte(), "V");

    TModeBeerDlg dialogue(fenetre);
    dialogue.ModeAcqRG->Item(1)->click();
    EXPECT_EQ(dialogue.NoteBook->currentIndex(), 1);
    dialogue.OKBtn->click();
    EXPECT_EQ(fenetre.Session.Mode, 1);
    EXPECT_EQ(x.Nom.Texte(), "c");
    EXPECT_EQ(x.Unite.Texte(), "mol/L");
    EXPECT_EQ(x.Signification.Texte(), "Concentration");
    EXPECT_EQ(x.Mini, 0);
}

TEST(ModeBeerDlg, LongueursEtTextesDesPages) {
    TBeerForm fenetre;
    TModeBeerDlg dialogue(fenetre);
    dialogue.show();
    dialogue.EditNom->clear();
    QTest::keyClicks(dialogue.EditNom, "abcdefghij");
    EXPECT_EQ(dialogue.EditNom->text(), "abcdefgh");
    dialogue.EditUnite->clear();
    QTest::keyClicks(dialogue.EditUnite, QString(25, u'u'));
    EXPECT_EQ(dialogue.EditUnite->text().size(), 20);
    EXPECT_EQ(dialogue.windowTitle(), "Utilisation de la loi de Beer-Lambert");
    QStringList items;
    for (int i = 0; i < dialogue.ModeAcqRG->Nombre(); ++i)
        items << dialogue.ModeAcqRG->Item(i)->text();
    EXPECT_EQ(items, QStringList({"à chaque frappe de la barre d'espace", "Loi de Beer-Lambert",
                                  "Entrée clavier"}));
    const auto* memo = dialogue.NoteBook->widget(0)->findChild<QPlainTextEdit*>();
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->toPlainText(), "\nVous pouvez aussi cliquer sur le bouton \n\"Enregistre\"");
}

} // namespace
