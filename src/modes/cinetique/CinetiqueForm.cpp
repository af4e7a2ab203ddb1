#include "modes/cinetique/CinetiqueForm.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Horloge.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/Transfert.h"
#include "graph/BoitePeinture.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/journal/JournalFenetre.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr qint32 kNbreMini = 15;
constexpr qint32 kNbreMaxi = 4096;
constexpr quint16 kDtMini = 2;
constexpr quint16 kDtMaxiHorsAcquisition = 60;
constexpr qint32 kDureeMaxiHorsAcquisition = 14400;
constexpr qint32 kDureeMaxi = 65535; // Duree is 16 bits: no product may wrap
constexpr qint32 kNbreAugmentePoints = 2730;
constexpr int kMoitieCourbe = 2048;
// How early the system may wake a tick (milliseconds) that still counts as the second it was due.
constexpr quint32 kAvanceToleree = 50;

// A time in seconds in the long time format of the system.
QString TexteTemps(qint32 secondes) {
    return QTime::fromMSecsSinceStartOfDay(0)
        .addSecs(secondes % 86400)
        .toString(Regional().FormatHeureLong);
}

// A count within its limits, rounded down to the steps of its spin buttons.
qint32 NbreArrondi(qint32 nbre) {
    nbre = std::clamp(nbre, kNbreMini, kNbreMaxi);
    if (nbre >= 300)
        nbre -= nbre % 60;
    if (nbre >= 90)
        nbre -= nbre % 30;
    if (nbre >= 30)
        nbre -= nbre % 10;
    return nbre;
}

// Fixed format, 3 decimals, with the system's decimal separator.
QString TexteAbsorbance(double a) {
    return QString::number(a, 'f', 3).replace(u'.', Regional().SeparateurDecimal);
}

QToolButton* BoutonOutil(QWidget* parent, const QString& nom, const QString& aide,
                         const QIcon& icone) {
    auto* bouton = new QToolButton(parent);
    bouton->setIcon(icone);
    bouton->setAutoRaise(true);
    bouton->setFocusPolicy(Qt::NoFocus);
    bouton->setFixedSize(25, 25);
    FixeAide(*bouton, aide);
    Nomme(*bouton, nom);
    return bouton;
}

QIcon Icone(const char* theme, QStyle::StandardPixmap remplacant) {
    return QIcon::fromTheme(QString::fromLatin1(theme),
                            QApplication::style()->standardIcon(remplacant));
}

QLabel* PanneauBlanc(QWidget* parent, const QString& nom) {
    auto* panneau = new QLabel(QStringLiteral("00:00:00"), parent);
    panneau->setAlignment(Qt::AlignCenter);
    panneau->setStyleSheet(QStringLiteral("background-color: palette(highlight); color: white; "
                                          "font-weight: bold; border: 1px inset gray;"));
    Nomme(*panneau, nom);
    panneau->setAccessibleName(nom);
    return panneau;
}

} // namespace

TGrandBouton::TGrandBouton(const QString& legende, QWidget* parent) : QPushButton(legende, parent) {
    setFocusPolicy(Qt::NoFocus);
}

// The caption is word-wrapped over the bevel drawn by the style.
void TGrandBouton::paintEvent(QPaintEvent*) {
    QPainter peintre(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButton, &option, &peintre, this);
    peintre.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const int shift = isDown() ? 1 : 0;
    peintre.drawText(rect().adjusted(6 + shift, 3 + shift, -6 + shift, -3 + shift),
                     Qt::AlignCenter | Qt::TextWordWrap, text());
}

TBoutonsHautBas::TBoutonsHautBas(QWidget* parent)
    : QWidget(parent), Haut(new QToolButton(this)), Bas(new QToolButton(this)) {
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);
    for (QToolButton* b : {Haut, Bas}) {
        b->setArrowType(b == Haut ? Qt::UpArrow : Qt::DownArrow);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, 11);
        colonne->addWidget(b);
    }
}

TCinetiqueForm::TCinetiqueForm(QWidget* parent)
    : QWidget(parent, Qt::Window), StatusBar(new QStatusBar(this)), Timer(new QTimer(this)) {
    setObjectName(QStringLiteral("CinetiqueForm"));
    setWindowTitle(QStringLiteral("Cinétique suivie par spectrophotomètre Jenway 6400"));
    CreeControles();
    FormCreate();
}

// An unsettled run's journal stays, for the next start: a normal end settles every run first
// (FinProgramme).
TCinetiqueForm::~TCinetiqueForm() {
    Timer->stop();
    if (Graphe)
        Graphe->Canvas = nullptr;
}

