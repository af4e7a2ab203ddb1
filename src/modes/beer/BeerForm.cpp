#include "modes/beer/BeerForm.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/Transfert.h"
#include "graph/BoitePeinture.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/ModeBeerDlg.h"
#include "modes/journal/JournalFenetre.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kIntervalleClignotement = 1000;
constexpr int kPasAxeRang = 16; // free places kept ahead on the rank axis
const QColor kRougeGrille(255, 0, 0);

// The hint's long part always reaches the status bar; its short part is a tooltip only where
// the window wants one.
void Prepare(QWidget& controle, const QString& nom, const QString& aide, bool bulle = false) {
    FixeAide(controle, aide);
    Nomme(controle, nom);
    if (!bulle)
        controle.setToolTip(QString());
}

// A small picture button never takes the focus, so the space bar that records a point cannot
// press it.
QToolButton* BoutonImage(QStyle::StandardPixmap image, const QString& nom, const QString& aide,
                         bool bulle = false) {
    auto* bouton = new QToolButton;
    bouton->setIcon(QApplication::style()->standardIcon(image));
    bouton->setFixedSize(26, 26);
    bouton->setFocusPolicy(Qt::NoFocus);
    Prepare(*bouton, nom, aide, bulle);
    return bouton;
}

void Cellule(QTableWidget& grille, int ligne, int colonne, const QString& texte) {
    QTableWidgetItem* item = grille.item(ligne, colonne);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grille.setItem(ligne, colonne, item);
    }
    item->setText(texte);
}

QTableWidget* Grille(const QString& nom, int lignes) {
    auto* grille = new QTableWidget(lignes, 2);
    grille->setObjectName(nom);
    grille->horizontalHeader()->hide();
    grille->verticalHeader()->hide();
    grille->verticalHeader()->setDefaultSectionSize(18);
    grille->horizontalHeader()->setDefaultSectionSize(64);
    grille->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grille->setSelectionBehavior(QAbstractItemView::SelectRows);
    grille->setSelectionMode(QAbstractItemView::SingleSelection);
    return grille;
}

// Rows grow to hold `lignes`, never shrink.
void AuMoins(QTableWidget& grille, int lignes) {
    if (grille.rowCount() < lignes)
        grille.setRowCount(lignes);
}

// Resets a flag on every way out of a reading.
class TDrapeau {
public:
    explicit TDrapeau(bool& drapeau) : drapeau_(drapeau) { drapeau_ = true; }
    ~TDrapeau() { drapeau_ = false; }
    TDrapeau(const TDrapeau&) = delete;
    TDrapeau& operator=(const TDrapeau&) = delete;

private:
    bool& drapeau_;
};

} // namespace

bool ExtremiteDroite(const Tgraphe& graphe, double pente, int& px, int& py) {
    if (!(pente > 0))
        return false;
    const double xmax = graphe.MondeX.Maxi;
    graphe.MondeVersEcran(xmax, pente * xmax, px, py);
    if (py < graphe.ZoneDessin.Top) {
        const double ymax = graphe.MondeY.Maxi;
        graphe.MondeVersEcran(ymax / pente, ymax, px, py);
    }
    return px != -1 && py != -1;
}

TBeerForm::TBeerForm(QWidget* parent)
    : QWidget(parent, Qt::Window), StatusBar(new QStatusBar(this)), Timer(new QTimer(this)) {
    setObjectName(QStringLiteral("BeerForm"));
    setWindowTitle(QStringLiteral("Loi de Beer-Lambert"));
    QFont police(QStringLiteral("System"));
    police.setPixelSize(13);
    police.setBold(true);
    setFont(police);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(kIntervalleClignotement);
    CreeBoutons();
    CreePanneauDroit();
    Oscillo = new TBoitePeinture;
    Oscillo->setObjectName(QStringLiteral("Oscillo"));

    auto* milieu = new QHBoxLayout;
    milieu->setContentsMargins(0, 0, 0, 0);
    milieu->setSpacing(0);
    milieu->addWidget(Oscillo, 1);
    milieu->addWidget(Panel1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(BoutonsPanel);
    page->addLayout(milieu, 1);
    page->addWidget(StatusBar);
    resize(575, 381);
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());

    connect(Oscillo, &TBoitePeinture::Peinture, this, &TBeerForm::OscilloPaint);
    connect(Timer, &QTimer::timeout, this, &TBeerForm::TimerTimer);
    Journal.SurEchec = [this](const QString& texte) {
        AfficheAide(texte);
    };
    FormCreate();
}

// An unsettled table's journal stays, for the next start: a normal end settles it first
// (FinProgramme).
TBeerForm::~TBeerForm() {
    if (sablier_)
        QApplication::restoreOverrideCursor();
}

