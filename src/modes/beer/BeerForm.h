#pragma once

#include "graph/Graphe.h"
#include "modes/beer/SessionBeer.h"
#include "modes/journal/Journal.h"

#include <QString>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;
class QTimer;
class QToolButton;
class TBoitePeinture;
class TSpinEdit;
class TTableauPoints;
struct TEntetePage;

// "Loi de Beer-Lambert": absorbance readings at one wavelength, one per user action, each paired
// with a quantity x (the rank, a standard's concentration or any quantity typed: see
// TSessionBeer). The window reads the instrument, shows the table, the calibration line and the
// unknown samples, and journals the table; its controls are built in BeerControles.cpp.
class TBeerForm : public QWidget {
    Q_OBJECT
public:
    explicit TBeerForm(QWidget* parent = nullptr);
    ~TBeerForm() override;

    // The long part of a hint, shown in the first panel of its status bar.
    void AfficheAide(const QString& texte);

    Tgraphe Graphe; // its curve is the point table
    TSessionBeer Session{Graphe.Courbe, Graphe.MondeX, Graphe.MondeY};
    // The point table until it is saved or discarded, journaled against a crash.
    TJournal Journal{DossierJournaux()};

    QWidget* BoutonsPanel;
    QToolButton* ClipSaveBtn;
    QToolButton* RegSaveBtn;
    QToolButton* FileSaveBtn;
    QToolButton* ModeBtn;
    QToolButton* ResetBtn;
    QToolButton* UndoBtn;
    QToolButton* TableauBtn;
    QLabel* LabelLambda;
    TSpinEdit* LambdaSE;
    QPushButton* MajBtn;
    QPushButton* ZeroBtn;
    QToolButton* PrintBtn;
    QToolButton* ExitBtn;
    QLabel* LabelClavier;
    QLineEdit* ClavierEdit;
    QPushButton* EnregistreBtn;
    QLineEdit* EnregistreEdit; // zero pixels wide: takes the space bar in mode 0
    TBoitePeinture* Oscillo;
    QWidget* Panel1;
    QTableWidget* BeerMesureGrid;
    QTableWidget* beerCalcGrid;
    QLabel* LoiLabel;           // "A = k × c" of the line drawn
    QLabel* DeterminationLabel; // its R²
    QLabel* EcartLabel;
    QStatusBar* StatusBar;
    QTimer* Timer;
    TTableauPoints* Tableau; // "Tableau": the point table in a window of its own

    // Shows the window with the points of an interrupted series, unsaved, and takes over its
    // journal.
    void Restaure(const TJournalLu& journal);
    // "Sauvegarde" for a table of more than two points not saved; false when the user stays
    // with it.
    bool ProposeSauvegarde(const QString& titre);
    // The program ends: its table is asked about when unsaved, then its journal goes. False
    // when the user chose to stay.
    bool FinProgramme();
    // The settling wait after a wavelength change is running.
    bool AttenteLambda() const { return Session.Attente.Stabilisation(); }

public slots:
    void OscilloPaint();
    void AcquisitionItemClick();
    void EnregistreBtnClick();
    void UndoBtnClick();
    void ResetBtnClick();
    void LambdaSEChange();
    void TimerTimer();
    void MajBtnClick();
    void ZeroBtnClick();
    void SaveItemClick();
    void ClipSaveBtnClick();
    void RegSaveBtnClick();
    void PrintBtnClick();
    void TableauBtnClick();
    void ExitItemClick();

protected:
    bool event(QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // BeerControles.cpp
    void CreeControles();
    void CreeBoutons();
    QLayout* CreeLigneAppareil();
    QLayout* CreeLigneSaisie();
    void CreePanneauDroit();

    void Relie();
    void FormCreate();
    bool FormClose();
    void InitAttente();
    void MajControles();
    void MajSaisie();
    bool EnregistreEditKeyPress(const QKeyEvent& touche);
    bool ClavierEditKeyPress(const QKeyEvent& touche);
    bool ConfirmeHorsAxe(double valeur);
    bool Occupe();
    bool Refuse(TSessionBeer::TRefus refus);
    bool LitAbsorbance(double& absorbance);
    void EnregistreLecture(double absorbance);
    void EnregistrePointClavier(double valeur);
    void FinAttenteLambda();
    void FocusSurLaSaisie();
    void Message(const QString& texte);

    // The one way the journal and the "Tableau" window hear of the table: a point taken, taken
    // back, the quantity changed, or the table saved, sent or let go (BeerSauvegarde.cpp).
    void Journalise(TSessionBeer::TChangement changement);
    // What a printed page tells above the graph: the mode, now, the wavelength, the page
    // information and the law of the line drawn.
    TEntetePage Entete() const;
    TChampsJournal ChampsJournal() const;

    // The table and the calibration on screen (BeerVue.cpp).
    static void Cellule(QTableWidget& grille, int ligne, int colonne, const QString& texte);
    void AjoutePoint(int i);
    void MontreInconnue(int j);
    void MontreEtalonnage();
    void RemplitMesures();
    void TraceEtalonnage();
    void RemplitInconnue(int j);
    void RemplitGrilleCalcul();
    // The texts of the fit beside the grids: law, R² and deviation, empty without a line.
    void MajEcart();

    bool sablier_ = false;
};

// The far end of the calibration line from the origin: at the right end of the axis, or, when
// that lies above the drawing, at the height of MondeY.Maxi. False without a positive slope.
bool ExtremiteDroite(const Tgraphe& graphe, double pente, int& px, int& py);