void TCinetiqueForm::CreeControles() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(CreePanneauOutils());
    Oscillo = new TBoitePeinture(this);
    Oscillo->setObjectName(QStringLiteral("Oscillo"));
    Oscillo->setAccessibleName(QStringLiteral("Graphe"));
    QFont police(QStringLiteral("Tablarix"));
    Oscillo->setFont(police);
    page->addWidget(Oscillo, 1);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(true);
    page->addWidget(StatusBar);

    Journal.SurEchec = [this](const QString& texte) {
        AfficheAide(texte);
    };
    Timer->setObjectName(QStringLiteral("Timer"));
    // A coarse timer fires up to 5 % early, and from 20 s on at whole seconds: every point would
    // be stamped a second early.
    Timer->setTimerType(Qt::PreciseTimer);
    connect(Timer, &QTimer::timeout, this, [this] { AvecBoiteErreur([this] { TimerTimer(); }); });
    connect(Oscillo, &TBoitePeinture::Peinture, this, &TCinetiqueForm::OscilloPaint);

    resize(607, 313);
    setMinimumSize(550, 120);
}

QWidget* TCinetiqueForm::CreePanneauOutils() {
    auto* panneau = new QWidget(this);
    panneau->setObjectName(QStringLiteral("ToolPanel"));
    panneau->setFixedHeight(57);
    CreeBoutonsEtapes(panneau);
    CreeBoutonsOutils(panneau);
    CreeReglages(panneau);
    CreeAffichages(panneau);
    RelieControles();
    return panneau;
}

void TCinetiqueForm::CreeBoutonsEtapes(QWidget* panneau) {
    LambdaSE = new TSpinEdit(panneau);
    LambdaSE->setGeometry(4, 4, 62, 22);
    LambdaSE->setAccessibleName(QStringLiteral("Longueur d'onde (nm)"));
    LambdaSE->setObjectName(QStringLiteral("LambdaSE"));
    ZeroBtnBis = new QPushButton(QStringLiteral("0"), panneau);
    ZeroBtnBis->setGeometry(4, 30, 29, 23);
    FixeAide(*ZeroBtnBis, QStringLiteral("Blanc|Mettre la cuve avec le solvant puis cliquer ici"));
    Nomme(*ZeroBtnBis, QStringLiteral("ZeroBtnBis"));
    ZeroBtnBis->setAccessibleName(QStringLiteral("Blanc")); // "0" only draws the zero
    ZeroBtnBis->setFocusPolicy(Qt::NoFocus);
    ExitBtn = new QPushButton(panneau);
    ExitBtn->setIcon(Icone("application-exit", QStyle::SP_DialogCloseButton));
    ExitBtn->setGeometry(37, 30, 29, 23);
    FixeAide(*ExitBtn, QStringLiteral("Quitter|"));
    Nomme(*ExitBtn, QStringLiteral("ExitBtn"));
    ExitBtn->setFocusPolicy(Qt::NoFocus);

    LambdaBtn =
        new TGrandBouton(QStringLiteral("Choisir la longueur d'onde puis cliquer ici"), panneau);
    FixeAide(*LambdaBtn, QStringLiteral("|Validation de la longueur d'onde"));
    Nomme(*LambdaBtn, QStringLiteral("LambdaBtn"));
    ZeroBtn = new TGrandBouton(QStringLiteral("Mettre la cuve avec le solvant puis cliquer ici"),
                               panneau);
    Nomme(*ZeroBtn, QStringLiteral("ZeroBtn"));
    StartBtn = new TGrandBouton(QStringLiteral("Mettre la cuve avec la solution puis cliquer ici"),
                                panneau);
    FixeAide(*StartBtn, QStringLiteral("START|Lance l'acquisition"));
    Nomme(*StartBtn, QStringLiteral("StartBtn"));
    for (TGrandBouton* b : {LambdaBtn, ZeroBtn, StartBtn})
        b->setGeometry(70, 4, 172, 49);
}

