#include "BoitesScriptees.h"
#include "shell/Application.h"
#include "shell/BoitesQt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
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
