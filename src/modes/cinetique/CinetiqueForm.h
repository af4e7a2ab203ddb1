#pragma once

#include "graph/Graphe.h"
#include "modes/journal/Journal.h"

#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QStatusBar;
class QToolButton;
class TBoitePeinture;
class TSpinEdit;

// The large step button: its caption wraps over several lines.
class TGrandBouton : public QPushButton {
    Q_OBJECT
public:
    TGrandBouton(const QString& legende, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* evenement) override;
};

// An up/down pair of arrow buttons without an edit.
class TBoutonsHautBas : public QWidget {
    Q_OBJECT
public:
    explicit TBoutonsHautBas(QWidget* parent);
    QToolButton* Haut;
    QToolButton* Bas;
};

// The absorbance at one wavelength followed over time. One large button leads the user through
// the steps (wavelength, zero on the solvent, start); a timer then reads one absorbance every Dt
// seconds until the planned duration is over or the user stops.
class TCinetiqueForm : public QWidget {
    Q_OBJECT
public:
    explicit TCinetiqueForm(QWidget* parent = nullptr);
    ~TCinetiqueForm() override;

    // The long part of a hint, shown in the first panel of its status bar.
    void AfficheAide(const QString& texte);

    // The steps of a run, the values of Etat.
    enum : quint8 { EtatLambda = 0, EtatZero = 1, EtatAcquisition = 2, EtatFini = 3, EtatPret = 4 };

    // Elapsed times and periods are whole seconds; Duree never wraps (see MajDuree).
    qint32 Nbre = 64;
    quint16 Dt = 2;
    quint16 Duree = 128;
    quint8 Etat = EtatLambda;
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

    void SetEtat(quint8 e);
    // Shows the window with an interrupted run, finished and unsaved, and takes over its journal.
    void Restaure(const TJournalLu& journal);
    // "Sauvegarde" for a finished run not saved; false when the user stays with it.
    bool ProposeSauvegarde(const QString& titre);
    // The program ends: a run under way stops, a finished one is asked about when unsaved, then
    // its journal goes. False when the user chose to stay.
    bool FinProgramme();

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
    void ExitBtnClick();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void showEvent(QShowEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void FormCreate();
    void CreeControles();
    QWidget* CreePanneauOutils();
    void CreeBoutonsEtapes(QWidget* panneau);
    void CreeBoutonsOutils(QWidget* panneau);
    void CreeReglages(QWidget* panneau);
    void CreeAffichages(QWidget* panneau);
    void RelieControles();
    bool FormClose();
    void InitAttente();
    void EnregistrePoint();
    void FinAcquisition(const QString& raison);
    void VoieDisparue();
    void MajDuree();
    void MajNbre();
    void FinSaisieNbre();
    qint32 LongueurDOndeBornee();
    void FixeBornesLambda();
    void AfficheDuree();
    void OscilloPaint();
    bool EditBidonKeyPress(int touche);
    qint32 SecondesEcoulees() const;
    void RedessineGraphe();
    TChampsJournal ChampsJournal() const;
    void RestaureReglages(const TChampsJournal& champs);

    quint32 debutMs_ = 0;         // start of the run on the monotonic clock
    bool lectureEnCours_ = false; // a tick is waiting for the instrument
    int lecturesPerdues_ = 0;     // readings in a row that gave no value
    static constexpr int kLecturesPerduesAvantAvis = 3;
    bool centree_ = false;
};