void TCinetiqueForm::CreeBoutonsOutils(QWidget* panneau) {
    StopBtn = BoutonOutil(panneau, QStringLiteral("StopBtn"),
                          QStringLiteral("STOP|Arrêt de l'acquisition"),
                          Icone("media-playback-stop", QStyle::SP_MediaStop));
    RepereBtn = BoutonOutil(panneau, QStringLiteral("RepereBtn"),
                            QStringLiteral("|Placer un repère temporel"),
                            Icone("flag", QStyle::SP_FileDialogInfoView));
    ResetBtn = BoutonOutil(panneau, QStringLiteral("ResetBtn"),
                           QStringLiteral("|Remise à zéro de l'acquisition"),
                           Icone("edit-clear", QStyle::SP_BrowserReload));
    FileSaveBtn = BoutonOutil(panneau, QStringLiteral("FileSaveBtn"),
                              QStringLiteral("|Sauvegarde de l'acquisition"),
                              Icone("document-save", QStyle::SP_DialogSaveButton));
    ClipSaveBtn = BoutonOutil(panneau, QStringLiteral("ClipSaveBtn"),
                              QStringLiteral("|Sauvegarde de l'acquisition dans le presse-papier"),
                              Icone("edit-copy", QStyle::SP_FileDialogContentsView));
    RegSaveBtn = BoutonOutil(panneau, QStringLiteral("RegSaveBtn"),
                             QStringLiteral("|Envoi des données courantes vers Tablarix"),
                             Icone("document-send", QStyle::SP_ArrowForward));
    PrintBtn =
        BoutonOutil(panneau, QStringLiteral("PrintBtn"), QStringLiteral("Impression du graphe|"),
                    Icone("document-print", QStyle::SP_FileDialogDetailedView));
    // The buttons of a run and those of a finished run are never shown together: they share
    // their places.
    // RepereBtn has no action: it is shown greyed while acquiring.
    RepereBtn->setEnabled(false);
    StopBtn->move(246, 2);
    RepereBtn->move(272, 2);
    ResetBtn->move(246, 2);
    FileSaveBtn->move(272, 2);
    ClipSaveBtn->move(298, 2);
    RegSaveBtn->move(324, 2);
    PrintBtn->move(356, 2);
}

void TCinetiqueForm::CreeReglages(QWidget* panneau) {
    // The period, its button, the count and the duration read as a product: Δt=2 s *Nbre 60 = …
    LabelDeltat = new QLabel(QStringLiteral("Dt"), panneau);
    LabelDeltat->setGeometry(246, 33, 50, 18);
    LabelDeltat->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Nomme(*LabelDeltat, QStringLiteral("LabelDeltat"));
    DureeSB = new TBoutonsHautBas(panneau);
    DureeSB->setGeometry(298, 31, 16, 22);
    Nomme(*DureeSB, QStringLiteral("DureeSB"));
    DureeSB->setAccessibleName(QStringLiteral("Durée"));
    auto* labelNbre = new QLabel(QStringLiteral("*Nbre"), panneau);
    labelNbre->setGeometry(318, 33, 34, 18);
    NbreEdit = new QLineEdit(panneau);
    NbreEdit->setGeometry(354, 31, 40, 22);
    Nomme(*NbreEdit, QStringLiteral("NbreEdit"), labelNbre);
    FixeChampNumerique(*NbreEdit);
    NbreSpin = new TBoutonsHautBas(panneau);
    NbreSpin->setGeometry(394, 31, 16, 22);
    Nomme(*NbreSpin, QStringLiteral("NbreSpin"), labelNbre);
    auto* labelEgal = new QLabel(QStringLiteral("="), panneau);
    labelEgal->setGeometry(414, 33, 10, 18);
    DureeEdit = new QLineEdit(panneau);
    DureeEdit->setReadOnly(true);
    DureeEdit->setFocusPolicy(Qt::NoFocus);
    DureeEdit->setGeometry(426, 31, 64, 22);
    Nomme(*DureeEdit, QStringLiteral("DureeEdit"), labelEgal);
    DureeEdit->setAccessibleName(QStringLiteral("Durée"));
}

void TCinetiqueForm::CreeAffichages(QWidget* panneau) {
    PanelDuree = PanneauBlanc(panneau, QStringLiteral("PanelDuree"));
    PanelDuree->setGeometry(498, 4, 80, 22);
    PanelAbs = PanneauBlanc(panneau, QStringLiteral("PanelAbs"));
    PanelAbs->setGeometry(498, 31, 80, 22);
    LectureS = new QLabel(panneau);
    LectureS->setGeometry(584, 9, 14, 12);
    LectureS->setStyleSheet(QStringLiteral("background-color: red; border-radius: 4px;"));
    Nomme(*LectureS, QStringLiteral("LectureS"));
    LectureS->setAccessibleName(QStringLiteral("Lecture en cours"));
    LectureS->hide();

    // Holds the keyboard focus so that the space bar works the visible step button.
    EditBidon = new QLineEdit(panneau);
    EditBidon->setGeometry(0, 0, 0, 0);
    EditBidon->installEventFilter(this);
    Nomme(*EditBidon, QStringLiteral("EditBidon"));
    EditBidon->setAccessibleName(QStringLiteral("Barre d'espace : étape suivante"));
}