void TBeerForm::CreeBoutons() {
    BoutonsPanel = new QWidget;
    BoutonsPanel->setObjectName(QStringLiteral("BoutonsPanel"));
    BoutonsPanel->setFixedHeight(57);
    ClipSaveBtn = BoutonImage(QStyle::SP_FileDialogContentsView, QStringLiteral("ClipSaveBtn"),
                              QStringLiteral("Presse-papiers|Sauvegarde de l'acquisition dans le "
                                             "presse-papiers"));
    RegSaveBtn = BoutonImage(QStyle::SP_ArrowRight, QStringLiteral("RegSaveBtn"),
                             QStringLiteral("Tablarix|Envoi des données courantes vers Tablarix"));
    FileSaveBtn = BoutonImage(QStyle::SP_DialogSaveButton, QStringLiteral("FileSaveBtn"),
                              QStringLiteral("Fichier|Sauvegarde de l'acquisition"));
    ModeBtn = BoutonImage(QStyle::SP_FileDialogListView, QStringLiteral("ModeBtn"),
                          QStringLiteral("Mode|Choix du mode : Beer, A(x), A seul"));
    ResetBtn = BoutonImage(QStyle::SP_DialogResetButton, QStringLiteral("ResetBtn"),
                           QStringLiteral("RàZ|Remise à zéro de l'acquisition"), true);
    UndoBtn = BoutonImage(QStyle::SP_ArrowBack, QStringLiteral("UndoBtn"),
                          QStringLiteral("Défaire|Suppression de la dernière acquisition"), true);
    LabelLambda = new QLabel(QStringLiteral("Lambda (nm)"));
    LambdaSE = new TSpinEdit;
    LambdaSE->setFixedWidth(64);
    Prepare(*LambdaSE, QStringLiteral("LambdaSE"),
            QStringLiteral("Longueur d'onde|Indiquer la longueur d'onde en nm"));
    LabelLambda->setBuddy(&LambdaSE->Edit());
    MajBtn = new QPushButton(QStringLiteral("Mise à jour"));
    Prepare(*MajBtn, QStringLiteral("MajBtn"),
            QStringLiteral("|Si clignotant, cliquer pour régler la longueur d'onde du spectro"));
    ZeroBtn = new QPushButton(QStringLiteral("Zéro"));
    Prepare(*ZeroBtn, QStringLiteral("ZeroBtn"),
            QStringLiteral("Zéro/Blanc|Mettre la cuve avec le solvant puis cliquer ici"));
    PrintBtn = BoutonImage(QStyle::SP_FileIcon, QStringLiteral("PrintBtn"),
                           QStringLiteral("Impression du graphe"));
    ExitBtn = BoutonImage(QStyle::SP_DialogCloseButton, QStringLiteral("ExitBtn"),
                          QStringLiteral("Quitter"));

    LabelClavier = new QLabel;
    LabelClavier->setObjectName(QStringLiteral("LabelClavier"));
    ClavierEdit = new QLineEdit;
    ClavierEdit->setFixedWidth(100);
    Nomme(*ClavierEdit, QStringLiteral("ClavierEdit"), LabelClavier);
    FixeChampNumerique(*ClavierEdit);
    LabelClavier->setBuddy(ClavierEdit);
    EnregistreBtn = new QPushButton(QStringLiteral("Enregistrer"));
    Nomme(*EnregistreBtn, QStringLiteral("EnregistreBtn"));
    EnregistreEdit = new QLineEdit;
    EnregistreEdit->setObjectName(QStringLiteral("EnregistreEdit"));
    EnregistreEdit->setAccessibleName(QStringLiteral("Enregistrer"));
    EnregistreEdit->setFixedWidth(0);
    EnregistreEdit->setFrame(false);

    auto* ligne1 = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{ClipSaveBtn, RegSaveBtn, FileSaveBtn, ModeBtn,
                                                      ResetBtn, UndoBtn, LabelLambda, LambdaSE,
                                                      MajBtn, ZeroBtn, PrintBtn, ExitBtn})
        ligne1->addWidget(w);
    ligne1->addStretch();
    auto* ligne2 = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelClavier, ClavierEdit, EnregistreBtn, EnregistreEdit})
        ligne2->addWidget(w);
    ligne2->addStretch();
    auto* lignes = new QVBoxLayout(BoutonsPanel);
    lignes->setContentsMargins(4, 2, 4, 2);
    lignes->setSpacing(2);
    lignes->addLayout(ligne1);
    lignes->addLayout(ligne2);

    // What shows and hides keeps its place: nothing moves under the mouse.
    for (QWidget* w : std::initializer_list<QWidget*>{ClipSaveBtn, RegSaveBtn, FileSaveBtn,
                                                      ResetBtn, UndoBtn, MajBtn}) {
        QSizePolicy place = w->sizePolicy();
        place.setRetainSizeWhenHidden(true);
        w->setSizePolicy(place);
    }
    for (QToolButton* b : {ClipSaveBtn, RegSaveBtn, FileSaveBtn, ResetBtn, UndoBtn})
        b->hide();
    connect(ClipSaveBtn, &QToolButton::clicked, this, &TBeerForm::ClipSaveBtnClick);
    connect(RegSaveBtn, &QToolButton::clicked, this, &TBeerForm::RegSaveBtnClick);
    connect(FileSaveBtn, &QToolButton::clicked, this, &TBeerForm::SaveItemClick);
    connect(ModeBtn, &QToolButton::clicked, this, &TBeerForm::AcquisitionItemClick);
    connect(ResetBtn, &QToolButton::clicked, this, &TBeerForm::ResetBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, &TBeerForm::UndoBtnClick);
    connect(LambdaSE, &TSpinEdit::Change, this, &TBeerForm::LambdaSEChange);
    connect(MajBtn, &QPushButton::clicked, this, &TBeerForm::MajBtnClick);
    connect(ZeroBtn, &QPushButton::clicked, this, &TBeerForm::ZeroBtnClick);
    connect(PrintBtn, &QToolButton::clicked, this, &TBeerForm::PrintBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &TBeerForm::ExitItemClick);
    connect(EnregistreBtn, &QPushButton::clicked, this, &TBeerForm::EnregistreBtnClick);
    ClavierEdit->installEventFilter(this);
    EnregistreEdit->installEventFilter(this);
}

