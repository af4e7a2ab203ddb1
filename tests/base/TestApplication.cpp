#include "BoitesScriptees.h"
#include "base/Application.h"
#include "base/BoitesQt.h"
#include "base/Regional.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QTextLayout>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class TObjetQuiEchoue : public QObject {
public:
    bool event(QEvent*) override { throw std::runtime_error("ie_NOpen - device not open"); }
};

TEST(Application, UneExceptionDansUnEvenementVaALaBoiteParDefaut) {
    const TBoitesScriptees boites;
    TApplication::FixeTitre("Spectrophotomètre Jenway IC6500");
    TObjetQuiEchoue objet;
    QEvent evenement(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&objet, &evenement));
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Titre, "Spectrophotomètre Jenway IC6500");
    EXPECT_EQ(boites.Vues[0].Texte, "ie_NOpen - device not open");
    EXPECT_EQ(boites.Vues[0].Icone, TIconeBoite::Erreur);
}

// A long macro line or path in a box wraps inside itself rather than running off the box's edge,
// where its end would not show.
TEST(BoitesQt, UneLongueLigneSansBlancSeReplieDansLaBoite) {
    TBoitesQt boites;
    const QString texte =
        QStringLiteral("Fonction inconnue : AIDE(") + QString(230, u'p') + QStringLiteral("fin)");
    bool vue = false;
    QTimer::singleShot(0, [&] {
        auto* boite = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(boite, nullptr);
        const auto* etiquette = boite->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(etiquette, nullptr);
        vue = true;
        // Laid out as the label does, between words, every line fits in the label.
        QTextLayout mise(etiquette->text(), etiquette->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        mise.setTextOption(option);
        const qreal largeur = etiquette->contentsRect().width();
        mise.beginLayout();
        for (QTextLine ligne = mise.createLine(); ligne.isValid(); ligne = mise.createLine()) {
            ligne.setLineWidth(largeur);
            EXPECT_LE(ligne.naturalTextWidth(), largeur)
                << etiquette->text().mid(ligne.textStart(), ligne.textLength()).toStdString();
        }
        mise.endLayout();
        EXPECT_LE(boite->width(), boite->screen()->availableGeometry().width());
        boite->accept();
    });
    boites.Affiche({QStringLiteral("Erreur"), texte, TIconeBoite::Erreur, TBoutonsBoite::Ok});
    EXPECT_TRUE(vue);
}

} // namespace

namespace {

QStringList TextesDesBoutons() {
    const QDialogButtonBox boutons(QDialogButtonBox::Save | QDialogButtonBox::Cancel |
                                   QDialogButtonBox::Yes | QDialogButtonBox::No |
                                   QDialogButtonBox::Open);
    QStringList textes;
    for (const QAbstractButton* b : boutons.buttons())
        textes << b->text().remove(u'&');
    textes.sort();
    return textes;
}

// Qt's own buttons and dialogs speak French while the translation lives, whatever the system's
// language, and their own language again after it.
TEST(TraductionQt, BoutonsStandardEnFrancais) {
    const QStringList anglais = TextesDesBoutons();
    {
        const TTraductionQt traduction;
        ASSERT_TRUE(traduction.Chargee());
        EXPECT_EQ(TextesDesBoutons().join(u',').toStdString(),
                  "Annuler,Enregistrer,Non,Oui,Ouvrir");
        EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print").toStdString(), "Imprimer");
    }
    EXPECT_EQ(TextesDesBoutons(), anglais);
}

// On a French system (the test program run with LANG=fr_FR.UTF-8, see CMakeLists.txt), the
// dates shown to the user (recovery question, printed page, serial log) follow French rules.
TEST(SystemeFrancais, DatesALaFrancaise) {
    if (QLocale::system().language() != QLocale::French)
        GTEST_SKIP() << "le système n'est pas en français";
    const TParametresRegionaux francais = TParametresRegionaux::DuSysteme();
    EXPECT_EQ(francais.SeparateurDecimal, u',');
    const TRegionalTemporaire regional(francais.SeparateurDecimal, francais.FormatDateCourt,
                                       francais.FormatHeureLong);
    EXPECT_EQ(TexteDateHeure(QDateTime(QDate(2004, 1, 28), QTime(14, 5, 9))).toStdString(),
              "28/01/2004 14:05:09");
}

} // namespace
