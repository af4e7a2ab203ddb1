#include "modes/spectre/TraceSpectre.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/Transfert.h"
#include "graph/BoitePeinture.h"
#include "graph/Impression.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/journal/JournalFenetre.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kPointsAvantTrace = 8;
constexpr qsizetype kLongueurLecture = 25;

// A read-out of the reticle: blank, symbol, "=", the value and two blanks.
QString Lecture(const QByteArray& symbole, double valeur) {
    const QByteArray texte = ' ' + symbole + '=' + TexteVersAnsi(FloatToStr3(valeur)) + "  ";
    return AnsiVersEcran(texte.left(kLongueurLecture));
}

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

TRectangle ZoneImpressionSpectre(TRectangle page, bool portrait) {
    int d = page.Largeur() / 20;
    page.Left += d;
    page.Right -= d;
    if (portrait)
        page.Bottom = (page.Top + page.Bottom) / 2;
    d = page.Hauteur() / 20;
    page.Top += d;
    page.Bottom -= d;
    return page;
}

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

void TTraceSpectre::CommenceBalayage(const TPlageBalayage& plage, bool ligneCoupee) {
    Recepteur.CommenceBalayage(plage, ligneCoupee);
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
    // The last point is on screen at once.
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

// The baseline or the scan has been given up; the points taken stay, ready to be saved.
void TTraceSpectre::MontreInterruption(const QString& aide) {
    Surveille();
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

// The one place the journal hears of the run: from the scan's first point stored until the
// spectrum is saved, sent or replaced.
void TTraceSpectre::Journalise(TMomentJournal moment) {
    const Tcourbe& courbe = Graphe.Courbe;
    switch (moment) {
    case TMomentJournal::Remplace:
    case TMomentJournal::Regle:
        Journal.Supprime();
        break;
    case TMomentJournal::Point:
        if (courbe.NbPoints == 1)
            Journal.Commence(ChampsAcquisition("spectre", Graphe,
                                               {{"debut.l", QByteArray::number(Spectro.DebutL)},
                                                {"fin.l", QByteArray::number(Spectro.FinL)},
                                                {"pas.l", QByteArray::number(Spectro.PasL)}}));
        Journal.AjoutePoint(courbe.X[courbe.NbPoints - 1], courbe.Y[courbe.NbPoints - 1]);
        break;
    case TMomentJournal::Fin:
        Journal.SynchroniseBientot();
        break;
    }
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

void TTraceSpectre::PaintBoxPaint() {
    Graphe.Canvas = &PaintBox->Canevas();
    Graphe.ZoneDessin = PaintBox->ZoneClient();
    Graphe.Dessine();
    if (ReticuleBtn->isChecked())
        Graphe.Reticule();
}

void TTraceSpectre::ReticuleBtnClick() {
    Graphe.Canvas = &PaintBox->Canevas();
    Graphe.Reticule();
}

void TTraceSpectre::PaintBoxMouseMove(Qt::KeyboardModifiers, int x, int y) {
    if (!ReticuleBtn->isChecked())
        return;
    Graphe.Canvas = &PaintBox->Canevas();
    Graphe.Reticule();
    double lambda = 0;
    double absorbance = 0;
    Graphe.EcranVersMonde(x, y, lambda, absorbance);
    Panels[0]->setText(Lecture("\x88", lambda));
    Panels[1]->setText(Lecture("A", absorbance));
    Graphe.ReticuleX = x;
    Graphe.ReticuleY = y;
    Graphe.Reticule();
}

void TTraceSpectre::SauveSpectreClick() {
    const TDialogueSauvegarde dialogue = DialogueSauvegardeDonnees(QStringLiteral("tb3"));
    const std::optional<QString> nom = Boites().NomSauvegarde(dialogue);
    if (!nom)
        return;
    if (EcritFichierDonnees(*nom, TModeDonnees::Spectre, Graphe)) {
        Sauve = true;
        Journalise(TMomentJournal::Regle);
    }
}

// The clipboard dies with the program: the journal stays until the spectrum is in a file or sent.
void TTraceSpectre::ClipSaveBtnClick() {
    TransfertDonnees(TModeDonnees::Spectre, false, Graphe);
    Sauve = true;
}

void TTraceSpectre::RegSaveBtnClick() {
    if (!ConstanteDlg || Boites().ExecuteModal(*ConstanteDlg) != QDialog::Accepted)
        return;
    // A send that did not happen leaves the spectrum unsaved.
    const bool envoye = TransfertDonnees(TModeDonnees::Spectre, true, Graphe);
    ConstanteDlg->NewPageCB->SetItemIndex(1);
    if (!envoye)
        return;
    Sauve = true;
    Journalise(TMomentJournal::Regle);
    AfficheAide(TexteDonneesEnvoyees());
}

void TTraceSpectre::PrintBtnClick() {
    const std::optional<TDestinationImpression> destination = Boites().DestinationImpression();
    if (!destination)
        return;
    {
        TTravailImpression travail(*destination, std::nullopt);
        if (!travail.Commence()) {
            AfficheErreur(travail.MessageEchec());
            return;
        }
        Graphe.Canvas = &travail.Canevas();
        Graphe.ZoneDessin = ZoneImpressionSpectre(travail.Page(), travail.EstPortrait());
        Graphe.Dessine();
        travail.Termine();
    }
    // The graph's layout is the page's now: the screen's comes back for the reticle.
    Graphe.Canvas = &PaintBox->Canevas();
    PaintBox->RepeintMaintenant();
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

bool TTraceSpectre::ProposeSauvegarde(const QString& titre) {
    if (Graphe.Courbe.NbPoints == 0 || Sauve)
        return true;
    return DemandeSauvegarde(titre, Journal, [this] {
        SauveSpectreClick();
        return Sauve;
    });
}

bool TTraceSpectre::FinProgramme() {
    return RegleALaFin(*this, Journal,
                       [this](const QString& titre) { return ProposeSauvegarde(titre); });
}

void TTraceSpectre::Restaure(const TJournalLu& journal) {
    if (Recepteur.Etat() != TEtatSpectre::Repos || reglageEnCours_)
        return; // never over a scan in progress
    RestaureAcquisition(journal, Graphe);
    Sauve = false;
    MajBoutons();
    Journal.Reprend(journal);
    MontreFenetreRestauree(1, *this);
    PaintBox->Repeint();
}