void TBeerForm::CreePanneauDroit() {
    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(151);
    QFont police(QStringLiteral("Tablarix"));
    police.setPixelSize(13);
    Panel1->setFont(police);
    BeerMesureGrid = Grille(QStringLiteral("BeerMesureGrid"), 8);
    for (int ligne : {0, 1})
        for (int colonne : {0, 1}) {
            Cellule(*BeerMesureGrid, ligne, colonne, QString());
            BeerMesureGrid->item(ligne, colonne)->setBackground(palette().button());
            BeerMesureGrid->item(ligne, colonne)->setFlags(Qt::ItemIsEnabled);
        }
    beerCalcGrid = Grille(QStringLiteral("beerCalcGrid"), 4);
    beerCalcGrid->setFixedHeight(120);
    Prepare(*beerCalcGrid, QStringLiteral("beerCalcGrid"),
            QStringLiteral("|Valeurs déterminées à partir de la loi de Beer-Lambert"));
    EcartLabel = new QLabel;
    EcartLabel->setObjectName(QStringLiteral("EcartLabel"));
    EcartLabel->setWordWrap(true);
    auto* colonne = new QVBoxLayout(Panel1);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(2);
    colonne->addWidget(BeerMesureGrid, 1);
    colonne->addWidget(beerCalcGrid);
    colonne->addWidget(EcartLabel);
}

void TBeerForm::FormCreate() {
    Sauve = true;
    Mode = 0;
    Tmonde& y = Graphe.MondeY;
    y.Nom = "A";
    y.Unite = "";
    y.Signification = "Absorbance";
    y.Mini = 0;
    y.Maxi = 1.0;
    Graphe.ModeTrace = 2;
    Graphe.Canvas = &Oscillo->Canevas();
    Nombre() = 0;
    Inconnues.Vide();
    LambdaSE->FixeBornes(Spectro.MiniL, Spectro.MaxiL);
    LambdaSE->SetValue(500); // a change: the update button blinks until the wavelength is sent
    QPalette rouge = beerCalcGrid->palette();
    rouge.setColor(QPalette::Text, kRougeGrille);
    beerCalcGrid->setPalette(rouge);
    // The quantity of mode 0, before the first activation sets it again.
    InitAttente();
}

void TBeerForm::AfficheAide(const QString& texte) {
    StatusBar->showMessage(texte);
}

bool TBeerForm::event(QEvent* evenement) {
    if (evenement->type() == QEvent::WindowActivate)
        InitAttente(); // FormActivate
    return QWidget::event(evenement);
}

void TBeerForm::InitAttente() {
    MajControles();
    LabelClavier->setVisible(Mode == 1 || Mode == 2);
    ClavierEdit->setVisible(Mode == 1 || Mode == 2);
    Tmonde& x = Graphe.MondeX;
    if (Mode == 0) {
        for (int i = 0; i < CapaciteCourbe; ++i)
            Graphe.Courbe.X[i] = i;
        x.Nom = "n";
        x.Unite = "";
        x.Signification = TChaine255::DepuisTexte(u"numéro");
        x.Mini = 0;
        x.Maxi = kPasAxeRang;
        // Points beyond the axis would vanish from the graph: it keeps them all in view.
        while (Nombre() > 0 && Nombre() - 1 > x.Maxi)
            x.Maxi += kPasAxeRang;
    } else if (Mode == 1) {
        x.Maxi = 0.1;
    }
    Oscillo->Repeint();
    MajControles();
    beerCalcGrid->setVisible(Mode == 1);
    EcartLabel->setVisible(Mode == 1);
    MajEcart();
}

