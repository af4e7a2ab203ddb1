#pragma once

#include "base/Aiguillage.h"

#include <memory>

class TAboutBox;
class TBeerForm;
class TCinetiqueForm;
class TComCfgDlg;
class TConstanteDlg;
class TFormDDE;
class TFormMain;
class TTraceSpectre;

// The windows created once at start, reached by name by the application and the tests. The
// page information dialog and the DDE window, which the exchange floor reaches, are declared with
// their classes (ConstanteDlg, FormDDE).
extern TFormMain* FormMain;
extern TAboutBox* AboutBox;
extern TCinetiqueForm* CinetiqueForm;
extern TBeerForm* BeerForm;
extern TTraceSpectre* TraceSpectre;
extern TComCfgDlg* ComCfgDlg;

// Owns every window of the program: creates them in their fixed order, only the main window shown
// by the caller, and destroys them in the reverse order. While the main window exists it is the
// program's mode switch (Aiguillage) for the floors below.
class TFenetres final : public TAiguillage {
public:
    TFenetres();
    ~TFenetres() override;
    TFenetres(const TFenetres&) = delete;
    TFenetres& operator=(const TFenetres&) = delete;

    quint8 ModeCourant() const override;
    QWidget* FenetreDuMode(quint8 mode) const override;
    void ChoixMode(quint8 mode) override;

private:
    std::unique_ptr<TFormMain> formMain_;
    std::unique_ptr<TAboutBox> aboutBox_;
    std::unique_ptr<TCinetiqueForm> cinetiqueForm_;
    std::unique_ptr<TConstanteDlg> constanteDlg_;
    std::unique_ptr<TBeerForm> beerForm_;
    std::unique_ptr<TTraceSpectre> traceSpectre_;
    std::unique_ptr<TFormDDE> formDDE_;
    std::unique_ptr<TComCfgDlg> comCfgDlg_;
};