void TCinetiqueForm::RelieControles() {
    const auto relie = [this](QAbstractButton* bouton, void (TCinetiqueForm::*handler)()) {
        connect(bouton, &QAbstractButton::clicked, this,
                [this, handler] { AvecBoiteErreur([this, handler] { (this->*handler)(); }); });
    };

    relie(LambdaBtn, &TCinetiqueForm::LambdaBtnClick);
    relie(ZeroBtn, &TCinetiqueForm::ZeroBtnClick);
    relie(StartBtn, &TCinetiqueForm::StartBtnClick);
    relie(ZeroBtnBis, &TCinetiqueForm::ZeroBtnBisClick);
    relie(ExitBtn, &TCinetiqueForm::ExitBtnClick);
    relie(StopBtn, &TCinetiqueForm::StopBtnClick);
    relie(ResetBtn, &TCinetiqueForm::ResetBtnClick);
    relie(FileSaveBtn, &TCinetiqueForm::SaveItemClick);
    relie(ClipSaveBtn, &TCinetiqueForm::ClipSaveBtnClick);
    relie(RegSaveBtn, &TCinetiqueForm::RegSaveBtnClick);
    relie(PrintBtn, &TCinetiqueForm::PrintBtnClick);
    relie(DureeSB->Haut, &TCinetiqueForm::DureeSBUpClick);
    relie(DureeSB->Bas, &TCinetiqueForm::DureeSBDownClick);
    relie(NbreSpin->Haut, &TCinetiqueForm::NbreSpinUpClick);
    relie(NbreSpin->Bas, &TCinetiqueForm::NbreSpinDownClick);
    connect(NbreEdit, &QLineEdit::editingFinished, this, &TCinetiqueForm::FinSaisieNbre);
    connect(LambdaSE, &TSpinEdit::Change, this, &TCinetiqueForm::LambdaSEChange);
}

void TCinetiqueForm::FormCreate() {
    Graphe = std::make_unique<Tgraphe>();
    Graphe->Canvas = &Oscillo->Canevas();
    Dt = 2;
    Nbre = 64;
    Sauve = false;
    debutMs_ = Horloge().Millisecondes();
    Duree = static_cast<quint16>(Dt * Nbre);
    AfficheDuree();
    MajNbre(); // 64 is shown as 60
    LabelDeltat->setText(AnsiVersEcran("\x83t=") + QString::number(Dt) + QStringLiteral(" s"));
    Tmonde& x = Graphe->MondeX;
    x.Nom = "t";
    x.Unite = "s";
    x.Signification = "temps";
    x.Mini = 0;
    x.Maxi = Duree;
    Tmonde& y = Graphe->MondeY;
    y.Nom = "A";
    y.Unite = "";
    y.Signification = "Absorbance";
    y.Mini = 0;
    y.Maxi = Spectro.MaxiA;
    FixeBornesLambda();
    LambdaSE->SetValue(500);
    SetEtat(EtatLambda);
}

void TCinetiqueForm::AfficheAide(const QString& texte) {
    StatusBar->showMessage(texte);
}

void TCinetiqueForm::SetEtat(quint8 e) {
    Etat = e;
    const bool acquisition = e == EtatAcquisition;
    const bool fini = e == EtatFini;
    const bool reglable = !acquisition;
    LambdaBtn->setVisible(e == EtatLambda);
    ZeroBtn->setVisible(e == EtatZero);
    StartBtn->setVisible(e == EtatPret);
    for (QWidget* w : std::initializer_list<QWidget*>{StopBtn, RepereBtn, PanelDuree, PanelAbs})
        w->setVisible(acquisition);
    for (QWidget* w : {ResetBtn, FileSaveBtn, ClipSaveBtn, RegSaveBtn})
        w->setVisible(fini);
    ExitBtn->setVisible(reglable);
    NbreSpin->setVisible(reglable);
    NbreEdit->setEnabled(reglable);
    ZeroBtnBis->setVisible(e != EtatZero);
    LambdaSE->setEnabled(e == EtatLambda || e == EtatZero || e == EtatPret);
    if (acquisition) {
        Timer->start(Dt * 1000);
    } else {
        Timer->stop();
        LectureS->hide();
    }
    if (fini) {
        double maxi = Spectro.MaxiA;
        const quint16 n = Graphe->Courbe.NbPoints;
        if (n > 2) {
            double mini = 0;
            MinMaxTableau(Graphe->Courbe.Y.data(), n, mini, maxi);
        }
        Graphe->FixeMonde(0, 0, Duree, std::max(maxi, 1.0));
        RedessineGraphe();
    }
    if (isActiveWindow() && !LambdaSE->hasFocus())
        EditBidon->setFocus();
}