void TBeerForm::MajControles() {
    const int n = Nombre();
    const bool libre = !AttenteLambda();
    for (QToolButton* b : {ResetBtn, FileSaveBtn, RegSaveBtn, ClipSaveBtn})
        b->setVisible(n > 2);
    UndoBtn->setVisible(n > 0);
    ClavierEdit->clear();
    const Tmonde& x = Graphe.MondeX;
    LabelClavier->setText(x.Nom.TexteEcran() + QStringLiteral(" (") + x.Unite.TexteEcran() +
                          QStringLiteral(") ="));
    switch (Mode) {
    case 0:
        ClavierEdit->setStatusTip(QString());
        EnregistreEdit->setFocus();
        EnregistreBtn->setVisible(true);
        // Mode 1 disables it until the third standard: coming back, it records again.
        EnregistreBtn->setEnabled(libre);
        EnregistreEdit->setEnabled(libre);
        EnregistreBtn->setText(QStringLiteral("Enregistrer"));
        EnregistreBtn->setStatusTip(QStringLiteral("Cliquer pour enregistrer un point"));
        break;
    case 1:
        EnregistreBtn->setVisible(n > 2);
        EnregistreBtn->setEnabled(n > 2 && libre);
        EnregistreEdit->setEnabled(false);
        ClavierEdit->setVisible(true);
        ClavierEdit->setFocus();
        ClavierEdit->setStatusTip(
            QStringLiteral("Taper la valeur de la concentration. Valider pour lire l'absorbance"));
        EnregistreBtn->setText(QStringLiteral("Concentration ?"));
        EnregistreBtn->setStatusTip(
            QStringLiteral("Cliquer pour déterminer une concentration inconnue"));
        break;
    default:
        ClavierEdit->setVisible(true);
        ClavierEdit->setFocus();
        ClavierEdit->setStatusTip(QStringLiteral("Taper la valeur de ") + x.Nom.TexteEcran() +
                                  QStringLiteral(". Valider pour lire l'absorbance"));
        EnregistreBtn->setVisible(false);
        EnregistreBtn->setText(QString());
        EnregistreBtn->setStatusTip(QString());
        EnregistreEdit->setEnabled(false);
        break;
    }
    EnregistreBtn->setAccessibleName(EnregistreBtn->text());
}

void TBeerForm::Message(const QString& texte) {
    Boites().Affiche({TApplication::Titre(), texte, TIconeBoite::Information, TBoutonsBoite::Ok});
}

bool TBeerForm::Occupe() {
    if (!lectureEnCours_ && !AttenteLambda())
        return false;
    // A reading is under way (its wait lets clicks and keys through) or the instrument is
    // still moving to its wavelength: the request is refused.
    QApplication::beep();
    return true;
}

bool TBeerForm::LitAbsorbance(double& absorbance) {
    if (!VoieSeriePrete())
        return false;
    const TDrapeau lecture(lectureEnCours_);
    absorbance = Spectro.DemandeAbs();
    if (absorbance != Indefini)
        return true;
    // Nothing is recorded: the user takes the point again, told why nothing came.
    AfficheAide(QStringLiteral("Pas de mesure : l'appareil n'a pas répondu ou sa réponse est "
                               "illisible. Vérifiez-le puis recommencez."));
    return false;
}

bool TBeerForm::TablePleine() {
    if (Nombre() < CapaciteCourbe)
        return false;
    Message(QStringLiteral("Le tableau est plein : %1 points au plus.").arg(CapaciteCourbe));
    return true;
}

void TBeerForm::AjoutePoint(int i) {
    Graphe.TracePoint(static_cast<quint16>(i));
    AuMoins(*BeerMesureGrid, i + 3);
    Cellule(*BeerMesureGrid, i + 2, 0, FloatToStr3(Graphe.Courbe.X[i]));
    Cellule(*BeerMesureGrid, i + 2, 1, FloatToStr3(Graphe.Courbe.Y[i]));
    BeerMesureGrid->setCurrentCell(i + 2, 0);
    JournalisePoint(i);
}

