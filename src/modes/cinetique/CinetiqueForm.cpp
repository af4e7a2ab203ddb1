#include "modes/cinetique/CinetiqueForm.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/TableauPoints.h"
#include "graph/BoitePeinture.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>

namespace {

// A time in seconds in the long time format of the system.
QString TexteTemps(qint32 secondes) {
    return QTime::fromMSecsSinceStartOfDay(0)
        .addSecs(secondes % 86400)
        .toString(Regional().FormatHeureLong);
}

// Fixed format, 3 decimals, with the system's decimal separator.
QString TexteAbsorbance(double a) {
    return QString::number(a, 'f', 3).replace(u'.', Regional().SeparateurDecimal);
}

} // namespace

TCinetiqueForm::TCinetiqueForm(QWidget* parent)
    : QWidget(parent, Qt::Window), StatusBar(new QStatusBar(this)), Timer(new QTimer(this)) {
    setObjectName(QStringLiteral("CinetiqueForm"));
    setWindowTitle(QStringLiteral("Cinétique suivie par spectrophotomètre Jenway 6400"));
    CreeControles();
    RelieControles();
    FormCreate();
}

// An unsettled run's journal stays, for the next start: a normal end settles every run first
// (FinProgramme).
TCinetiqueForm::~TCinetiqueForm() {
    Timer->stop();
    if (Graphe)
        Graphe->Canvas = nullptr;
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
    relie(TableauBtn, &TCinetiqueForm::TableauBtnClick);
    relie(DureeSB->Haut, &TCinetiqueForm::DureeSBUpClick);
    relie(DureeSB->Bas, &TCinetiqueForm::DureeSBDownClick);
    relie(NbreSpin->Haut, &TCinetiqueForm::NbreSpinUpClick);
    relie(NbreSpin->Bas, &TCinetiqueForm::NbreSpinDownClick);
    connect(NbreEdit, &QLineEdit::editingFinished, this, &TCinetiqueForm::FinSaisieNbre);
    connect(LambdaSE, &TSpinEdit::Change, this, &TCinetiqueForm::LambdaSEChange);
    EditBidon->installEventFilter(this);
    connect(Timer, &QTimer::timeout, this, [this] { AvecBoiteErreur([this] { TimerTimer(); }); });
    connect(Oscillo, &TBoitePeinture::Peinture, this, &TCinetiqueForm::OscilloPaint);
    Journal.SurEchec = [this](const QString& texte) {
        AfficheAide(texte);
    };
}

void TCinetiqueForm::FormCreate() {
    Graphe = std::make_unique<Tgraphe>();
    Graphe->Canvas = &Oscillo->Canevas();
    Sauve = false;
    AfficheDuree();
    NbreEdit->setText(QString::number(Plan.Nbre));
    LabelDeltat->setText(AnsiVersEcran("\x83t=") + QString::number(Plan.Dt) + QStringLiteral(" s"));
    Tmonde& x = Graphe->MondeX;
    x.Nom = "t";
    x.Unite = "s";
    x.Signification = "temps";
    x.Mini = 0;
    x.Maxi = Plan.Duree;
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
    deroulement_.Etat = e;
    MontreEtape(e);
    if (e == EtatAcquisition) {
        Timer->start(Plan.Dt * 1000);
    } else {
        Timer->stop();
        LectureS->hide();
    }
    if (e == EtatFini) {
        Graphe->FixeMonde(
            0, 0, Plan.Duree,
            TDeroulementCinetique::MaxiAbsorbanceFinale(Graphe->Courbe, Spectro.MaxiA));
        RedessineGraphe();
    }
    if (isActiveWindow() && !LambdaSE->hasFocus())
        EditBidon->setFocus();
}