void TCinetiqueForm::RedessineGraphe() {
    Oscillo->Repeint();
}

void TCinetiqueForm::OscilloPaint() {
    Graphe->Canvas = &Oscillo->Canevas();
    Graphe->ZoneDessin = Oscillo->ZoneClient();
    Graphe->Dessine();
}

void TCinetiqueForm::LambdaBtnClick() {
    if (!VoieSeriePrete())
        return;
    const qint32 lambda = LongueurDOndeBornee();
    ZeroBtn->hide();
    LambdaBtn->hide();
    StartBtn->hide();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        Spectro.EnvoiLambda(lambda);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        SetEtat(Etat); // the step button comes back for another try
        throw;
    }
    QApplication::restoreOverrideCursor();
    SetEtat(EtatZero);
}

void TCinetiqueForm::ZeroBtnClick() {
    FinSaisieNbre();
    if (!VoieSeriePrete())
        return;
    Spectro.LigneDeBase();
    InitAttente();
}

void TCinetiqueForm::ZeroBtnBisClick() {
    if (VoieSeriePrete())
        Spectro.LigneDeBase();
}

void TCinetiqueForm::InitAttente() {
    Timer->stop();
    Duree = static_cast<quint16>(std::min(Dt * Nbre, kDureeMaxi));
    AfficheDuree();
    Graphe->Courbe.NbPoints = 0;
    Graphe->MondeX.Maxi = Duree;
    Graphe->MondeY.Maxi = Spectro.MaxiA;
    PanelDuree->clear();
    PanelAbs->clear();
    RedessineGraphe();
    SetEtat(EtatPret);
}

void TCinetiqueForm::StartBtnClick() {
    FinSaisieNbre();
    if (!VoieSeriePrete())
        return;
    lecturesPerdues_ = 0;
    if (Spectro.Voie)
        connect(Spectro.Voie, &TApdComPort::Disparu, this, &TCinetiqueForm::VoieDisparue,
                Qt::UniqueConnection);
    debutMs_ = Horloge().Millisecondes();
    Sauve = false;
    Graphe->Courbe.NbPoints = 0;
    Graphe->Courbe.NbTraces = 0;
    Journal.Commence(ChampsJournal());
    SetEtat(EtatAcquisition);
    TimerTimer();
}

void TCinetiqueForm::TimerTimer() {
    // A tick that comes while the instrument still answers the previous one is dropped.
    if (lectureEnCours_ || Etat != EtatAcquisition)
        return;
    lectureEnCours_ = true;
    LectureS->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    double lue = Indefini;
    try {
        lue = Spectro.DemandeAbs();
    } catch (...) {
        lectureEnCours_ = false;
        LectureS->hide();
        // The port cannot be read: the run ends with what it has, and the error is told once.
        FinAcquisition(QString());
        throw;
    }
    lectureEnCours_ = false;
    LectureS->hide();
    // The run may have been stopped, reset or cut while the reading waited: the value is late.
    if (Etat != EtatAcquisition)
        return;
    if (lue == Indefini) {
        // One reading lost is skipped quietly; several in a row need the user.
        if (++lecturesPerdues_ == kLecturesPerduesAvantAvis)
            AfficheAide(QStringLiteral("L'appareil ne donne plus de mesure lisible : vérifiez "
                                       "qu'il est allumé et relié. L'acquisition continue."));
        return;
    }
    if (lecturesPerdues_ >= kLecturesPerduesAvantAvis)
        AfficheAide(QString());
    lecturesPerdues_ = 0;
    DerniereAbs = lue;
    EnregistrePoint();
}

qint32 TCinetiqueForm::SecondesEcoulees() const {
    // On the monotonic clock: a run that crosses midnight or a change of the time of day keeps
    // its time scale. A tick woken a little early counts as the second it was due; a late one
    // is truncated.
    const quint32 ms = Horloge().Millisecondes() - debutMs_;
    return static_cast<qint32>((ms + kAvanceToleree) / 1000);
}

