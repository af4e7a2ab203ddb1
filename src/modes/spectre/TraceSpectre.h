#pragma once

#include "graph/Canevas.h"
#include "graph/Graphe.h"
#include "graph/PageImprimee.h"
#include "modes/journal/Journal.h"
#include "modes/spectre/Maxima.h"
#include "modes/spectre/RecepteurSpectre.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QStatusBar;
class QToolBar;
class QToolButton;
class TApdComPort;
class TBoitePeinture;
class TSpinEdit;
class TTableauPoints;

// The spectrum trace: the instrument scans a range of wavelengths after a baseline on the
// blank and sends one "wavelength,absorbance" line per step; each point joins the graph's curve
// as it arrives. The finished spectrum is saved, copied, sent to Tablarix or printed.
//
// The window keeps its spectrum when it is left: coming back shows it again, and it can still be
// saved until the next scan replaces it.
class TTraceSpectre : public QWidget {
    Q_OBJECT
public:
    explicit TTraceSpectre(QWidget* parent = nullptr);
    ~TTraceSpectre() override;

    // The long part of a hint, shown in the third panel of its status bar.
    void AfficheAide(const QString& texte);

    Tgraphe Graphe;
    // The instrument's lines during a baseline or a scan, the points going into Graphe's curve.
    TRecepteurSpectre Recepteur{Graphe.Courbe};
    bool Sauve = true; // the spectrum on screen was saved, copied or sent
    // The scan from its first line until it is saved or discarded, journaled against a crash.
    TJournal Journal{DossierJournaux()};

    // Shows the window with an interrupted scan, finished and unsaved, and takes over its journal.
    void Restaure(const TJournalLu& journal);
    // "Sauvegarde" for a spectrum not saved; false when the user stays with it.
    bool ProposeSauvegarde(const QString& titre);
    // The program ends: its spectrum is asked about when unsaved, then its journal goes. False
    // when the user chose to stay.
    bool FinProgramme();

    QToolBar* ToolBar;
    QToolButton* FileSaveBtn;
    QToolButton* ClipSaveBtn;
    QToolButton* RegSaveBtn;
    QToolButton* SpectreBtn;
    QToolButton* BlancBtn;
    QToolButton* ReticuleBtn;
    QToolButton* AjusteBtn;
    QToolButton* VueCompleteBtn;
    QToolButton* TableauBtn;
    TSpinEdit* DebutSE;
    QComboBox* PasCB;
    TSpinEdit* FinSE;
    QToolButton* PrintBtn;
    QToolButton* ExitBtn;
    QLabel* PanelLambda;
    QLabel* PanelAbs;
    TBoitePeinture* PaintBox;
    QStatusBar* StatusBar;
    std::array<QLabel*, 3> Panels; // wavelength and absorbance read-outs, hint
    QLabel* PanelMaxima;           // the maxima of the last scan
    QLabel* PanelBlanc;            // "Ligne de base… 12 s" while the baseline runs
    QProgressBar* AttenteBlanc;    // busy beside it
    TTableauPoints* Tableau;

    // The absorption maxima of the last scan, found once it has ended.
    const std::vector<TMaximum>& Maxima() const { return maxima_; }
    // The graph shows the frame fitted to the points ("Ajuster"), not the settings' frame.
    bool Ajuste() const { return ajuste_; }
    // What the printed page says above the graph.
    TEntetePage Entete() const;

    // The scan set-up is being sent to the instrument (a few hundred milliseconds, during which
    // events run): a second set-up is not started meanwhile.
    bool ReglageEnCours() const { return reglageEnCours_; }

    // Bytes from the instrument, handled one by one as TriggerAvail hands them over.
    void RecoitOctets(QByteArrayView octets);
    // A new scan over `plage`, its input just purged (see TRecepteurSpectre::CommenceBalayage).
    void CommenceBalayage(const TPlageBalayage& plage, bool ligneCoupee);

    // During a scan the picture and the panels follow the line at most this often.
    static constexpr int IntervalleTrame = 33;

public slots:
    void FormActivate();
    void PaintBoxPaint();
    void PaintBoxMouseMove(Qt::KeyboardModifiers touches, int x, int y);
    void SpectreBtnClick();
    void BlancBtnClick();
    void DebutSEChange();
    void ReticuleBtnClick();
    void AjusteBtnClick();
    void VueCompleteBtnClick();
    void TableauBtnClick();
    void SauveSpectreClick();
    void ClipSaveBtnClick();
    void RegSaveBtnClick();
    void PrintBtnClick();
    void ExitItemClick();

protected:
    bool event(QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;

private:
    // What the run's journal hears of the spectrum: a scan replaces it, a point is stored, the
    // scan ends, or the spectrum is saved or sent.
    enum class TMomentJournal { Remplace, Point, Fin, Regle };

    // The controls and their layout, built in their own file.
    void ConstruitPage();
    void ConstruitBarre();
    void ConstruitBarreEtat();
    void ConnecteBarre();
    void FormCreate();
    void InitAppareil();
    void TriggerAvail(TApdComPort& voie, quint16 nombre);
    void RecoitCaractere(quint8 code);
    void FinDeLigneDeBase();
    void AffichePoint(const TLigneTraitee& traitee);
    void FinDuBalayage();
    // The scan has stopped, at its end or not: its maxima are found and marked.
    void MontreMaxima();
    // The settings' frame, the whole range the instrument can scan.
    void CadreComplet();
    void ChangeCadre(const std::function<void()>& change);
    // The baseline's indicator follows the receiver's state.
    void SuitLigneDeBase();
    void AfficheAttenteBlanc();
    void VoieDisparue();
    void SilenceAppareil();
    void MontreInterruption(const QString& aide);
    // The watchdog runs while the instrument owes a reply, for as long as it may take.
    void Surveille();
    void Journalise(TMomentJournal moment);
    void MajBoutons();
    void MajControles();
    // The instrument's limits leave room for the shortest scan.
    bool PlagePossible() const;
    // The fields show the settings within the instrument's limits, and the settings keep what
    // the fields show.
    void MontreReglages();
    // The fields into the settings, within the limits; false, the user told, when the limits
    // leave no range to scan.
    bool LitReglages();
    bool FormClose();
    void DemandeTrame(bool repeindre);
    void Trame();

    bool reglageEnCours_ = false;
    // Drawing keeps up with the line without following each point: texts and full drawings
    // asked for while the frame timer runs wait for its end.
    QTimer trame_;
    QTimer silence_; // runs while the instrument owes a reply
    bool trameEnAttente_ = false;
    bool repeintEnAttente_ = false;
    QByteArray texteLambda_;
    QByteArray texteAbs_;
    bool ajuste_ = false;
    std::vector<TMaximum> maxima_;
    TBalayage balayage_;  // of the spectrum on screen, for the printed page
    TRepere reticuleLu_;  // the point the reticle reads
    QTimer attenteBlanc_; // ticks the elapsed seconds of the baseline
    QElapsedTimer debutBlanc_;
};
