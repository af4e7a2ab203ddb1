#pragma once

#include <memory>

class TAboutBox;
class TBeerForm;
class TCinetiqueForm;
class TComCfgDlg;
class TConstanteDlg;
class TFormDDE;
class TFormMain;
class TTraceSpectre;

// The windows created once at start, reached by name from anywhere, as the mode windows and
// the main window reach each other.
extern TFormMain* FormMain;
extern TAboutBox* AboutBox;
extern TCinetiqueForm* CinetiqueForm;
extern TConstanteDlg* ConstanteDlg;
extern TBeerForm* BeerForm;
extern TTraceSpectre* TraceSpectre;
extern TFormDDE* FormDDE;
extern TComCfgDlg* ComCfgDlg;

// Owns those windows: creates them in their fixed order, only the main window shown by the
// caller, and destroys them in the reverse order.
class TFenetres {
public:
    TFenetres();
    ~TFenetres();
    TFenetres(const TFenetres&) = delete;
    TFenetres& operator=(const TFenetres&) = delete;

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