// A table that was saved and grows again is journaled again from its first point.
void TBeerForm::JournalisePoint(int i) {
    if (i == 0)
        Journal.Commence(ChampsJournal());
    else if (!Journal.Actif())
        ReecritJournal(Journal, ChampsJournal(), Graphe.Courbe, i);
    Journal.AjoutePoint(Graphe.Courbe.X[i], Graphe.Courbe.Y[i]);
    Journal.SynchroniseBientot(); // one point per action: none waits for a batch
}

bool TBeerForm::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::KeyPress) {
        const auto& touche = *static_cast<QKeyEvent*>(evenement);
        if (objet == EnregistreEdit)
            return EnregistreEditKeyPress(touche);
        if (objet == ClavierEdit)
            return ClavierEditKeyPress(touche);
    }
    return QWidget::eventFilter(objet, evenement);
}

bool TBeerForm::EnregistreEditKeyPress(const QKeyEvent& touche) {
    if (touche.key() == Qt::Key_Space && Mode == 0 && !EnregistreBtn->isHidden() &&
        EnregistreBtn->isEnabled())
        EnregistreBtnClick();
    return true; // the hidden edit keeps no text
}

void TBeerForm::EnregistreBtnClick() {
    if (Mode == 2 || Occupe()) // keyboard entry takes its points by Enter only
        return;
    if (Mode == 0 && TablePleine())
        return;
    if (Mode == 1 && Inconnues.Plein()) {
        Message(QStringLiteral("%1 échantillons inconnus au plus : faites une remise à zéro.")
                    .arg(CapaciteInconnues));
        return;
    }
    AvecBoiteErreur([this] {
        double a = 0;
        if (!LitAbsorbance(a))
            return;
        AbsLue = a;
        if (Mode == 0) {
            const int n = Nombre();
            Graphe.Courbe.Y[n] = AbsLue;
            AjoutePoint(n);
            ++Nombre();
            if (Nombre() + kPasAxeRang > Graphe.MondeX.Maxi) {
                Graphe.MondeX.Maxi += kPasAxeRang;
                Oscillo->Repeint();
            }
        } else if (Mode == 1) {
            MesureInconnue();
        }
        MajControles();
        Sauve = Nombre() < 2;
    });
}

bool TBeerForm::ClavierEditKeyPress(const QKeyEvent& touche) {
    if (touche.key() != Qt::Key_Return && touche.key() != Qt::Key_Enter)
        return false;
    if (Occupe() || TablePleine())
        return true;
    double valeur = 0;
    if (!LitReel(ClavierEdit->text(), Regional().SeparateurDecimal, valeur)) {
        Message(QStringLiteral("Nombre mal écrit"));
        ClavierEdit->clear();
        ClavierEdit->setFocus();
        return true;
    }
    ValeurClavier = valeur;
    Tmonde& x = Graphe.MondeX;
    if (valeur > x.Maxi || valeur < x.Mini) {
        const QString question = (FloatToStr3(valeur) + QStringLiteral(" avec mini=") +
                                  FloatToStr3(x.Mini) + QStringLiteral(" et maxi=") +
                                  FloatToStr3(x.Maxi) + QStringLiteral("\n    Vous confirmez ?"))
                                     .left(102);
        if (Boites().Affiche({QStringLiteral("Confirmation"), question, TIconeBoite::Question,
                              TBoutonsBoite::OuiNon}) != TReponseBoite::Oui) {
            ClavierEdit->setFocus();
            return false;
        }
        (valeur > x.Maxi ? x.Maxi : x.Mini) = valeur;
        Oscillo->Repeint();
    }
    AvecBoiteErreur([this] { EnregistrePointClavier(); });
    return true;
}

void TBeerForm::EnregistrePointClavier() {
    double a = 0;
    if (!LitAbsorbance(a))
        return;
    AbsLue = a;
    // x is written with its absorbance, so that nothing typed during the reading can change it.
    const int n = Nombre();
    Graphe.Courbe.X[n] = ValeurClavier;
    Graphe.Courbe.Y[n] = AbsLue;
    AjoutePoint(n);
    ++Nombre();
    const bool etalonne = Mode == 1 && Nombre() > 2;
    EnregistreBtn->setVisible(etalonne);
    // Usable as soon as it shows, or "Concentration ?" would appear dead after the third standard.
    EnregistreBtn->setEnabled(etalonne && !AttenteLambda());
    EcartTexte.clear();
    if (etalonne)
        CalculePente();
    ClavierEdit->clear();
    ClavierEdit->setFocus();
    UndoBtn->setVisible(Nombre() > 0);
    for (QToolButton* b : {FileSaveBtn, RegSaveBtn, ClipSaveBtn, ResetBtn})
        b->setVisible(Nombre() > 2);
    DerniereInconnue = false;
    Sauve = Nombre() < 2;
    MajEcart();
}

