#pragma once

#include "graph/Canevas.h"
#include "graph/Graphe.h"
#include "modes/journal/Journal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;
class TApdComPort;
class TBoitePeinture;
class TSpinEdit;

// The line being received from the instrument, in a fixed buffer: characters beyond its
// capacity are dropped.
class TLigneRecue {
public:
    static constexpr int Capacite = 255;

    void Ajoute(char c) {
        if (longueur_ < Capacite)
            octets_[longueur_++] = c;
    }
    void Vide() { longueur_ = 0; }
    int Longueur() const { return longueur_; }
    QByteArray Texte() const { return QByteArray(octets_.data(), longueur_); }

private:
    std::array<char, Capacite> octets_{};
    int longueur_ = 0;
};

// A scan line read: the wavelength and the absorbance, their texts as received and the decimal
// separator they were written with (null when neither has one).
struct TLigneSpectre {
    double Lambda = 0;
    double Absorbance = 0;
    QByteArray TexteLambda;
    QByteArray TexteAbs;
    QChar Separateur;
};

// The wavelength, a comma and the absorbance, each number with a point or a comma as decimal
// separator: the line is split at the first comma that leaves a number on each side, each text
// cut to its first 20 characters. Nothing for a line of another form, or one that starts with a
// comma.
std::optional<TLigneSpectre> LitLigneSpectre(QByteArrayView ligne);

// The range a scan was asked for, in nm; a line is expected within one step of it.
struct TPlageBalayage {
    double Debut = 0;
    double Fin = 0;
    double Pas = 1;

    bool Contient(double lambda) const;
};

// Where the graph goes on a printed page: a margin of a twentieth of the page on each side, and
// only the upper half of a portrait page.
TRectangle ZoneImpressionSpectre(TRectangle page, bool portrait);

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

    // 0 idle, 1 baseline running, 2 scan running.
    static constexpr quint8 Repos = 0;
    static constexpr quint8 LigneDeBaseEnCours = 1;
    static constexpr quint8 BalayageEnCours = 2;

    Tgraphe Graphe;
    quint8 Etat = Repos;
    bool BlancFait = false; // a baseline completed since the last activation
    bool Sauve = true;      // the spectrum on screen was saved, copied or sent
    TLigneRecue Ligne;
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

    // The scan set-up is being sent to the instrument (a few hundred milliseconds, during which
    // events run): a second set-up is not started meanwhile.
    bool ReglageEnCours() const { return reglageEnCours_; }

    // Bytes from the instrument, handled one by one as TriggerAvail hands them over.
    void RecoitOctets(QByteArrayView octets);
    // The state of a new scan over `plage`, its input just purged: the curve emptied, and when
    // the purge cut a line, what is left of that line dropped up to its carriage return.
    void CommenceBalayage(const TPlageBalayage& plage, bool ligneCoupee);
    const TPlageBalayage& PlageDemandee() const { return plage_; }

    // During a scan the picture and the panels follow the line at most this often.
    static constexpr int IntervalleTrame = 33;
    // A line left unfinished this long is dead (the instrument stopped in its middle, or sent
    // bytes without end): what comes next starts a line. Its bytes come some ms apart.
    static constexpr int LigneMorteMs = 500;
    // How long the instrument may stay without progress, in milliseconds, before the baseline (its
    // one reply) or the scan (its next line) is given up with the points taken so far.
    int DelaiLigneDeBase = 300000;
    int DelaiBalayage = 60000;

public slots:
    void FormActivate();
    void PaintBoxPaint();
    void PaintBoxMouseMove(Qt::KeyboardModifiers touches, int x, int y);
    void SpectreBtnClick();
    void BlancBtnClick();
    void DebutSEChange();
    void ReticuleBtnClick();
    void SauveSpectreClick();
    void ClipSaveBtnClick();
    void RegSaveBtnClick();
    void PrintBtnClick();
    void ExitItemClick();

protected:
    bool event(QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;

private:
    void ConstruitBarre();
    void FormCreate();
    void InitAppareil();
    void TriggerAvail(TApdComPort& voie, quint16 nombre);
    void RecoitCaractere(quint8 code);
    void FinDeLigne();
    void FinDeLigneDeBase();
    void TraiteLigne();
    // Discards what the instrument has sent; true when that cut a line.
    bool VideEntree(TApdComPort& voie);
    // A line is coming in: some of it received, and recently.
    bool LigneEnCours() const;
    void FinDuBalayage();
    void VoieDisparue();
    void SilenceAppareil();
    void Interrompt(const QString& aide);
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
    TPlageBalayage plage_;
    double dernierLambda_ = 0;   // of the last line taken in this scan
    bool premiereLigne_ = true;  // no line taken yet in this scan
    bool resteCoupe_ = false;    // the rest of a line cut by a purge is being dropped
    QElapsedTimer dernierOctet_; // since the last byte received
};
