#include "modes/spectre/TraceSpectre.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Utilitaires.h"
#include "exchange/TableauPoints.h"
#include "graph/BoitePeinture.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/journal/JournalFenetre.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kPointsAvantTrace = 8;

// Raises a flag for its lifetime.
class TDrapeauLeve {
public:
    explicit TDrapeauLeve(bool& drapeau) : drapeau_(drapeau) { drapeau_ = true; }
    ~TDrapeauLeve() { drapeau_ = false; }
    TDrapeauLeve(const TDrapeauLeve&) = delete;
    TDrapeauLeve& operator=(const TDrapeauLeve&) = delete;

private:
    bool& drapeau_;
};

} // namespace

TTraceSpectre::TTraceSpectre(QWidget* parent)
    : QWidget(parent, Qt::Window), ToolBar(new QToolBar(this)), PaintBox(new TBoitePeinture(this)),
      StatusBar(new QStatusBar(this)) {
    ConstruitPage();

    trame_.setSingleShot(true);
    trame_.setInterval(IntervalleTrame);
    connect(&trame_, &QTimer::timeout, this, [this] {
        if (trameEnAttente_)
            Trame();
    });
    attenteBlanc_.setInterval(1000);
    connect(&attenteBlanc_, &QTimer::timeout, this, &TTraceSpectre::AfficheAttenteBlanc);
    silence_.setSingleShot(true);
    connect(&silence_, &QTimer::timeout, this, &TTraceSpectre::SilenceAppareil);
    connect(PaintBox, &TBoitePeinture::Peinture, this, &TTraceSpectre::PaintBoxPaint);
    connect(PaintBox, &TBoitePeinture::SourisDeplacee, this, &TTraceSpectre::PaintBoxMouseMove);
    Journal.SurEchec = [this](const QString& texte) {
        AfficheAide(texte);
    };
    FormCreate();
}

// An unsettled spectrum's journal stays, for the next start: a normal end settles it first
// (FinProgramme).
TTraceSpectre::~TTraceSpectre() = default;

void TTraceSpectre::FormCreate() {
    Graphe.MondeX.Nom = "\x88";
    Graphe.MondeX.Unite = "nm";
    Graphe.MondeY.Nom = "A";
    Graphe.MondeY.Unite = "";
    Graphe.FixeMonde(Spectro.MiniL, 0, Spectro.MaxiL, Spectro.MaxiA);
    Graphe.ModeTrace = 0;
    Graphe.Canvas = &PaintBox->Canevas();

    MontreReglages();
    MajControles();
    MajBoutons();
}

void TTraceSpectre::AfficheAide(const QString& texte) {
    Panels[2]->setText(texte);
}

bool TTraceSpectre::event(QEvent* evenement) {
    const bool traite = QWidget::event(evenement);
    if (evenement->type() == QEvent::WindowActivate)
        AvecBoiteErreur([this] { FormActivate(); });
    return traite;
}

// Every activation asks for a new baseline: the instrument may have been used by hand, or by
// another mode, while the window was not active.
void TTraceSpectre::FormActivate() {
    if (reglageEnCours_)
        return;
    const TDrapeauLeve reglage(reglageEnCours_);
    // The settings go into the fields before the set-up, which sends them within the limits.
    MontreReglages();
    PasCB->setCurrentIndex(std::clamp(Spectro.PasL, 0, PasCB->count() - 1));
    InitAppareil();
    MajBoutons();
}

void TTraceSpectre::InitAppareil() {
    texteLambda_.clear();
    texteAbs_.clear();
    PanelLambda->clear();
    PanelAbs->clear();
    Recepteur.ExigeLigneDeBase();
    if (Spectro.Voie) {
        connect(Spectro.Voie, &TApdComPort::Disparu, this, &TTraceSpectre::VoieDisparue,
                Qt::UniqueConnection);
        // The port may outlive the window at the end of the program.
        Spectro.Voie->SetOnTriggerAvail(
            [fenetre = QPointer<TTraceSpectre>(this)](TApdComPort& voie, quint16 nombre) {
                if (fenetre)
                    fenetre->TriggerAvail(voie, nombre);
            });
    }
    PaintBox->Repeint();
    MajBoutons();
    // Without a port the main window has already said so; the baseline button will again, as
    // it will for limits that leave no range.
    if (Spectro.Voie && Spectro.Voie->Open() && PlagePossible())
        Spectro.LanceSpectre();
}