void TCinetiqueForm::EnregistrePoint() {
    Tcourbe& courbe = Graphe->Courbe;
    const quint16 n = courbe.NbPoints;
    if (n >= CapaciteCourbe)
        return;
    const qint32 ecoule = SecondesEcoulees();
    courbe.X[n] = ecoule;
    PanelDuree->setText(TexteTemps(ecoule));
    PanelAbs->setText(TexteAbsorbance(DerniereAbs));
    courbe.Y[n] = DerniereAbs;
    Graphe->TracePoint(n);
    courbe.NbPoints = static_cast<quint16>(n + 1);
    Journal.AjoutePoint(courbe.X[n], courbe.Y[n]);
    if (SecondesEcoulees() > Duree)
        SetEtat(EtatFini);
    else if (courbe.NbPoints >= CapaciteCourbe)
        FinAcquisition(QStringLiteral("Acquisition terminée : la courbe est pleine (%1 points)")
                           .arg(CapaciteCourbe));
}

// Ends a run early, keeping every point taken.
void TCinetiqueForm::FinAcquisition(const QString& raison) {
    if (Etat != EtatAcquisition)
        return;
    if (Graphe->Courbe.NbPoints > 0) {
        SetEtat(EtatFini);
    } else {
        SetEtat(EtatPret);
        PanelDuree->clear();
        PanelAbs->clear();
        Journal.Supprime();
    }
    if (!raison.isEmpty())
        AfficheAide(raison);
}

// The main window has told the user; the run stops here without a second box.
void TCinetiqueForm::VoieDisparue() {
    FinAcquisition(QStringLiteral("Acquisition arrêtée : l'appareil ne répond plus"));
}

void TCinetiqueForm::StopBtnClick() {
    if (Etat != EtatAcquisition)
        return;
    const quint16 n = Graphe->Courbe.NbPoints;
    if (n <= 15 && n <= Nbre / 2)
        ResetBtnClick();
    else
        SetEtat(EtatFini);
}

void TCinetiqueForm::ResetBtnClick() {
    Journal.Supprime();
    Graphe->Courbe.NbPoints = 0;
    Graphe->Courbe.NbTraces = 0;
    RedessineGraphe();
    SetEtat(EtatPret);
    PanelDuree->clear();
    PanelAbs->clear();
}

void TCinetiqueForm::AfficheDuree() {
    DureeEdit->setText(TexteTemps(Duree));
    LabelDeltat->setText(QString::number(Dt) + QStringLiteral(" s"));
    Graphe->MondeX.Maxi = Duree;
    if (Etat == EtatAcquisition)
        Timer->setInterval(Dt * 1000);
    RedessineGraphe();
}

void TCinetiqueForm::DureeSBUpClick() {
    FinSaisieNbre();
    if (Etat == EtatAcquisition) {
        if (Nbre < kNbreAugmentePoints) {
            Nbre = Nbre * 3 / 2;
        } else if ((Dt + 1) * Nbre <= kDureeMaxi) {
            ++Dt;
            Tcourbe& courbe = Graphe->Courbe;
            if (courbe.NbPoints > kMoitieCourbe) {
                courbe.NbPoints = static_cast<quint16>(courbe.NbPoints / 2);
                for (int i = 1; i < courbe.NbPoints; ++i) {
                    courbe.X[i] = courbe.X[2 * i];
                    courbe.Y[i] = courbe.Y[2 * i];
                }
                courbe.NbTraces = std::min(courbe.NbTraces, courbe.NbPoints);
            }
        }
    } else if (Dt < kDtMaxiHorsAcquisition) {
        ++Dt;
        if (Dt * Nbre > kDureeMaxiHorsAcquisition)
            Nbre = kDureeMaxiHorsAcquisition / Dt;
    }
    MajDuree();
}

void TCinetiqueForm::DureeSBDownClick() {
    FinSaisieNbre();
    if (Dt > kDtMini)
        --Dt;
    else
        Nbre = std::max(Nbre * 2 / 3, kNbreMini);
    MajDuree();
}

void TCinetiqueForm::MajDuree() {
    Nbre = std::min(Nbre, kNbreMaxi);
    if (Dt * Nbre > kDureeMaxi)
        Nbre = kDureeMaxi / Dt;
    Duree = static_cast<quint16>(Dt * Nbre);
    AfficheDuree();
    // A new count is rounded and gives the period, as a count typed.
    if (NbreEdit->text() != QString::number(Nbre)) {
        NbreEdit->setText(QString::number(Nbre));
        MajNbre();
    }
    // Thinned points or a new period: the journal follows.
    ActualiseJournal(Journal, ChampsJournal(), Graphe->Courbe);
}

