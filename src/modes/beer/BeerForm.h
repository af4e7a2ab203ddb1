#pragma once

#include "graph/Graphe.h"
#include "modes/beer/Etalonnage.h"
#include "modes/journal/Journal.h"

#include <QString>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;
class QTimer;
class QToolButton;
class TBoitePeinture;
class TSpinEdit;

// "Loi de Beer-Lambert": absorbance readings at one wavelength, one per user action, each paired
// with a quantity x. Mode 0 (A seul): x is the rank, a point per space bar or "Enregistrer".
// Mode 1 (Beer): x is the concentration typed for a standard; the standards give the
// calibration line through the origin and "Concentration ?" measures unknown samples.
// Mode 2 (A(x)): x is any quantity typed, described in the mode dialog.
class TBeerForm : public QWidget {
    Q_OBJECT
public:
    explicit TBeerForm(QWidget* parent = nullptr);
    ~TBeerForm() override;

    // The long part of a hint, shown in the first panel of its status bar.
    void AfficheAide(const QString& texte);

    bool Sauve = true; // the table is saved, or holds fewer than two points
    double AbsLue = 0;
    double ValeurClavier = 0;
    double Pente = 0; // of the calibration line; kept until the next fit
    TInconnues Inconnues;
    bool DerniereInconnue = false; // the last entry taken was an unknown sample
    quint8 Mode = 0;
    Tgraphe Graphe;     // its curve is the point table
    QString EcartTexte; // the RMS deviation of the last fit, shown under the grids
    // The point table until it is saved or discarded, journaled against a crash.
    TJournal Journal{DossierJournaux()};

    QWidget* BoutonsPanel;
    QToolButton* ClipSaveBtn;
    QToolButton* RegSaveBtn;
    QToolButton* FileSaveBtn;
    QToolButton* ModeBtn;
    QToolButton* ResetBtn;
    QToolButton* UndoBtn;
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
    QLabel* EcartLabel;
    QStatusBar* StatusBar;
    QTimer* Timer;

    void InitAttente();
    void MajControles();
    void AjoutePoint(int i);
    void EnregistrePointClavier();
    void FinAttenteLambda();
    void FocusSurLaSaisie();
    void CalculePente();
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
    bool AttenteLambda() const { return phase_ == TPhase::Stabilisation; }

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
    void ExitItemClick();

protected:
    bool event(QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // The timer blinks the update button, or waits for the instrument to reach a new wavelength.
    // The phase is kept apart from the interval, which may be 1000 ms in both.
    enum class TPhase { Arret, Clignotement, Stabilisation };

    void FormCreate();
    void CreeBoutons();
    void CreePanneauDroit();
    bool FormClose();
    bool EnregistreEditKeyPress(const QKeyEvent& touche);
    bool ClavierEditKeyPress(const QKeyEvent& touche);
    bool Occupe();
    bool LitAbsorbance(double& absorbance);
    bool TablePleine();
    void MesureInconnue();
    void AdapteAxes();
    void RemplitMesures();
    void TraceEtalonnage();
    void RemplitInconnue(int j);
    void RemplitGrilleCalcul();
    void VideEtalonnage();
    void MajEcart();
    void Message(const QString& texte);
    quint16& Nombre() { return Graphe.Courbe.NbPoints; }
    TChampsJournal ChampsJournal() const;
    void JournalisePoint(int i);

    TPhase phase_ = TPhase::Arret;
    bool clignoteRouge_ = false;
    bool sablier_ = false;
    bool lectureEnCours_ = false;
};

// The far end of the calibration line from the origin: at the right end of the axis, or, when
// that lies above the drawing, at the height of MondeY.Maxi. False without a positive slope.
bool ExtremiteDroite(const Tgraphe& graphe, double pente, int& px, int& py);
