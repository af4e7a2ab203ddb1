#include "BoitesScriptees.h"
#include "shell/Application.h"

#include <QCoreApplication>
#include <QEvent>

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

} // namespace
