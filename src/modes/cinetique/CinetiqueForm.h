#pragma once

#include "graph/Graphe.h"
#include "modes/cinetique/CinetiqueControles.h"
#include "modes/cinetique/DeroulementCinetique.h"
#include "modes/cinetique/PlanCinetique.h"
#include "modes/journal/Journal.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QStatusBar;
class QToolButton;
class TBoitePeinture;
class TSpinEdit;
class TTableauPoints;

// The absorbance at one wavelength followed over time. One large button leads the user through
// the steps (wavelength, zero on the solvent, start); a timer then reads one absorbance every Dt
// seconds until the planned duration is over or the user stops. The plan and the course of the
// run are plain objects; the window shows them and wires the controls to them.
class TCinetiqueForm : public QWidget {
    Q_OBJECT
public:
    explicit TCinetiqueForm(QWidget* parent = nullptr);
    ~TCinetiqueForm() override;

    // The long part of a hint, shown in the first panel of its status bar.
    void AfficheAide(const QString& texte);

    enum : quint8 {
        EtatLambda = TDeroulementCinetique::EtatLambda,
        EtatZero = TDeroulementCinetique::EtatZero,
        EtatAcquisition = TDeroulementCinetique::EtatAcquisition,
        EtatFini = TDeroulementCinetique::EtatFini,
        EtatPret = TDeroulementCinetique::EtatPret
    };

    // Nbre, Dt and Duree: the plan of the next run, or of the run under way.
    TPlanCinetique Plan;
    bool Sauve = false;
    double DerniereAbs = 0;
    std::unique_ptr<Tgraphe> Graphe;

    TGrandBouton* LambdaBtn;
    TGrandBouton* ZeroBtn;
    TGrandBouton* StartBtn;
    QToolButton* StopBtn;
    QToolButton* ResetBtn;
    QToolButton* FileSaveBtn;
    QToolButton* ClipSaveBtn;
    QToolButton* RegSaveBtn;
    QToolButton* RepereBtn;
    QToolButton* PrintBtn;
    QToolButton* TableauBtn;
    QPushButton* ZeroBtnBis;
    QPushButton* ExitBtn;
    TSpinEdit* LambdaSE;
    TBoutonsHautBas* DureeSB;
    QLineEdit* NbreEdit;
    TBoutonsHautBas* NbreSpin;
    QLabel* LabelDeltat;
    QLineEdit* DureeEdit;
    QLabel* PanelDuree;
    QLabel* PanelAbs;
    QLabel* LectureS;
    TBoitePeinture* Oscillo;
    QLineEdit* EditBidon;
    QStatusBar* StatusBar;
    QTimer* Timer;

    // The run in progress, or finished and not yet saved, journaled against a crash.
    TJournal Journal{DossierJournaux()};

    // The current step, Etat.
    quint8 Etat() const { return deroulement_.Etat; }
    void SetEtat(quint8 e);
    // Shows the window with an interrupted run, finished and unsaved, and takes over its journal.
    void Restaure(const TJournalLu& journal);
    // "Sauvegarde" for a finished run not saved; false when the user stays with it.
    bool ProposeSauvegarde(const QString& titre);
    // The program ends: a run under way stops, a finished one is asked about when unsaved, then
    // its journal goes. False when the user chose to stay.
    bool FinProgramme();
    // "Tableau": the points of the run, in a window of their own made at the first click.
    TTableauPoints* Tableau() const { return tableau_; }

public slots:
    void LambdaBtnClick();
    void ZeroBtnClick();
    void ZeroBtnBisClick();
    void StartBtnClick();
    void TimerTimer();
    void StopBtnClick();
    void ResetBtnClick();
    void DureeSBUpClick();
    void DureeSBDownClick();
    void NbreSpinUpClick();
    void NbreSpinDownClick();
    void NbreEditChange();
    void LambdaSEChange();
    void SaveItemClick();
    void ClipSaveBtnClick();
    void RegSaveBtnClick();
    void PrintBtnClick();
    void TableauBtnClick();
    void ExitBtnClick();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void showEvent(QShowEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // What the journal is told of the run.
    enum class TChangement { Debut, Point, Reglages, Fin };

    void FormCreate();
    // Building the controls (CinetiqueControles.cpp).
    void CreeControles();
    QWidget* CreePanneauOutils();
    void CreeBoutonsEtapes(QWidget* panneau);
    void CreeBoutonsOutils(QWidget* panneau);
    void CreeReglages(QWidget* panneau);
    void CreeAffichages(QWidget* panneau);
    // The controls, the timer, the drawing and the journal wired to the window.
    void RelieControles();
    void MontreEtape(quint8 e);
    bool FormClose();
    void InitAttente();
    void EnregistrePoint();
    void FinAcquisition(const QString& raison);
    void VoieDisparue();
    void PlanChange();
    void FinSaisieNbre();
    qint32 LongueurDOndeBornee();
    void FixeBornesLambda();
    void AfficheDuree();
    void EffacePanneaux();
    void OscilloPaint();
    bool EditBidonKeyPress(int touche);
    // The graph and the table of points show the curve again.
    void RedessineGraphe();
    // The one way the journal hears of the run (CinetiqueSauvegarde.cpp, with the saving).
    void Journalise(TChangement changement);
    TChampsJournal ChampsJournal() const;

    TDeroulementCinetique deroulement_;
    bool centree_ = false;
    TTableauPoints* tableau_ = nullptr;
};