void TBeerForm::CalculePente() {
    const TDroiteEtalonnage droite =
        AjusteDroite(Graphe.Courbe.X.data(), Graphe.Courbe.Y.data(), Nombre());
    Pente = droite.Pente;
    EcartTexte = TexteEcart(droite);
    Inconnues.Recalcule(Pente);
    RemplitGrilleCalcul();
    MajEcart();
    Oscillo->Repeint();
}

void TBeerForm::MajEcart() {
    if (Mode == 1 && Nombre() > 2 && !(Pente > 0))
        EcartLabel->setText(QStringLiteral("Aucun étalon au-dessus des seuils : pas de droite"));
    else
        EcartLabel->setText(EcartTexte);
}

void TBeerForm::RemplitInconnue(int j) {
    const double c = Inconnues.ConcInconnue[j];
    Cellule(*beerCalcGrid, j, 0, c == Indefini ? QString() : FloatToStr3(c));
    Cellule(*beerCalcGrid, j, 1, FloatToStr3(Inconnues.AbsInconnue[j]));
    for (int colonne : {0, 1})
        beerCalcGrid->item(j, colonne)->setForeground(kRougeGrille);
}

void TBeerForm::MesureInconnue() {
    const int j = Inconnues.NbreInconnues;
    if (!Inconnues.Ajoute(AbsLue, Pente))
        return;
    AuMoins(*beerCalcGrid, j + 1);
    RemplitInconnue(j);
    beerCalcGrid->setCurrentCell(j, 0);
    if (Inconnues.ConcInconnue[j] != Indefini)
        Graphe.TraceCarre(Inconnues.ConcInconnue[j], AbsLue);
    DerniereInconnue = true;
}

void TBeerForm::UndoBtnClick() {
    if (Occupe())
        return;
    if (Nombre() > 0) {
        if (Mode == 1 && DerniereInconnue && Inconnues.RetireDerniere()) {
            // newest unknown sample first; the standards and the slope stay
        } else {
            // With no unknown sample left, Undo goes on with the standards.
            --Nombre();
            DerniereInconnue = false;
            if (Nombre() == 0)
                Journal.Supprime();
            else if (Journal.Actif())
                ReecritJournal(Journal, ChampsJournal(), Graphe.Courbe, Nombre());
        }
    }
    Oscillo->Repeint();
    EnregistreBtn->setVisible(Mode == 0 || (Mode == 1 && Nombre() > 2));
    if (Mode == 0)
        EnregistreEdit->setFocus();
}

void TBeerForm::VideEtalonnage() {
    Inconnues.Vide();
    DerniereInconnue = false;
    EcartTexte.clear();
    RemplitGrilleCalcul();
}

void TBeerForm::ResetBtnClick() {
    if (Occupe() || !ProposeSauvegarde(QStringLiteral("Confirmation")))
        return;
    Nombre() = 0;
    Journal.Supprime();
    VideEtalonnage();
    Oscillo->Repeint();
    MajControles();
    MajEcart();
}

void TBeerForm::AcquisitionItemClick() {
    if (Occupe())
        return;
    const quint8 avant = Mode;
    {
        TModeBeerDlg dialogue(*this, this);
        Boites().ExecuteModal(dialogue);
    }
    if (Mode != avant) {
        Nombre() = 0;
        Journal.Supprime();
        VideEtalonnage();
    }
    InitAttente();
    ActualiseJournal(Journal, ChampsJournal(), Graphe.Courbe); // the quantity may have changed
}

void TBeerForm::AdapteAxes() {
    const Tcourbe& courbe = Graphe.Courbe;
    if (Nombre() == 0) {
        Graphe.MondeY.Maxi = 1.0;
        return;
    }
    double m = courbe.MaxiY();
    if (m < 0.1)
        m = 1.0;
    Graphe.MondeY.Maxi = std::max(Graphe.MondeY.Maxi, m);
    if (Mode == 1) {
        m = courbe.MaxiX();
        if (m < 0.01)
            m = 0.1;
        Graphe.MondeX.Maxi = std::max(Graphe.MondeX.Maxi, m);
    }
}

void TBeerForm::RemplitMesures() {
    const int n = Nombre();
    Cellule(*BeerMesureGrid, 0, 0, Graphe.MondeX.Nom.TexteEcran());
    Cellule(*BeerMesureGrid, 0, 1, Graphe.MondeY.Nom.TexteEcran());
    Cellule(*BeerMesureGrid, 1, 0, Graphe.MondeX.Unite.TexteEcran());
    Cellule(*BeerMesureGrid, 1, 1, Graphe.MondeY.Unite.TexteEcran());
    AuMoins(*BeerMesureGrid, n + 3);
    for (int i = 0; i < n; ++i) {
        Cellule(*BeerMesureGrid, i + 2, 0, FloatToStr3(Graphe.Courbe.X[i]));
        Cellule(*BeerMesureGrid, i + 2, 1, FloatToStr3(Graphe.Courbe.Y[i]));
    }
    if (n > 0)
        BeerMesureGrid->setCurrentCell(n + 1, 0);
    for (int ligne = n + 2; ligne < BeerMesureGrid->rowCount(); ++ligne)
        for (int colonne : {0, 1})
            Cellule(*BeerMesureGrid, ligne, colonne, QString());
}

