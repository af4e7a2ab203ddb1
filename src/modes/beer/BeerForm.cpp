#include "modes/beer/BeerForm.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/Csv.h"
#include "exchange/TableauPoints.h"
#include "graph/BoitePeinture.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/ModeBeerDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using TRefus = TSessionBeer::TRefus;
using TChangement = TSessionBeer::TChangement;

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
    Timer->setInterval(Session.Attente.Intervalle());
    CreeControles();
    Tableau = new TTableauPoints(Graphe, QStringLiteral("Tableau — Loi de Beer-Lambert"), this);
    resize(575, 381);
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());

    Relie();
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

void TBeerForm::Relie() {
    connect(ClipSaveBtn, &QToolButton::clicked, this, &TBeerForm::ClipSaveBtnClick);
    connect(RegSaveBtn, &QToolButton::clicked, this, &TBeerForm::RegSaveBtnClick);
    connect(FileSaveBtn, &QToolButton::clicked, this, &TBeerForm::SaveItemClick);
    connect(ModeBtn, &QToolButton::clicked, this, &TBeerForm::AcquisitionItemClick);
    connect(ResetBtn, &QToolButton::clicked, this, &TBeerForm::ResetBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, &TBeerForm::UndoBtnClick);
    connect(LambdaSE, &TSpinEdit::Change, this, &TBeerForm::LambdaSEChange);
    connect(MajBtn, &QPushButton::clicked, this, &TBeerForm::MajBtnClick);
    connect(ZeroBtn, &QPushButton::clicked, this, &TBeerForm::ZeroBtnClick);
    connect(TableauBtn, &QToolButton::clicked, this, &TBeerForm::TableauBtnClick);
    connect(PrintBtn, &QToolButton::clicked, this, &TBeerForm::PrintBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &TBeerForm::ExitItemClick);
    connect(EnregistreBtn, &QPushButton::clicked, this, &TBeerForm::EnregistreBtnClick);
    ClavierEdit->installEventFilter(this);
    EnregistreEdit->installEventFilter(this);
    connect(Oscillo, &TBoitePeinture::Peinture, this, &TBeerForm::OscilloPaint);
    connect(Timer, &QTimer::timeout, this, &TBeerForm::TimerTimer);
}

void TBeerForm::FormCreate() {
    Graphe.ModeTrace = 2;
    Graphe.Canvas = &Oscillo->Canevas();
    LambdaSE->FixeBornes(Spectro.MiniL, Spectro.MaxiL);
    LambdaSE->SetValue(500); // a change: the update button blinks until the wavelength is sent
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
    const quint8 mode = Session.Mode;
    MajControles();
    LabelClavier->setVisible(mode == 1 || mode == 2);
    ClavierEdit->setVisible(mode == 1 || mode == 2);
    Session.PrepareAxeX();
    Oscillo->Repeint();
    MajControles();
    beerCalcGrid->setVisible(mode == 1);
    beerCalcGrid->setHorizontalHeaderLabels(
        {TitreColonne(Graphe.MondeX), TitreColonne(Graphe.MondeY)});
    for (QLabel* texte : {LoiLabel, DeterminationLabel, EcartLabel})
        texte->setVisible(mode == 1);
    MajEcart();
}

void TBeerForm::MajControles() {
    const int n = Session.Nombre();
    for (QToolButton* b : {ResetBtn, FileSaveBtn, RegSaveBtn, ClipSaveBtn})
        b->setVisible(n > 2);
    UndoBtn->setVisible(n > 0);
    ClavierEdit->clear();
    const Tmonde& x = Graphe.MondeX;
    LabelClavier->setText(x.Nom.TexteEcran() + QStringLiteral(" (") + x.Unite.TexteEcran() +
                          QStringLiteral(") ="));
    MajSaisie();
    EnregistreBtn->setAccessibleName(EnregistreBtn->text());
}

// The record button and the typed value, as the mode uses them.
void TBeerForm::MajSaisie() {
    const bool libre = !AttenteLambda();
    switch (Session.Mode) {
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
        EnregistreBtn->setVisible(Session.Etalonne());
        EnregistreBtn->setEnabled(Session.Etalonne() && libre);
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
        ClavierEdit->setStatusTip(QStringLiteral("Taper la valeur de ") +
                                  Graphe.MondeX.Nom.TexteEcran() +
                                  QStringLiteral(". Valider pour lire l'absorbance"));
        EnregistreBtn->setVisible(false);
        EnregistreBtn->setText(QString());
        EnregistreBtn->setStatusTip(QString());
        EnregistreEdit->setEnabled(false);
        break;
    }
}