void TCinetiqueForm::NbreSpinUpClick() {
    FinSaisieNbre();
    if (Nbre >= 300)
        Nbre += 60;
    else if (Nbre >= 90)
        Nbre += 30;
    else if (Nbre >= 30)
        Nbre += 10;
    else
        ++Nbre;
    MajNbre();
}

void TCinetiqueForm::NbreSpinDownClick() {
    FinSaisieNbre();
    if (Nbre >= 360)
        Nbre -= 60;
    else if (Nbre >= 120)
        Nbre -= 30;
    else if (Nbre >= 40)
        Nbre -= 10;
    else
        --Nbre;
    MajNbre();
}

// The typed count is read when its editing ends (Enter, the focus leaving, a button that uses
// it), never at each key: "20" typed would become 15 at its first key, then 150.
void TCinetiqueForm::FinSaisieNbre() {
    if (NbreEdit->isModified()) // typed since the window last wrote it
        NbreEditChange();
}

void TCinetiqueForm::NbreEditChange() {
    const QString texte = NbreEdit->text().trimmed();
    bool ok = false;
    const qint32 valeur = texte.toInt(&ok);
    if (!ok) {
        NbreEdit->setText(QString::number(Nbre)); // the count in force stays shown
        if (!texte.isEmpty()) {
            const QString message =
                QStringLiteral("« %1 » n'est pas un nombre entier valide").arg(texte);
            AfficheException(std::invalid_argument(message.toStdString()));
        }
        return;
    }
    Nbre = valeur;
    MajNbre();
}

void TCinetiqueForm::MajNbre() {
    Nbre = NbreArrondi(Nbre);
    NbreEdit->setText(QString::number(Nbre));
    Dt = static_cast<quint16>(Duree / Nbre);
    if (Dt < kDtMini) {
        Dt = kDtMini;
        Duree = static_cast<quint16>(kDtMini * Nbre);
    }
    AfficheDuree();
    ActualiseJournal(Journal, ChampsJournal(), Graphe->Courbe);
}

// The wavelength typed, held within the instrument's limits as they are now (the configuration
// may have changed them since the window was made); the field then shows what is sent.
qint32 TCinetiqueForm::LongueurDOndeBornee() {
    FixeBornesLambda();
    const qint32 lambda = std::clamp(LambdaSE->Value(), LambdaSE->MinValue(), LambdaSE->MaxValue());
    if (LambdaSE->Text() != QString::number(lambda))
        LambdaSE->SetValue(lambda);
    return lambda;
}

void TCinetiqueForm::FixeBornesLambda() {
    LambdaSE->FixeBornes(Spectro.MiniL, std::max(Spectro.MiniL, Spectro.MaxiL));
}

void TCinetiqueForm::LambdaSEChange() {
    if (Etat == EtatLambda || Etat == EtatZero || Etat == EtatPret)
        SetEtat(EtatLambda);
}

bool TCinetiqueForm::EditBidonKeyPress(int touche) {
    if (touche == Qt::Key_Space) {
        if (StartBtn->isVisibleTo(this))
            StartBtn->click();
        else if (ZeroBtn->isVisibleTo(this))
            ZeroBtn->click();
        else if (LambdaBtn->isVisibleTo(this))
            LambdaBtn->click();
    }
    return true;
}

bool TCinetiqueForm::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == EditBidon && evenement->type() == QEvent::KeyPress)
        return EditBidonKeyPress(static_cast<QKeyEvent*>(evenement)->key());
    return QWidget::eventFilter(objet, evenement);
}