// Each step shows its own button; the settings stay out of reach while acquiring.
void TCinetiqueForm::MontreEtape(quint8 e) {
    const bool acquisition = e == EtatAcquisition;
    const bool fini = e == EtatFini;
    LambdaBtn->setVisible(e == EtatLambda);
    ZeroBtn->setVisible(e == EtatZero);
    StartBtn->setVisible(e == EtatPret);
    for (QWidget* w : std::initializer_list<QWidget*>{StopBtn, RepereBtn, PanelDuree, PanelAbs})
        w->setVisible(acquisition);
    for (QWidget* w : {ResetBtn, FileSaveBtn, ClipSaveBtn, RegSaveBtn})
        w->setVisible(fini);
    ExitBtn->setVisible(!acquisition);
    NbreSpin->setVisible(!acquisition);
    NbreEdit->setEnabled(!acquisition);
    ZeroBtnBis->setVisible(e != EtatZero);
    LambdaSE->setEnabled(deroulement_.LambdaReglable());
}

void TCinetiqueForm::RedessineGraphe() {
    Oscillo->Repeint();
    if (tableau_)
        tableau_->Actualise();
}

void TCinetiqueForm::TableauBtnClick() {
    if (!tableau_)
        tableau_ = new TTableauPoints(
            *Graphe, QStringLiteral("Tableau des points — Suivi de cinétique"), this);
    tableau_->show();
    tableau_->raise();
    tableau_->activateWindow();
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
        SetEtat(Etat()); // the step button comes back for another try
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
    Plan.PrepareAcquisition();
    AfficheDuree();
    Graphe->Courbe.NbPoints = 0;
    Graphe->MondeX.Maxi = Plan.Duree;
    Graphe->MondeY.Maxi = Spectro.MaxiA;
    EffacePanneaux();
    RedessineGraphe();
    SetEtat(EtatPret);
}

void TCinetiqueForm::StartBtnClick() {
    FinSaisieNbre();
    if (!VoieSeriePrete())
        return;
    if (Spectro.Voie)
        connect(Spectro.Voie, &TApdComPort::Disparu, this, &TCinetiqueForm::VoieDisparue,
                Qt::UniqueConnection);
    deroulement_.Commence();
    Sauve = false;
    Graphe->Courbe.NbPoints = 0;
    Graphe->Courbe.NbTraces = 0;
    Journalise(TChangement::Debut);
    SetEtat(EtatAcquisition);
    TimerTimer();
}

void TCinetiqueForm::TimerTimer() {
    // A tick that comes while the instrument still answers the previous one is dropped.
    if (!deroulement_.DebuteLecture())
        return;
    LectureS->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    double lue = Indefini;
    try {
        lue = Spectro.DemandeAbs();
    } catch (...) {
        deroulement_.LectureEchouee();
        LectureS->hide();
        // The port cannot be read: the run ends with what it has, and the error is told once.
        FinAcquisition(QString());
        throw;
    }
    LectureS->hide();
    using TLecture = TDeroulementCinetique::TLecture;
    const TLecture lecture = deroulement_.FinLecture(lue);
    if (lecture == TLecture::Avertir)
        AfficheAide(QStringLiteral("L'appareil ne donne plus de mesure lisible : vérifiez "
                                   "qu'il est allumé et relié. L'acquisition continue."));
    if (lecture == TLecture::Revenue)
        AfficheAide(QString());
    if (lecture != TLecture::Enregistree && lecture != TLecture::Revenue)
        return;
    DerniereAbs = lue;
    EnregistrePoint();
}

void TCinetiqueForm::EnregistrePoint() {
    Tcourbe& courbe = Graphe->Courbe;
    const quint16 n = courbe.NbPoints;
    if (n >= CapaciteCourbe)
        return;
    const qint32 ecoule = deroulement_.SecondesEcoulees();
    courbe.X[n] = ecoule;
    PanelDuree->setText(TexteTemps(ecoule));
    PanelAbs->setText(TexteAbsorbance(DerniereAbs));
    courbe.Y[n] = DerniereAbs;
    Graphe->TracePoint(n);
    courbe.NbPoints = static_cast<quint16>(n + 1);
    if (tableau_)
        tableau_->Actualise();
    Journalise(TChangement::Point);
    const auto suite = deroulement_.ApresPoint(courbe.NbPoints, Plan.Duree);
    if (suite == TDeroulementCinetique::TSuite::DureeAtteinte)
        SetEtat(EtatFini);
    else if (suite == TDeroulementCinetique::TSuite::CourbePleine)
        FinAcquisition(QStringLiteral("Acquisition terminée : la courbe est pleine (%1 points)")
                           .arg(CapaciteCourbe));
}