void TBeerForm::TraceEtalonnage() {
    int px = -1, py = -1;
    if (ExtremiteDroite(Graphe, Pente, px, py)) {
        int px0 = -1, py0 = -1;
        Graphe.MondeVersEcran(0, 0, px0, py0);
        Graphe.Canvas->Plume = {Graphe.Courbe.Couleur, TStylePlume::Continu, TModePlume::Copie};
        Graphe.Canvas->DeplaceVers(px0, py0);
        Graphe.Canvas->LigneVers(px, py);
    }
    for (int j = 0; j < Inconnues.NbreInconnues; ++j)
        if (Inconnues.ConcInconnue[j] != Indefini)
            Graphe.TraceCarre(Inconnues.ConcInconnue[j], Inconnues.AbsInconnue[j]);
    RemplitGrilleCalcul();
}

void TBeerForm::RemplitGrilleCalcul() {
    const int nombre = Inconnues.NbreInconnues;
    AuMoins(*beerCalcGrid, nombre + 1);
    for (int j = 0; j < nombre; ++j)
        RemplitInconnue(j);
    if (nombre > 0)
        beerCalcGrid->setCurrentCell(nombre - 1, 0);
    for (int j = nombre; j < beerCalcGrid->rowCount(); ++j)
        for (int colonne : {0, 1})
            Cellule(*beerCalcGrid, j, colonne, QString());
}

void TBeerForm::OscilloPaint() {
    Graphe.Canvas = &Oscillo->Canevas();
    Graphe.ZoneDessin = Oscillo->ZoneClient();
    AdapteAxes();
    Graphe.Dessine();
    RemplitMesures();
    if (Mode == 1 && Nombre() > 2)
        TraceEtalonnage();
}

void TBeerForm::LambdaSEChange() {
    MajBtn->show();
    phase_ = TPhase::Clignotement;
    Timer->setInterval(kIntervalleClignotement);
    Timer->start();
}

void TBeerForm::TimerTimer() {
    if (phase_ == TPhase::Stabilisation) {
        FinAttenteLambda();
        return;
    }
    clignoteRouge_ = !clignoteRouge_;
    MajBtn->setStyleSheet(clignoteRouge_ ? QStringLiteral("color: red")
                                         : QStringLiteral("color: silver"));
}

void TBeerForm::MajBtnClick() {
    if (Occupe() || !VoieSeriePrete())
        return;
    // The field shows the wavelength sent, within the instrument's limits.
    const qint32 lambda = LambdaSE->ValeurBornee();
    bool envoye = false;
    AvecBoiteErreur([lambda, &envoye] {
        Spectro.EnvoiLambda(lambda);
        envoye = true;
    });
    if (!envoye)
        return; // the button stays, to try again
    Timer->stop();
    phase_ = TPhase::Stabilisation;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sablier_ = true;
    LambdaSE->setEnabled(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ClavierEdit, EnregistreBtn, EnregistreEdit, ZeroBtn})
        w->setEnabled(false);
    MajBtn->hide();
    MajBtn->setStyleSheet(QString());
    // TimeOut counts hundredths of a second here.
    Timer->setInterval(Spectro.TimeOut * 10);
    Timer->start();
}

void TBeerForm::FinAttenteLambda() {
    if (sablier_) {
        QApplication::restoreOverrideCursor();
        sablier_ = false;
    }
    phase_ = TPhase::Arret;
    for (QWidget* w : std::initializer_list<QWidget*>{ClavierEdit, ZeroBtn, LambdaSE})
        w->setEnabled(true);
    Timer->stop();
    Timer->setInterval(kIntervalleClignotement);
    // Enabled even while hidden: a later mode that shows it must not find it dead.
    EnregistreBtn->setEnabled(Mode != 1 || Nombre() > 2);
    EnregistreEdit->setEnabled(Mode == 0);
    FocusSurLaSaisie();
}

// Where the next point is taken: the space bar in mode 0, the typed value otherwise.
void TBeerForm::FocusSurLaSaisie() {
    (Mode == 0 ? EnregistreEdit : ClavierEdit)->setFocus();
}