void TTraceSpectre::MajControles() {
    const bool repos = Recepteur.Etat() == TEtatSpectre::Repos;
    DebutSE->setEnabled(repos);
    FinSE->setEnabled(repos);
    PasCB->setEnabled(repos);
    SpectreBtn->setEnabled(Recepteur.BlancFait() && repos);
    AjusteBtn->setEnabled(repos && Graphe.Courbe.NbPoints > 0);
    VueCompleteBtn->setEnabled(ajuste_);
    SuitLigneDeBase();
    BlancBtn->setEnabled(true);
    ReticuleBtn->setEnabled(true);
    ExitBtn->setEnabled(true);
}

void TTraceSpectre::MajBoutons() {
    const bool points = Graphe.Courbe.NbPoints > 0;
    for (QToolButton* b : {FileSaveBtn, RegSaveBtn, ClipSaveBtn, PrintBtn})
        b->setEnabled(points);
    MajControles();
}

void TTraceSpectre::BlancBtnClick() {
    if (reglageEnCours_)
        return;
    if (!VoieSeriePrete() || !LitReglages())
        return;
    const TDrapeauLeve reglage(reglageEnCours_);
    AvecBoiteErreur([this] {
        Spectro.LanceSpectre();
        Recepteur.IgnoreLigneEnCours();
        Spectro.EnvoiCommande(Spectro.CmdLigneDeBase);
        Recepteur.CommenceLigneDeBase();
        attenteBlanc_.stop(); // a baseline asked again counts from now
        MajControles();
        Surveille();
    });
}

void TTraceSpectre::SpectreBtnClick() {
    if (reglageEnCours_)
        return;
    if (!VoieSeriePrete() || !LitReglages())
        return;
    const TDrapeauLeve reglage(reglageEnCours_);
    AvecBoiteErreur([this] {
        Spectro.LanceSpectre();
        Graphe.Canvas = &PaintBox->Canevas();
        Graphe.ZoneDessin = PaintBox->ZoneClient();
        // The replies to the set-up must never become points.
        const bool ligneCoupee = Recepteur.VideEntree(*Spectro.Voie);
        const qint32 pas = std::clamp(Spectro.PasL, 0, 2);
        CommenceBalayage({static_cast<double>(Spectro.DebutL), static_cast<double>(Spectro.FinL),
                          QByteArray(TableDesPas[pas]).toDouble()},
                         ligneCoupee);
        Spectro.EnvoiCommande(Spectro.CmdSpectre);
        Surveille();
        Journalise(TMomentJournal::Remplace);
    });
}

// The new points need the whole range: the settings' frame comes back, the old maxima go.
void TTraceSpectre::CommenceBalayage(const TPlageBalayage& plage, bool ligneCoupee) {
    Recepteur.CommenceBalayage(plage, ligneCoupee);
    balayage_ = {plage.Debut, plage.Fin, plage.Pas};
    maxima_.clear();
    Graphe.Reperes.clear();
    PanelMaxima->clear();
    CadreComplet();
    Tableau->Actualise();
    PaintBox->Repeint();
    MajControles();
}

void TTraceSpectre::TriggerAvail(TApdComPort& voie, quint16 nombre) {
    for (quint16 i = 0; i < nombre && voie.CharAvailable(); ++i)
        RecoitCaractere(voie.ReadChar());
}

void TTraceSpectre::RecoitOctets(QByteArrayView octets) {
    for (const char octet : octets)
        RecoitCaractere(static_cast<quint8>(octet));
}

void TTraceSpectre::RecoitCaractere(quint8 code) {
    const TLigneTraitee traitee = Recepteur.Recoit(code);
    if (traitee.Sorte == TLigneTraitee::ReponseLigneDeBase)
        FinDeLigneDeBase();
    else if (traitee.Sorte == TLigneTraitee::Point)
        AffichePoint(traitee);
}

void TTraceSpectre::FinDeLigneDeBase() {
    Spectro.NoteSeparateur(Recepteur.Separateur());
    Surveille();
    MajBoutons();
}