void TBeerForm::Message(const QString& texte) {
    Boites().Affiche({TApplication::Titre(), texte, TIconeBoite::Information, TBoutonsBoite::Ok});
}

// A reading is under way (its wait lets clicks and keys through) or the instrument is still
// moving to its wavelength: the request is refused.
bool TBeerForm::Occupe() {
    if (!Session.Occupe())
        return false;
    QApplication::beep();
    return true;
}

// True when the reading asked for does not start; the user is told why.
bool TBeerForm::Refuse(TRefus refus) {
    switch (refus) {
    case TRefus::Aucun:
        return false;
    case TRefus::SansObjet:
        return true;
    case TRefus::Occupe:
        return Occupe();
    case TRefus::TablePleine:
        Message(QStringLiteral("Le tableau est plein : %1 points au plus.").arg(CapaciteCourbe));
        return true;
    case TRefus::InconnuesPleines:
        Message(QStringLiteral("%1 échantillons inconnus au plus : faites une remise à zéro.")
                    .arg(CapaciteInconnues));
        return true;
    }
    return true;
}

bool TBeerForm::LitAbsorbance(double& absorbance) {
    if (!VoieSeriePrete())
        return false;
    const TSessionBeer::TLecture lecture(Session);
    absorbance = Spectro.DemandeAbs();
    if (absorbance != Indefini)
        return true;
    // Nothing is recorded: the user takes the point again, told why nothing came.
    AfficheAide(QStringLiteral("Pas de mesure : l'appareil n'a pas répondu ou sa réponse est "
                               "illisible. Vérifiez-le puis recommencez."));
    return false;
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
    if (touche.key() == Qt::Key_Space && Session.Mode == 0 && !EnregistreBtn->isHidden() &&
        EnregistreBtn->isEnabled())
        EnregistreBtnClick();
    return true; // the hidden edit keeps no text
}

void TBeerForm::EnregistreBtnClick() {
    if (Refuse(Session.RefusEnregistre()))
        return;
    AvecBoiteErreur([this] {
        double a = 0;
        if (LitAbsorbance(a))
            EnregistreLecture(a);
    });
}

// A point at the next rank in mode 0, an unknown sample in mode 1.
void TBeerForm::EnregistreLecture(double absorbance) {
    if (Session.Mode == 0) {
        Session.AjouteRang(absorbance);
        AjoutePoint(Session.Nombre() - 1);
        Journalise(TChangement::Point);
        if (Session.AgranditAxeRang())
            Oscillo->Repeint();
    } else if (Session.Mode == 1) {
        const int j = Session.Inconnues.NbreInconnues;
        if (Session.AjouteInconnue(absorbance))
            MontreInconnue(j);
    }
    MajControles();
}

bool TBeerForm::ClavierEditKeyPress(const QKeyEvent& touche) {
    if (touche.key() != Qt::Key_Return && touche.key() != Qt::Key_Enter)
        return false;
    if (Refuse(Session.RefusClavier()))
        return true;
    double valeur = 0;
    if (!LitReel(ClavierEdit->text(), Regional().SeparateurDecimal, valeur)) {
        Message(QStringLiteral("Nombre mal écrit"));
        ClavierEdit->clear();
        ClavierEdit->setFocus();
        return true;
    }
    if (Session.HorsAxe(valeur) && !ConfirmeHorsAxe(valeur)) {
        ClavierEdit->setFocus();
        return false;
    }
    AvecBoiteErreur([this, valeur] { EnregistrePointClavier(valeur); });
    return true;
}

// A value beyond the axis is asked about; confirmed, the axis reaches it.
bool TBeerForm::ConfirmeHorsAxe(double valeur) {
    const Tmonde& x = Graphe.MondeX;
    const QString question = (FloatToStr3(valeur) + QStringLiteral(" avec mini=") +
                              FloatToStr3(x.Mini) + QStringLiteral(" et maxi=") +
                              FloatToStr3(x.Maxi) + QStringLiteral("\n    Vous confirmez ?"))
                                 .left(102);
    if (Boites().Affiche({QStringLiteral("Confirmation"), question, TIconeBoite::Question,
                          TBoutonsBoite::OuiNon}) != TReponseBoite::Oui)
        return false;
    Session.EtendAxe(valeur);
    Oscillo->Repeint();
    return true;
}

