#include "modes/spectre/TraceSpectre.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Regional.h"
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
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr quint8 kRetourChariot = 13;
constexpr int kEcartMinimal = 50; // nm: the shortest scan
constexpr int kPointsAvantTrace = 8;
constexpr qsizetype kLongueurNombre = 20;
constexpr qsizetype kLongueurLecture = 25;

QToolButton* Bouton(const QString& nom, const QString& aide, const QString& legende,
                    const QIcon& icone = {}) {
    auto* bouton = new QToolButton;
    FixeAide(*bouton, aide);
    if (icone.isNull()) {
        bouton->setText(legende);
        bouton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        bouton->setIcon(icone);
        bouton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    Nomme(*bouton, nom);
    return bouton;
}

QLabel* PanneauBarre(const QString& nom, const QString& police) {
    auto* panneau = new QLabel;
    panneau->setObjectName(nom);
    panneau->setFixedWidth(100);
    panneau->setAlignment(Qt::AlignCenter);
    panneau->setStyleSheet(QStringLiteral("QLabel { background-color: #0a246a; color: white; "
                                          "font-family: \"%1\"; font-weight: bold; "
                                          "font-size: 16px; }")
                               .arg(police));
    return panneau;
}

TSpinEdit* EditionPlage(const QString& nom, const QString& aide, qint32 mini, qint32 maxi,
                        qint32 valeur) {
    auto* edition = new TSpinEdit;
    edition->FixeIncrement(10);
    edition->FixeBornes(mini, maxi);
    edition->SetValue(valeur);
    edition->setFixedWidth(70);
    FixeAide(*edition, aide);
    FixeAide(edition->Edit(), aide);
    Nomme(*edition, nom);
    return edition;
}

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

std::optional<TLigneSpectre> LitLigneSpectre(QByteArrayView ligne) {
    if (ligne.startsWith(','))
        return std::nullopt;
    for (qsizetype virgule = ligne.indexOf(','); virgule > 0;
         virgule = ligne.indexOf(',', virgule + 1)) {
        TLigneSpectre lu;
        const QByteArrayView apres = ligne.sliced(virgule + 1);
        lu.TexteLambda = ligne.first(std::min(virgule, kLongueurNombre)).toByteArray();
        lu.TexteAbs = apres.first(std::min(apres.size(), kLongueurNombre)).toByteArray();
        QChar separateurLambda;
        QChar separateurAbs;
        if (LitNombreAppareil(lu.TexteLambda, lu.Lambda, &separateurLambda) &&
            LitNombreAppareil(lu.TexteAbs, lu.Absorbance, &separateurAbs)) {
            lu.Separateur = separateurAbs.isNull() ? separateurLambda : separateurAbs;
            return lu;
        }
    }
    return std::nullopt;
}

bool TPlageBalayage::Contient(double lambda) const {
    constexpr double kTolerance = 1e-6; // nm: the texts of the steps are decimal
    return lambda >= Debut - Pas - kTolerance && lambda <= Fin + Pas + kTolerance;
}

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
    setObjectName(QStringLiteral("TraceSpectre"));
    setWindowTitle(QStringLiteral("Tracé de spectre avec le spectrophotomètre JENWAY 6400"));
    resize(638, 303);
    setWindowState(Qt::WindowMaximized);
    ConstruitBarre();

    PaintBox->setObjectName(QStringLiteral("PaintBox"));
    QFont police(QStringLiteral("Tablarix"));
    police.setBold(true);
    PaintBox->setFont(police);

    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    const int largeurs[] = {100, 100, 50};
    for (int i = 0; i < 3; ++i) {
        Panels[i] = new QLabel;
        Panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        Panels[i]->setMinimumWidth(largeurs[i]);
        if (i < 2)
            Panels[i]->setFixedWidth(largeurs[i]);
        StatusBar->addWidget(Panels[i], i == 2 ? 1 : 0);
    }

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(ToolBar);
    page->addWidget(PaintBox, 1);
    page->addWidget(StatusBar);

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

void TTraceSpectre::ConstruitBarre() {
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    const QStyle& s = *style();
    FileSaveBtn =
        Bouton(QStringLiteral("FileSaveBtn"), QStringLiteral("|Sauvegarde de l'acquisition"), {},
               s.standardIcon(QStyle::SP_DialogSaveButton));
    ClipSaveBtn = Bouton(QStringLiteral("ClipSaveBtn"),
                         QStringLiteral("|Sauvegarde de l'acquisition dans le presse-papier"), {},
                         QIcon::fromTheme(QStringLiteral("edit-copy"),
                                          s.standardIcon(QStyle::SP_FileDialogContentsView)));
    RegSaveBtn = Bouton(QStringLiteral("RegSaveBtn"),
                        QStringLiteral("|Appel de Tablarix avec les données courantes"), {},
                        s.standardIcon(QStyle::SP_ArrowRight));
    SpectreBtn =
        Bouton(QStringLiteral("SpectreBtn"), QStringLiteral("Spectre|Acquisition d'un spectre"),
               QStringLiteral("Spectre"));
    BlancBtn = Bouton(QStringLiteral("BlancBtn"), QStringLiteral("Ligne de base"),
                      QStringLiteral("Ligne de base"));
    ReticuleBtn = Bouton(QStringLiteral("ReticuleBtn"), QStringLiteral("Réticule"),
                         QStringLiteral("Réticule"));
    ReticuleBtn->setCheckable(true);
    DebutSE =
        EditionPlage(QStringLiteral("DebutSE"),
                     QStringLiteral("Début|Début de balayage du spectre en nm"), 325, 800, 500);
    PasCB = new QComboBox;
    PasCB->addItems({QStringLiteral("0.2 nm"), QStringLiteral("1.0 nm"), QStringLiteral("5.0 nm")});
    PasCB->setCurrentIndex(1);
    FixeAide(*PasCB, QStringLiteral("Pas|Pas de balayage du spectre en nm"));
    Nomme(*PasCB, QStringLiteral("PasCB"));
    FinSE = EditionPlage(QStringLiteral("FinSE"),
                         QStringLiteral("Fin|Fin de balayage du spectre en nm"), 500, 999, 800);
    PrintBtn =
        Bouton(QStringLiteral("PrintBtn"), QStringLiteral("Impression"),
               QStringLiteral("Impression"), QIcon::fromTheme(QStringLiteral("document-print")));
    ExitBtn = Bouton(QStringLiteral("ExitBtn"), QStringLiteral("Quitter"),
                     QStringLiteral("Quitter"), s.standardIcon(QStyle::SP_DialogCloseButton));
    PanelLambda = PanneauBarre(QStringLiteral("PanelLambda"), QStringLiteral("Tablarix"));
    PanelAbs = PanneauBarre(QStringLiteral("PanelAbs"), QStringLiteral("MS Sans Serif"));

    for (QWidget* w : {FileSaveBtn, ClipSaveBtn, RegSaveBtn})
        ToolBar->addWidget(w);
    ToolBar->addSeparator();
    for (QWidget* w : {static_cast<QWidget*>(SpectreBtn), static_cast<QWidget*>(BlancBtn),
                       static_cast<QWidget*>(ReticuleBtn)})
        ToolBar->addWidget(w);
    ToolBar->addSeparator();
    for (QWidget* w : {static_cast<QWidget*>(DebutSE), static_cast<QWidget*>(PasCB),
                       static_cast<QWidget*>(FinSE)})
        ToolBar->addWidget(w);
    ToolBar->addSeparator();
    ToolBar->addWidget(PrintBtn);
    ToolBar->addWidget(ExitBtn);
    ToolBar->addSeparator();
    auto* ressort = new QWidget;
    ressort->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar->addWidget(ressort);
    ToolBar->addWidget(PanelLambda);
    ToolBar->addWidget(PanelAbs);

    connect(FileSaveBtn, &QToolButton::clicked, this, &TTraceSpectre::SauveSpectreClick);
    connect(ClipSaveBtn, &QToolButton::clicked, this, &TTraceSpectre::ClipSaveBtnClick);
    connect(RegSaveBtn, &QToolButton::clicked, this, &TTraceSpectre::RegSaveBtnClick);
    connect(SpectreBtn, &QToolButton::clicked, this, &TTraceSpectre::SpectreBtnClick);
    connect(BlancBtn, &QToolButton::clicked, this, &TTraceSpectre::BlancBtnClick);
    connect(ReticuleBtn, &QToolButton::clicked, this, &TTraceSpectre::ReticuleBtnClick);
    connect(PrintBtn, &QToolButton::clicked, this, &TTraceSpectre::PrintBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &TTraceSpectre::ExitItemClick);
    connect(DebutSE, &TSpinEdit::Change, this, &TTraceSpectre::DebutSEChange);
    connect(FinSE, &TSpinEdit::Change, this, &TTraceSpectre::DebutSEChange);
}

void TTraceSpectre::FormCreate() {
    Graphe.MondeX.Nom = "\x88";
    Graphe.MondeX.Unite = "nm";
    Graphe.MondeY.Nom = "A";
    Graphe.MondeY.Unite = "";
    Graphe.FixeMonde(Spectro.MiniL, 0, Spectro.MaxiL, Spectro.MaxiA);
    Graphe.ModeTrace = 0;
    Graphe.Canvas = &PaintBox->Canevas();

    MontreReglages();
    Etat = Repos;
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
    BlancFait = false;
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
    const bool repos = Etat == Repos;
    DebutSE->setEnabled(repos);
    FinSE->setEnabled(repos);
    PasCB->setEnabled(repos);
    SpectreBtn->setEnabled(BlancFait && repos);
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

// Each field's range follows the other field's value taken within the instrument's limits, not
// as typed: a start typed past the end of the instrument would otherwise give the end a range
// above its maximum.
void TTraceSpectre::DebutSEChange() {
    const qint32 mini = Spectro.MiniL;
    const qint32 maxi = Spectro.MaxiL;
    const qint32 fin = Borne(FinSE->Value(), mini + kEcartMinimal, maxi);
    const qint32 debut = Borne(DebutSE->Value(), mini, maxi - kEcartMinimal);
    DebutSE->FixeBornes(mini, fin - kEcartMinimal);
    FinSE->FixeBornes(debut + kEcartMinimal, maxi);
}

bool TTraceSpectre::PlagePossible() const {
    return Spectro.MaxiL - Spectro.MiniL >= kEcartMinimal;
}

void TTraceSpectre::MontreReglages() {
    DebutSEChange();
    FinSE->SetValue(Spectro.FinL);
    DebutSE->SetValue(Spectro.DebutL);
    Spectro.FinL = FinSE->Value();
    Spectro.DebutL = DebutSE->Value();
}

// The end is read first: a start typed last keeps its value when it can, and the end makes
// room for the 50 nm. Each field then shows what the instrument will receive.
bool TTraceSpectre::LitReglages() {
    if (!PlagePossible()) {
        AfficheErreur(QStringLiteral("Les longueurs d'onde minimum (%1 nm) et maximum (%2 nm) de "
                                     "l'appareil ne laissent pas les %3 nm d'un spectre : "
                                     "corrigez-les dans « Configuration complète ».")
                          .arg(Spectro.MiniL)
                          .arg(Spectro.MaxiL)
                          .arg(kEcartMinimal));
        return false;
    }
    Spectro.FinL = FinSE->ValeurBornee();
    Spectro.DebutL = DebutSE->ValeurBornee();
    Spectro.PasL = std::max(0, PasCB->currentIndex());
    return true;
}

void TTraceSpectre::BlancBtnClick() {
    if (reglageEnCours_)
        return;
    if (!VoieSeriePrete() || !LitReglages())
        return;
    const TDrapeauLeve reglage(reglageEnCours_);
    AvecBoiteErreur([this] {
        Spectro.LanceSpectre();
        // A line coming in now (a scan going on) is not the answer, nor a part of it.
        resteCoupe_ = LigneEnCours();
        Ligne.Vide();
        Spectro.EnvoiCommande(Spectro.CmdLigneDeBase);
        Etat = LigneDeBaseEnCours;
        MajControles();
        BlancFait = false;
        silence_.start(DelaiLigneDeBase);
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
        const bool ligneCoupee = VideEntree(*Spectro.Voie);
        const qint32 pas = std::clamp(Spectro.PasL, 0, 2);
        CommenceBalayage({static_cast<double>(Spectro.DebutL), static_cast<double>(Spectro.FinL),
                          QByteArray(TableDesPas[pas]).toDouble()},
                         ligneCoupee);
        Spectro.EnvoiCommande(Spectro.CmdSpectre);
        silence_.start(DelaiBalayage);
        Journal.Supprime(); // the spectrum on screen is replaced
    });
}

// What waits is read out before the purge, to know whether the purge falls inside a line: a
// line left by a scan that was abandoned (the window left, the program killed) goes on coming.
bool TTraceSpectre::VideEntree(TApdComPort& voie) {
    constexpr int kOctetsLusAuPlus = 1 << 16; // an instrument flooding the line is cut short
    bool dansUneLigne = LigneEnCours();
    for (int i = 0; i < kOctetsLusAuPlus && voie.CharAvailable(); ++i) {
        const quint8 code = voie.ReadChar();
        if (code == kRetourChariot)
            dansUneLigne = false;
        else if (code > 32)
            dansUneLigne = true;
    }
    voie.PurgeInput();
    return dansUneLigne;
}

bool TTraceSpectre::LigneEnCours() const {
    return (Ligne.Longueur() > 0 || resteCoupe_) && dernierOctet_.isValid() &&
           dernierOctet_.elapsed() < LigneMorteMs;
}

void TTraceSpectre::CommenceBalayage(const TPlageBalayage& plage, bool ligneCoupee) {
    plage_ = plage;
    Ligne.Vide();
    resteCoupe_ = ligneCoupee;
    premiereLigne_ = true;
    Etat = BalayageEnCours;
    MajControles();
    Graphe.Courbe.NbPoints = 0;
    Graphe.Courbe.NbTraces = 0;
}

void TTraceSpectre::TriggerAvail(TApdComPort& voie, quint16 nombre) {
    for (quint16 i = 0; i < nombre && voie.CharAvailable(); ++i)
        RecoitCaractere(voie.ReadChar());
}

void TTraceSpectre::RecoitOctets(QByteArrayView octets) {
    for (const char octet : octets)
        RecoitCaractere(static_cast<quint8>(octet));
}

// Each carriage return ends a line, read or not: one bad line costs one point, never the lines
// after it.
void TTraceSpectre::RecoitCaractere(quint8 code) {
    dernierOctet_.start();
    if (code == kRetourChariot) {
        if (!resteCoupe_)
            FinDeLigne();
        resteCoupe_ = false;
        Ligne.Vide();
    } else if (code > 32 && !resteCoupe_) {
        Ligne.Ajoute(static_cast<char>(code));
    }
}

void TTraceSpectre::FinDeLigne() {
    if (Etat == LigneDeBaseEnCours)
        FinDeLigneDeBase();
    else if (Etat == BalayageEnCours)
        TraiteLigne();
}

// The instrument ends its baseline with an answer line, a number or a word: a line left from a
// scan, or an empty one, is not that answer.
void TTraceSpectre::FinDeLigneDeBase() {
    double valeur = 0;
    QChar separateur;
    if (LitNombreAppareil(Ligne.Texte(), valeur, &separateur))
        Spectro.NoteSeparateur(separateur);
    else if (Ligne.Longueur() == 0 || LitLigneSpectre(Ligne.Texte()))
        return;
    silence_.stop();
    BlancFait = true;
    Etat = Repos;
    MajBoutons();
}

// A line is a point of this scan only within the range asked for and beyond the previous one:
// a line left from another scan, or a changed digit, would otherwise put a foreign point in the
// spectrum, or end it at once.
void TTraceSpectre::TraiteLigne() {
    const std::optional<TLigneSpectre> lu = LitLigneSpectre(Ligne.Texte());
    if (!lu || !plage_.Contient(lu->Lambda) || (!premiereLigne_ && lu->Lambda <= dernierLambda_))
        return;
    premiereLigne_ = false;
    dernierLambda_ = lu->Lambda;
    Spectro.NoteSeparateur(lu->Separateur);
    Tcourbe& courbe = Graphe.Courbe;
    // Beyond the curve's capacity the lines are read, shown and not stored.
    if (courbe.NbPoints < CapaciteCourbe) {
        if (courbe.NbPoints == 0)
            Journal.Commence(ChampsAcquisition("spectre", Graphe,
                                               {{"debut.l", QByteArray::number(Spectro.DebutL)},
                                                {"fin.l", QByteArray::number(Spectro.FinL)},
                                                {"pas.l", QByteArray::number(Spectro.PasL)}}));
        courbe.X[courbe.NbPoints] = lu->Lambda;
        courbe.Y[courbe.NbPoints] = lu->Absorbance;
        ++courbe.NbPoints;
        Journal.AjoutePoint(lu->Lambda, lu->Absorbance);
        Sauve = false; // leaving now asks about the points taken so far
    }
    silence_.start(DelaiBalayage);
    bool repeindre = false;
    if (courbe.NbPoints - courbe.NbTraces > kPointsAvantTrace) {
        if (courbe.NbTraces == 0) {
            repeindre = true;
        } else {
            Graphe.Canvas = &PaintBox->Canevas();
            Graphe.TraceCourbeSuite();
        }
    }
    texteLambda_ = lu->TexteLambda;
    texteAbs_ = lu->TexteAbs;
    if (lu->Lambda >= plage_.Fin)
        FinDuBalayage();
    else
        DemandeTrame(repeindre);
}

void TTraceSpectre::FinDuBalayage() {
    silence_.stop();
    Journal.SynchroniseBientot();
    Etat = Repos;
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
    const bool balayage = Etat == BalayageEnCours;
    BlancFait = false;
    if (Etat == Repos)
        return;
    Interrompt(balayage ? QStringLiteral("Balayage interrompu : l'appareil ne répond plus")
                        : QStringLiteral("Ligne de base interrompue : l'appareil ne répond plus"));
}

// The instrument went quiet, or sends only lines that cannot be read: the user must look at it.
// A baseline done before a scan stays valid.
void TTraceSpectre::SilenceAppareil() {
    if (Etat == BalayageEnCours)
        Interrompt(QStringLiteral("Balayage interrompu : l'appareil ne répond plus ou envoie des "
                                  "lignes illisibles. Vérifiez-le puis relancez le spectre."));
    else if (Etat == LigneDeBaseEnCours)
        Interrompt(QStringLiteral("Ligne de base sans réponse de l'appareil : vérifiez-le puis "
                                  "refaites le blanc."));
}

// Ends the baseline or the scan under way; the points taken stay, ready to be saved.
void TTraceSpectre::Interrompt(const QString& aide) {
    silence_.stop();
    Etat = Repos;
    MajBoutons();
    AfficheAide(aide);
    Spectro.SignaleSeparateur();
    trame_.stop();
    repeintEnAttente_ = true;
    Trame();
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
    TDialogueSauvegarde dialogue;
    dialogue.Titre = QStringLiteral("Sauvegarde données");
    dialogue.Dossier = QDir(DossierSpecial(QStandardPaths::DocumentsLocation))
                           .filePath(QStringLiteral("Tablarix"));
    dialogue.Filtres = {QStringLiteral("Tablarix (*.tb3)"),
                        QStringLiteral("Tableur ASCII (*.txt)")};
    dialogue.ExtensionParDefaut = QStringLiteral("tb3");
    const std::optional<QString> nom = Boites().NomSauvegarde(dialogue);
    if (!nom)
        return;
    if (EcritFichierDonnees(*nom, TModeDonnees::Spectre, Graphe)) {
        Sauve = true;
        Journal.Supprime();
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
    Journal.Supprime();
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
    // The port goes to other modes, whose purges may cut the line: the start kept here would
    // join another line's end. The end of this one, if it comes, is refused as a line of its own.
    Ligne.Vide();
    resteCoupe_ = false;
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
    if (Etat != Repos || reglageEnCours_)
        return; // never over a scan in progress
    RestaureAcquisition(journal, Graphe);
    Sauve = false;
    MajBoutons();
    Journal.Reprend(journal);
    MontreFenetreRestauree(1, *this);
    PaintBox->Repeint();
}
