#include "shell/Fenetres.h"

#include "exchange/ConstanteDlg.h"
#include "exchange/FormDDE.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/AboutBox.h"
#include "shell/ComCfgDlg.h"
#include "shell/FormMain.h"

TFormMain* FormMain = nullptr;
TAboutBox* AboutBox = nullptr;
TCinetiqueForm* CinetiqueForm = nullptr;
TBeerForm* BeerForm = nullptr;
TTraceSpectre* TraceSpectre = nullptr;
TComCfgDlg* ComCfgDlg = nullptr;

namespace {
template <class T> void Cree(std::unique_ptr<T>& proprietaire, T*& global) {
    proprietaire = std::make_unique<T>();
    global = proprietaire.get();
}

template <class T> void Detruit(std::unique_ptr<T>& proprietaire, T*& global) {
    global = nullptr;
    proprietaire.reset();
}
} // namespace

TFenetres::TFenetres() {
    Cree(formMain_, FormMain);
    FixeAiguillage(this);
    Cree(aboutBox_, AboutBox);
    Cree(cinetiqueForm_, CinetiqueForm);
    Cree(constanteDlg_, ConstanteDlg);
    Cree(beerForm_, BeerForm);
    Cree(traceSpectre_, TraceSpectre);
    Cree(formDDE_, FormDDE);
    comCfgDlg_ = std::make_unique<TComCfgDlg>(*FormMain->VoieSerie);
    ComCfgDlg = comCfgDlg_.get();
}

TFenetres::~TFenetres() {
    Detruit(comCfgDlg_, ComCfgDlg);
    Detruit(formDDE_, FormDDE);
    Detruit(traceSpectre_, TraceSpectre);
    Detruit(beerForm_, BeerForm);
    Detruit(constanteDlg_, ConstanteDlg);
    Detruit(cinetiqueForm_, CinetiqueForm);
    Detruit(aboutBox_, AboutBox);
    FixeAiguillage(nullptr);
    Detruit(formMain_, FormMain);
}

quint8 TFenetres::ModeCourant() const {
    return FormMain->ModeCourant;
}

QWidget* TFenetres::FenetreDuMode(quint8 mode) const {
    switch (mode) {
    case 0:
        return FormMain;
    case 1:
        return TraceSpectre;
    case 2:
        return CinetiqueForm;
    case 3:
        return BeerForm;
    default:
        return nullptr;
    }
}

void TFenetres::ChoixMode(quint8 mode) {
    FormMain->ChoixMode(mode);
}