void TBeerForm::ZeroBtnClick() {
    if (Occupe() || !VoieSeriePrete())
        return;
    EnregistreBtn->setEnabled(false);
    Timer->stop();
    if (phase_ == TPhase::Clignotement)
        phase_ = TPhase::Arret;
    const bool majActif = MajBtn->isEnabled();
    MajBtn->setEnabled(false);
    EnregistreEdit->setEnabled(false);
    QCoreApplication::processEvents();
    AvecBoiteErreur([] { Spectro.LigneDeBase(); });
    EnregistreBtn->setEnabled(Mode != 1 || Nombre() > 2);
    MajBtn->setEnabled(majActif);
    EnregistreEdit->setEnabled(Mode == 0);
    FocusSurLaSaisie();
}

void TBeerForm::SaveItemClick() {
    TDialogueSauvegarde dialogue;
    dialogue.Titre = QStringLiteral("Sauvegarde données");
    // The data folder, as in the other windows.
    const QString documents = DossierSpecial(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        dialogue.Dossier = documents + QStringLiteral("Tablarix");
    dialogue.Filtres = {QStringLiteral("Tablarix (*.tb3)"),
                        QStringLiteral("Tableur ASCII (*.txt)")};
    dialogue.ExtensionParDefaut = QStringLiteral("TB3");
    const std::optional<QString> nom = Boites().NomSauvegarde(dialogue);
    // A file that could not be written leaves the run unsaved; the error box said why.
    if (nom && EcritFichierDonnees(*nom, TModeDonnees::Beer, Graphe)) {
        Sauve = true;
        Journal.Supprime();
    }
}

// The clipboard dies with the program: the journal stays until the table is in a file or sent.
void TBeerForm::ClipSaveBtnClick() {
    TransfertDonnees(TModeDonnees::Beer, false, Graphe);
    Sauve = true;
}

void TBeerForm::RegSaveBtnClick() {
    if (!ConstanteDlg || Boites().ExecuteModal(*ConstanteDlg) != QDialog::Accepted)
        return;
    // A send that did not happen leaves the table unsaved.
    if (!TransfertDonnees(TModeDonnees::Beer, true, Graphe))
        return;
    Sauve = true;
    Journal.Supprime();
    AfficheAide(TexteDonneesEnvoyees());
}

void TBeerForm::PrintBtnClick() {
    Graphe.Imprime();
    Graphe.Canvas = &Oscillo->Canevas();
}

void TBeerForm::ExitItemClick() {
    close(); // FormClose leaves the mode
}

void TBeerForm::closeEvent(QCloseEvent* evenement) {
    evenement->setAccepted(FormClose());
}

// False when the user stays in the window with the table.
bool TBeerForm::FormClose() {
    if (!ProposeSauvegarde(QStringLiteral("Confirmation")))
        return false;
    if (AttenteLambda())
        FinAttenteLambda();
    Timer->stop();
    if (phase_ == TPhase::Clignotement)
        phase_ = TPhase::Arret;
    AvecBoiteErreur([] {
        if (TAiguillage* modes = Aiguillage())
            modes->ChoixMode(0);
    });
    return true;
}

// In every mode: the standards of a calibration are measurements too, and so are the unknown
// samples taken since the last save.
bool TBeerForm::ProposeSauvegarde(const QString& titre) {
    if (Nombre() <= 2 || Sauve)
        return true;
    return DemandeSauvegarde(titre, Journal, [this] {
        SaveItemClick();
        return Sauve;
    });
}

bool TBeerForm::FinProgramme() {
    return RegleALaFin(*this, Journal,
                       [this](const QString& titre) { return ProposeSauvegarde(titre); });
}

TChampsJournal TBeerForm::ChampsJournal() const {
    return ChampsAcquisition("beer", Graphe,
                             {{"lambda", QByteArray::number(LambdaSE->Value())},
                              {"beer.mode", QByteArray::number(Mode)}});
}

void TBeerForm::Restaure(const TJournalLu& journal) {
    if (lectureEnCours_ || AttenteLambda())
        return; // never over a reading in progress
    const TChampsJournal& champs = journal.Champs;
    Mode = static_cast<quint8>(ChampEntier(champs, "beer.mode", Mode, 0, 2));
    VideEtalonnage();
    RestaureAcquisition(journal, Graphe);
    if (Mode == 0) // the rank is the table's own abscissa
        for (int i = 0; i < CapaciteCourbe; ++i)
            Graphe.Courbe.X[i] = i;
    LambdaSE->SetValue(ChampEntier(champs, "lambda", LambdaSE->Value(), LambdaSE->MinValue(),
                                   LambdaSE->MaxValue()));
    InitAttente();
    if (Mode == 1 && Nombre() > 2)
        CalculePente();
    Sauve = false;
    Journal.Reprend(journal);
    MontreFenetreRestauree(3, *this);
}