void TBeerForm::EnregistrePointClavier(double valeur) {
    double a = 0;
    if (!LitAbsorbance(a))
        return;
    Session.AjouteClavier(valeur, a);
    const int n = Session.Nombre();
    AjoutePoint(n - 1);
    Journalise(TChangement::Point);
    const bool etalonne = Session.Etalonne();
    EnregistreBtn->setVisible(etalonne);
    // Usable as soon as it shows, or "Concentration ?" would appear dead after the third standard.
    EnregistreBtn->setEnabled(etalonne && !AttenteLambda());
    if (etalonne)
        MontreEtalonnage();
    ClavierEdit->clear();
    ClavierEdit->setFocus();
    UndoBtn->setVisible(n > 0);
    for (QToolButton* b : {FileSaveBtn, RegSaveBtn, ClipSaveBtn, ResetBtn})
        b->setVisible(n > 2);
    MajEcart();
}

void TBeerForm::UndoBtnClick() {
    if (Occupe())
        return;
    Journalise(Session.Defaire());
    Oscillo->Repeint();
    MajEcart(); // the line goes with the third standard
    EnregistreBtn->setVisible(Session.Mode == 0 || Session.Etalonne());
    if (Session.Mode == 0)
        EnregistreEdit->setFocus();
}

void TBeerForm::ResetBtnClick() {
    if (Occupe() || !ProposeSauvegarde(QStringLiteral("Confirmation")))
        return;
    Session.Vide();
    Journalise(TChangement::Fin);
    RemplitGrilleCalcul();
    Oscillo->Repeint();
    MajControles();
    MajEcart();
}

void TBeerForm::AcquisitionItemClick() {
    if (Occupe())
        return;
    const quint8 avant = Session.Mode;
    {
        TModeBeerDlg dialogue(*this, this);
        Boites().ExecuteModal(dialogue);
    }
    if (Session.ChangeMode(avant)) {
        Journalise(TChangement::Fin);
        RemplitGrilleCalcul();
    }
    InitAttente();
    Journalise(TChangement::Grandeur);
}

void TBeerForm::LambdaSEChange() {
    MajBtn->show();
    Session.Attente.Change();
    Timer->setInterval(Session.Attente.Intervalle());
    Timer->start();
}

void TBeerForm::TimerTimer() {
    if (Session.Attente.Tic()) {
        FinAttenteLambda();
        return;
    }
    MajBtn->setStyleSheet(Session.Attente.Rouge() ? QStringLiteral("color: red")
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
    Session.Attente.Envoyee(Spectro.TimeOut);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sablier_ = true;
    LambdaSE->setEnabled(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ClavierEdit, EnregistreBtn, EnregistreEdit, ZeroBtn})
        w->setEnabled(false);
    MajBtn->hide();
    MajBtn->setStyleSheet(QString());
    Timer->setInterval(Session.Attente.Intervalle());
    Timer->start();
}

void TBeerForm::FinAttenteLambda() {
    if (sablier_) {
        QApplication::restoreOverrideCursor();
        sablier_ = false;
    }
    Session.Attente.Fin();
    for (QWidget* w : std::initializer_list<QWidget*>{ClavierEdit, ZeroBtn, LambdaSE})
        w->setEnabled(true);
    Timer->stop();
    Timer->setInterval(Session.Attente.Intervalle());
    // Enabled even while hidden: a later mode that shows it must not find it dead.
    EnregistreBtn->setEnabled(Session.EnregistreActif());
    EnregistreEdit->setEnabled(Session.Mode == 0);
    FocusSurLaSaisie();
}

// Where the next point is taken: the space bar in mode 0, the typed value otherwise.
void TBeerForm::FocusSurLaSaisie() {
    (Session.Mode == 0 ? EnregistreEdit : ClavierEdit)->setFocus();
}

void TBeerForm::ZeroBtnClick() {
    if (Occupe() || !VoieSeriePrete())
        return;
    EnregistreBtn->setEnabled(false);
    Timer->stop();
    Session.Attente.Arrete();
    const bool majActif = MajBtn->isEnabled();
    MajBtn->setEnabled(false);
    EnregistreEdit->setEnabled(false);
    QCoreApplication::processEvents();
    AvecBoiteErreur([] { Spectro.LigneDeBase(); });
    EnregistreBtn->setEnabled(Session.EnregistreActif());
    MajBtn->setEnabled(majActif);
    EnregistreEdit->setEnabled(Session.Mode == 0);
    FocusSurLaSaisie();
}

void TBeerForm::TableauBtnClick() {
    Tableau->show();
    Tableau->raise();
    Tableau->activateWindow();
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
    Session.Attente.Arrete();
    AvecBoiteErreur([] {
        if (TAiguillage* modes = Aiguillage())
            modes->ChoixMode(0);
    });
    return true;
}