// Each point shows as it comes: stored, journaled, drawn with the next ones, its texts in the
// panels.
void TTraceSpectre::AffichePoint(const TLigneTraitee& traitee) {
    Spectro.NoteSeparateur(Recepteur.Separateur());
    if (traitee.Stocke) {
        Journalise(TMomentJournal::Point);
        if (Tableau->isVisible()) // a hidden table catches up when shown
            Tableau->Actualise();
        Sauve = false; // leaving now asks about the points taken so far
    }
    Surveille();
    Tcourbe& courbe = Graphe.Courbe;
    bool repeindre = false;
    if (courbe.NbPoints - courbe.NbTraces > kPointsAvantTrace) {
        if (courbe.NbTraces == 0) {
            repeindre = true;
        } else {
            Graphe.Canvas = &PaintBox->Canevas();
            Graphe.TraceCourbeSuite();
        }
    }
    texteLambda_ = Recepteur.Lu().TexteLambda;
    texteAbs_ = Recepteur.Lu().TexteAbs;
    if (traitee.Fin)
        FinDuBalayage();
    else
        DemandeTrame(repeindre);
}

void TTraceSpectre::FinDuBalayage() {
    Surveille();
    Journalise(TMomentJournal::Fin);
    MajControles();
    MajBoutons();
    Spectro.SignaleSeparateur();
    MontreMaxima();
    // The last point is on screen at once, with the maxima marked.
    trame_.stop();
    repeintEnAttente_ = true;
    Trame();
}

// The main window has told the user; the points taken so far stay, ready to be saved.
void TTraceSpectre::VoieDisparue() {
    const TEtatSpectre etat = Recepteur.VoieDisparue();
    if (etat == TEtatSpectre::Repos)
        return;
    MontreInterruption(
        etat == TEtatSpectre::BalayageEnCours
            ? QStringLiteral("Balayage interrompu : l'appareil ne répond plus")
            : QStringLiteral("Ligne de base interrompue : l'appareil ne répond plus"));
}

// The instrument went quiet, or sends only lines that cannot be read: the user must look at it.
// A baseline done before a scan stays valid.
void TTraceSpectre::SilenceAppareil() {
    const TEtatSpectre etat = Recepteur.Interrompt();
    if (etat == TEtatSpectre::BalayageEnCours)
        MontreInterruption(
            QStringLiteral("Balayage interrompu : l'appareil ne répond plus ou envoie des "
                           "lignes illisibles. Vérifiez-le puis relancez le spectre."));
    else if (etat == TEtatSpectre::LigneDeBaseEnCours)
        MontreInterruption(QStringLiteral("Ligne de base sans réponse de l'appareil : "
                                          "vérifiez-le puis refaites le blanc."));
}

// The baseline or the scan has been given up; the points taken stay, ready to be saved, their
// maxima shown.
void TTraceSpectre::MontreInterruption(const QString& aide) {
    Surveille();
    MontreMaxima();
    MajBoutons();
    AfficheAide(aide);
    Spectro.SignaleSeparateur();
    trame_.stop();
    repeintEnAttente_ = true;
    Trame();
}

void TTraceSpectre::Surveille() {
    if (const std::optional<int> delai = Recepteur.Delai())
        silence_.start(*delai);
    else
        silence_.stop();
}

void TTraceSpectre::DemandeTrame(bool repeindre) {
    repeintEnAttente_ = repeintEnAttente_ || repeindre;
    if (trame_.isActive()) {
        trameEnAttente_ = true;
        return;
    }
    Trame();
}

void TTraceSpectre::Trame() {
    trameEnAttente_ = false;
    PanelLambda->setText(AnsiVersEcran(texteLambda_));
    PanelAbs->setText(AnsiVersEcran(texteAbs_));
    if (repeintEnAttente_) {
        repeintEnAttente_ = false;
        PaintBox->RepeintMaintenant();
    }
    trame_.start();
}

void TTraceSpectre::ExitItemClick() {
    close(); // FormClose leaves the mode
}

// Closed by its exit button or by its frame, the window leaves the mode the same way.
void TTraceSpectre::closeEvent(QCloseEvent* evenement) {
    evenement->setAccepted(FormClose());
}

// False when the user stays in the window with the spectrum.
bool TTraceSpectre::FormClose() {
    if (!ProposeSauvegarde(QStringLiteral("Confirmation")))
        return false;
    Recepteur.OublieLigne(); // the port goes to other modes
    if (TAiguillage* modes = Aiguillage()) {
        AvecBoiteErreur([modes] {
            try {
                modes->ChoixMode(0);
            } catch (const ECommNotOpen&) {
                // the main window has said the port could not be opened
            }
        });
    }
    return true;
}
