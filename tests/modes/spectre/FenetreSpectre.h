#pragma once

#include "BoitesScriptees.h"
#include "LigneBrute.h"
#include "OutilsTests.h"
#include "base/Controles.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QComboBox>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The spectrum window in the program: every window created, the instrument on COM1 (whatever
// the test put there before Ouvre), the spectrum mode chosen from the main window.
class FenetreSpectre : public ::testing::Test {
protected:
    void TearDown() override {
        fenetres.reset();
        Spectro = TspectroJenway{};
    }

    // `reglages` changes the instrument settings before the windows are created.
    void Ouvre(const std::function<void(TspectroJenway&)>& reglages = {}) {
        Spectro = TspectroJenway{};
        if (reglages)
            reglages(Spectro);
        fenetres = std::make_unique<TFenetres>();
        F = TraceSpectre;
        FormMain->ChoixMode(1);
        ASSERT_TRUE(Attend([this] { return F->isActiveWindow(); }));
        AttendFinReglage();
    }
    void AttendFinReglage() {
        ASSERT_TRUE(Attend([this] { return !F->ReglageEnCours(); }));
    }
    void Plage(int debut, int fin, int pas) {
        F->DebutSE->SetValue(debut);
        F->FinSE->SetValue(fin);
        F->DebutSE->SetValue(debut);
        F->PasCB->setCurrentIndex(pas);
    }
    void LigneDeBase(const std::function<void()>& reponse = {}) {
        F->BlancBtn->click();
        ASSERT_EQ(F->Recepteur.Etat(), TEtatSpectre::LigneDeBaseEnCours);
        if (reponse)
            reponse();
        ASSERT_TRUE(Attend([this] { return F->Recepteur.BlancFait(); }));
        EXPECT_TRUE(F->SpectreBtn->isEnabled());
    }

    TBoitesScriptees boites;
    std::unique_ptr<TFenetres> fenetres;
    TTraceSpectre* F = nullptr;
};

// The test plays the instrument on a bare line, to send what it likes: the window is open and its
// baseline done; the scan asked for runs from 400 to 800 nm by 0.2 nm.
class FenetreLigneBrute : public FenetreSpectre {
protected:
    void SetUp() override {
        Ouvre();
        ASSERT_TRUE(ligne.AttendRecu("SI0.2\r"));
        LigneDeBase([this] {
            ASSERT_TRUE(ligne.AttendRecu("PB\r"));
            ligne.Envoie("0.000\r");
        });
    }

    TLigneBrute ligne;
    int spectres = 0;
};