void TCinetiqueForm::SaveItemClick() {
    TDialogueSauvegarde dialogue;
    dialogue.Titre = QStringLiteral("Sauvegarde données");
    const QString documents = DossierSpecial(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        dialogue.Dossier = documents + QStringLiteral("Tablarix");
    dialogue.Filtres = {QStringLiteral("Tablarix (*.tb3)"),
                        QStringLiteral("Tableur ASCII (*.txt)")};
    dialogue.ExtensionParDefaut = QStringLiteral("TB3");
    const std::optional<QString> nom = Boites().NomSauvegarde(dialogue);
    if (!nom)
        return;
    // Marked as saved only once the file is written: a failed save still asks at closing.
    if (EcritFichierDonnees(*nom, TModeDonnees::Cinetique, *Graphe)) {
        Sauve = true;
        Journal.Supprime();
    }
}

// The clipboard dies with the program: the journal stays until the run is in a file or sent.
void TCinetiqueForm::ClipSaveBtnClick() {
    TransfertDonnees(TModeDonnees::Cinetique, false, *Graphe);
    Sauve = true;
}

void TCinetiqueForm::RegSaveBtnClick() {
    if (!ConstanteDlg || Boites().ExecuteModal(*ConstanteDlg) != QDialog::Accepted)
        return;
    // The transfer leaves the destination choice on "Nouvelle page" for the next one. A send
    // that did not happen leaves the run unsaved.
    if (!TransfertDonnees(TModeDonnees::Cinetique, true, *Graphe))
        return;
    Sauve = true;
    Journal.Supprime();
    AfficheAide(TexteDonneesEnvoyees());
}

void TCinetiqueForm::PrintBtnClick() {
    Graphe->Imprime();
    RedessineGraphe();
}

void TCinetiqueForm::ExitBtnClick() {
    close(); // FormClose leaves the mode
}

void TCinetiqueForm::closeEvent(QCloseEvent* evenement) {
    bool fermer = true;
    AvecBoiteErreur([this, &fermer] { fermer = FormClose(); });
    evenement->setAccepted(fermer);
}

// False when the user stays in the window with the run.
bool TCinetiqueForm::FormClose() {
    if (Etat == EtatAcquisition)
        StopBtnClick();
    if (!ProposeSauvegarde(QStringLiteral("Confirmation")))
        return false;
    Timer->stop();
    if (TAiguillage* modes = Aiguillage())
        modes->ChoixMode(0);
    return true;
}

bool TCinetiqueForm::ProposeSauvegarde(const QString& titre) {
    if (Etat != EtatFini || Sauve)
        return true;
    return DemandeSauvegarde(titre, Journal, [this] {
        SaveItemClick();
        return Sauve;
    });
}

bool TCinetiqueForm::FinProgramme() {
    if (Etat == EtatAcquisition)
        StopBtnClick();
    return RegleALaFin(*this, Journal,
                       [this](const QString& titre) { return ProposeSauvegarde(titre); });
}

void TCinetiqueForm::showEvent(QShowEvent* evenement) {
    QWidget::showEvent(evenement);
    if (const QScreen* ecran = screen()) {
        const QRect zone = ecran->availableGeometry();
        setMaximumSize(zone.width() - 20, zone.height() - 20);
        if (!centree_) {
            centree_ = true;
            move(zone.center() - rect().center());
        }
    }
    FixeBornesLambda();
    EditBidon->setFocus();
}

// The count and duration of a journal, held together as a count typed holds them: a count on the
// steps of its buttons, the period derived from the duration and at least 2 s. The duration is
// the time axis of the points: it is kept when it can be.
void TCinetiqueForm::RestaureReglages(const TChampsJournal& champs) {
    Nbre = NbreArrondi(ChampEntier(champs, "nbre", Nbre, kNbreMini, kNbreMaxi));
    Duree = static_cast<quint16>(ChampEntier(champs, "duree", Duree, 1, kDureeMaxi));
    Dt = static_cast<quint16>(Duree / Nbre);
    if (Dt < kDtMini) {
        Dt = kDtMini;
        Duree = static_cast<quint16>(kDtMini * Nbre);
    }
}

TChampsJournal TCinetiqueForm::ChampsJournal() const {
    return ChampsAcquisition("cinetique", *Graphe,
                             {{"lambda", QByteArray::number(LambdaSE->Value())},
                              {"dt", QByteArray::number(Dt)},
                              {"nbre", QByteArray::number(Nbre)},
                              {"duree", QByteArray::number(Duree)}});
}

void TCinetiqueForm::Restaure(const TJournalLu& journal) {
    if (Etat == EtatAcquisition)
        return; // never over a run in progress
    FixeBornesLambda();
    LambdaSE->SetValue(ChampEntier(journal.Champs, "lambda", LambdaSE->Value(),
                                   LambdaSE->MinValue(), LambdaSE->MaxValue()));
    RestaureReglages(journal.Champs);
    NbreEdit->blockSignals(true);
    NbreEdit->setText(QString::number(Nbre));
    NbreEdit->blockSignals(false);
    RestaureAcquisition(journal, *Graphe);
    AfficheDuree();
    PanelDuree->clear();
    PanelAbs->clear();
    Sauve = false;
    SetEtat(EtatFini);
    Journal.Reprend(journal);
    MontreFenetreRestauree(2, *this);
}