// Ends a run early, keeping every point taken.
void TCinetiqueForm::FinAcquisition(const QString& raison) {
    if (Etat() != EtatAcquisition)
        return;
    const quint8 apres = TDeroulementCinetique::EtapeApresCoupure(Graphe->Courbe.NbPoints);
    SetEtat(apres);
    if (apres == EtatPret) {
        EffacePanneaux();
        Journalise(TChangement::Fin);
    }
    if (!raison.isEmpty())
        AfficheAide(raison);
}

// The main window has told the user; the run stops here without a second box.
void TCinetiqueForm::VoieDisparue() {
    FinAcquisition(QStringLiteral("Acquisition arrêtée : l'appareil ne répond plus"));
}

void TCinetiqueForm::StopBtnClick() {
    if (Etat() != EtatAcquisition)
        return;
    if (TDeroulementCinetique::EtapeApresArret(Graphe->Courbe.NbPoints, Plan.Nbre) == EtatPret)
        ResetBtnClick();
    else
        SetEtat(EtatFini);
}

void TCinetiqueForm::ResetBtnClick() {
    Journalise(TChangement::Fin);
    Graphe->Courbe.NbPoints = 0;
    Graphe->Courbe.NbTraces = 0;
    RedessineGraphe();
    SetEtat(EtatPret);
    EffacePanneaux();
}

void TCinetiqueForm::EffacePanneaux() {
    PanelDuree->clear();
    PanelAbs->clear();
}

void TCinetiqueForm::AfficheDuree() {
    DureeEdit->setText(TexteTemps(Plan.Duree));
    LabelDeltat->setText(QString::number(Plan.Dt) + QStringLiteral(" s"));
    Graphe->MondeX.Maxi = Plan.Duree;
    if (Etat() == EtatAcquisition)
        Timer->setInterval(Plan.Dt * 1000);
    RedessineGraphe();
}

void TCinetiqueForm::DureeSBUpClick() {
    FinSaisieNbre();
    Plan.DureeHaut(Etat() == EtatAcquisition, Graphe->Courbe);
    PlanChange();
}

void TCinetiqueForm::DureeSBDownClick() {
    FinSaisieNbre();
    Plan.DureeBas();
    PlanChange();
}

void TCinetiqueForm::NbreSpinUpClick() {
    FinSaisieNbre();
    Plan.NbreHaut();
    PlanChange();
}

void TCinetiqueForm::NbreSpinDownClick() {
    FinSaisieNbre();
    Plan.NbreBas();
    PlanChange();
}

// The plan shown again; thinned points or a new period, the journal follows.
void TCinetiqueForm::PlanChange() {
    const QString nbre = QString::number(Plan.Nbre);
    if (NbreEdit->isModified() || NbreEdit->text() != nbre)
        NbreEdit->setText(nbre);
    AfficheDuree();
    Journalise(TChangement::Reglages);
}

// The typed count is read when its editing ends (Enter, the focus leaving, a button that uses
// it), never at each key: "20" typed would become 15 at its first key, then 150.
void TCinetiqueForm::FinSaisieNbre() {
    if (NbreEdit->isModified()) // typed since the window last wrote it
        NbreEditChange();
}

void TCinetiqueForm::NbreEditChange() {
    const QString texte = NbreEdit->text().trimmed();
    if (Plan.FixeNbre(texte)) {
        PlanChange();
        return;
    }
    NbreEdit->setText(QString::number(Plan.Nbre)); // the count in force stays shown
    if (!texte.isEmpty()) {
        const QString message =
            QStringLiteral("« %1 » n'est pas un nombre entier valide").arg(texte);
        AfficheException(std::invalid_argument(message.toStdString()));
    }
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
    if (deroulement_.LambdaReglable())
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
    if (Etat() == EtatAcquisition)
        StopBtnClick();
    if (!ProposeSauvegarde(QStringLiteral("Confirmation")))
        return false;
    Timer->stop();
    if (TAiguillage* modes = Aiguillage())
        modes->ChoixMode(0);
    return true;
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
