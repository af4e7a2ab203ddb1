#include "shell/FormMain.h"

#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "instrument/ApdComPort.h"
#include "instrument/ConfigSpectroDlg.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/AboutBox.h"
#include "shell/Clavier.h"
#include "shell/ComCfgDlg.h"
#include "shell/Fenetres.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QPushButton* BoutonMode(const QString& nom, const QString& legende, const QString& aide = {}) {
    auto* bouton = new QPushButton(legende);
    bouton->setFixedSize(250, 33);
    if (!aide.isEmpty())
        FixeAide(*bouton, aide);
    Nomme(*bouton, nom);
    return bouton;
}

// The Ctrl+letter table types into the program's own text fields only: not into Qt's dialogs
// (a file name would get a Greek letter for Ctrl+A), nor into a number.
bool TableCtrlSApplique(const QObject* objet) {
    const auto* edit = qobject_cast<const QWidget*>(objet);
    if (!edit || EstChampNumerique(*edit))
        return false;
    if (!qobject_cast<const QLineEdit*>(edit) && !qobject_cast<const QTextEdit*>(edit) &&
        !qobject_cast<const QPlainTextEdit*>(edit))
        return false;
    // Qt names each of its classes with a Q; the program's windows are classes of its own.
    return !QByteArray(edit->window()->metaObject()->className()).startsWith('Q');
}

// The control code Ctrl+key gives (Ctrl+A is 1, Ctrl+Enter is 10 like Ctrl+J), 0 for none.
int CodeControle(const QKeyEvent& touche) {
    if (!(touche.modifiers() & Qt::ControlModifier))
        return 0;
    if (touche.key() >= Qt::Key_A && touche.key() <= Qt::Key_Z)
        return touche.key() - Qt::Key_A + 1;
    if (touche.key() == Qt::Key_Return || touche.key() == Qt::Key_Enter)
        return 10;
    return 0;
}

} // namespace

TFormMain::TFormMain(QWidget* parent) : QWidget(parent), VoieSerie(new TApdComPort(this)) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Acquisition avec Jenway 6400, 6500"));
    setFont(QFont(QStringLiteral("MS Sans Serif")));

    BoutonPanel = new QWidget;
    BoutonPanel->setObjectName(QStringLiteral("BoutonPanel"));
    BoutonPanel->setFixedHeight(41);
    AboutBtn = BoutonMode(QStringLiteral("AboutBtn"), QStringLiteral("A propos..."));
    BitBtn1 = BoutonMode(QStringLiteral("BitBtn1"), QStringLiteral("voie série"));
    ExitBtn = BoutonMode(QStringLiteral("ExitBtn"), QStringLiteral("Quitter"));
    auto* barre = new QHBoxLayout(BoutonPanel);
    barre->setContentsMargins(4, 4, 4, 4);
    for (QPushButton* b : {AboutBtn, BitBtn1, ExitBtn}) {
        b->setFixedSize(110, 29);
        barre->addWidget(b);
    }

    Label1 =
        new QLabel(QStringLiteral("Le menu principal doit être affiché sur l'écran du Jenway"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignCenter);

    CinetiqueBtn = BoutonMode(QStringLiteral("CinetiqueBtn"), QStringLiteral("Suivi de cinétique"),
                              QStringLiteral("Cinétique|Absorbance en  fonction du temps"));
    SpectreMinMaxBtn =
        BoutonMode(QStringLiteral("SpectreMinMaxBtn"), QStringLiteral("Tracé de spectre"),
                   QStringLiteral("Spectre manuel|Acquisition \"manuelle\" de spectres"));
    BeerBtn = BoutonMode(QStringLiteral("BeerBtn"), QStringLiteral("Loi de Beer-Lambert"));
    ConfigBtn = BoutonMode(QStringLiteral("ConfigBtn"), QStringLiteral("Configuration complète"));

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 8);
    page->addWidget(BoutonPanel);
    page->addWidget(Label1);
    for (QPushButton* b : {CinetiqueBtn, SpectreMinMaxBtn, BeerBtn, ConfigBtn})
        page->addWidget(b, 0, Qt::AlignHCenter);
    page->addStretch();
    resize(398, 253);

    connect(AboutBtn, &QPushButton::clicked, this, &TFormMain::AboutItemClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormMain::BitBtn1Click);
    connect(ExitBtn, &QPushButton::clicked, this, &TFormMain::ExitItemClick);
    connect(CinetiqueBtn, &QPushButton::clicked, this, &TFormMain::CinetiqueBtnClick);
    connect(SpectreMinMaxBtn, &QPushButton::clicked, this, &TFormMain::SpectreMinMaxBtnClick);
    connect(BeerBtn, &QPushButton::clicked, this, &TFormMain::BeerBtnClick);
    connect(ConfigBtn, &QPushButton::clicked, this, &TFormMain::ComBtnClick);

    FormCreate();
}

TFormMain::~TFormMain() {
    if (Spectro.Voie == VoieSerie)
        Spectro.Voie = nullptr;
}

void TFormMain::FormCreate() {
    qApp->installEventFilter(this);
    ModeCourant = 0;
    Spectro.Voie = VoieSerie;
    // A vanished device (adapter pulled out) is told once; the port is already closed and the
    // next mode switch goes through the opening again.
    connect(VoieSerie, &TApdComPort::Disparu, this,
            [](const QString& message) { AfficheErreur(message); });
    connect(VoieSerie, &TApdComPort::Sablier, this, [](bool enCours) {
        if (enCours)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

void TFormMain::ChoixMode(quint8 mode) {
    ConstanteDlg->NewPageCB->SetItemIndex(0);
    CinetiqueBtn->setVisible(mode == 0 || mode == 2);
    BeerBtn->setVisible(mode == 0 || mode == 3);
    SpectreMinMaxBtn->setVisible(mode == 0 || mode == 1);
    ModeCourant = mode;
    const bool ouverte = OuvreVoieSerie();
    if (Spectro.Tracing) {
        VoieSerie->SetTracing(tlOn);
        VoieSerie->SetLogging(tlOn);
    }
    // The failure was told with what to do: a port-not-open error on top of it would say less.
    if (!ouverte)
        return;
    if (mode != 0) {
        Spectro.EnvoiCommande(Spectro.CmdDebutRemote);
        FenetreDuMode()->show();
        FenetreDuMode()->raise();
        FenetreDuMode()->activateWindow();
    } else {
        VoieSerie->SetOnTriggerAvail({});
        Spectro.EnvoiCommande(Spectro.CmdFinRemote);
    }
}

// True when the port is open. Otherwise the user is told once why, and how to get out of a mode
// whose window did not open: the other mode buttons stay hidden until then.
bool TFormMain::OuvreVoieSerie() {
    if (VoieSerie->Open())
        return true;
    QStringList causes; // each failure, said for the user
    const auto ouvre = [&] {
        try {
            VoieSerie->SetOpen(true);
            return true;
        } catch (const std::exception& erreur) {
            causes << QString::fromUtf8(erreur.what());
            return false;
        }
    };
    RegleVoieSerie(); // on a closed port the settings are only stored
    if (ouvre())
        return true;
    // COM1 and COM2 stand in for each other. Another configured port is not swapped for one of
    // them: the user chose it, and the settings must not lose it.
    if (Spectro.Com == 1 || Spectro.Com == 2) {
        Spectro.Com = static_cast<quint16>(3 - Spectro.Com);
        VoieSerie->SetComNumber(Spectro.Com);
        if (ouvre())
            return true;
    }
    if (QPushButton* bouton = BoutonDuMode())
        causes << QStringLiteral("« %1 » n'a pas démarré : choisissez le port de l'appareil "
                                 "(bouton « voie série ») puis cliquez de nouveau sur « %1 », ou "
                                 "passez par « Configuration complète », qui propose de nouveau "
                                 "les trois modes.")
                      .arg(bouton->text());
    // Longer than a plain error message: every cause is said whole.
    Boites().Affiche(
        {QStringLiteral("Erreur"),
         QStringLiteral("Problème voie série\n\n") + causes.join(QStringLiteral("\n\n")),
         TIconeBoite::Erreur, TBoutonsBoite::Ok});
    return false;
}

void TFormMain::RegleVoieSerie() {
    VoieSerie->SetBaud(Spectro.Baud);
    VoieSerie->SetComNumber(Spectro.Com);
    VoieSerie->SetDataBits(Spectro.DataBits);
    VoieSerie->SetStopBits(Spectro.StopBits);
    VoieSerie->SetParity(Spectro.Parity);
    VoieSerie->SetSWFlowOptions(Spectro.XonXoff ? swfBoth : swfNone);
    VoieSerie->SetHWFlowOptions(
        Spectro.RTS ? THWFlowOptions(hwfUseDTR | hwfUseRTS | hwfRequireDSR | hwfRequireCTS)
                    : THWFlowOptions());
}

void TFormMain::CinetiqueBtnClick() {
    AvecBoiteErreur([this] { ChoixMode(2); });
}

void TFormMain::SpectreMinMaxBtnClick() {
    AvecBoiteErreur([this] { ChoixMode(1); });
}

void TFormMain::BeerBtnClick() {
    AvecBoiteErreur([this] { ChoixMode(3); });
}

void TFormMain::ComBtnClick() {
    QCoreApplication::processEvents();
    {
        TConfigSpectroDlg dialogue(this);
        if (Boites().ExecuteModal(dialogue) == QDialog::Accepted)
            VoieSerie->SetOpen(false);
    }
    AvecBoiteErreur([this] { ChoixMode(0); });
}

void TFormMain::BitBtn1Click() {
    ComCfgDlg->TraceCB->setChecked(Spectro.Tracing);
    if (Boites().ExecuteModal(*ComCfgDlg) != QDialog::Accepted)
        return;
    Spectro.Com = VoieSerie->ComNumber();
    Spectro.Tracing = ComCfgDlg->TraceCB->isChecked();
    AvecBoiteErreur([this] {
        VoieSerie->SetTracing(Spectro.Tracing ? tlOn : tlOff);
        VoieSerie->SetLogging(Spectro.Tracing ? tlOn : tlOff);
    });
}

void TFormMain::AboutItemClick() {
    Boites().ExecuteModal(*AboutBox);
}

void TFormMain::ExitItemClick() {
    close();
}

void TFormMain::closeEvent(QCloseEvent* evenement) {
    if (!FinDesAcquisitions()) {
        evenement->ignore(); // the user stays with a run not saved
        return;
    }
    FormClose();
    evenement->accept();
    // quit() closes every window still shown, and a mode window closed leaves its mode, which
    // would tell the instrument "X" a second time: their runs are settled above, they only hide.
    for (QWidget* fenetre : QApplication::topLevelWidgets())
        if (fenetre != this)
            fenetre->hide();
    QApplication::quit();
}

// Every mode window settles its run before the program ends: an unsaved one is asked about
// ("Sauvegarde", where Annuler keeps the program running), and no journal is left behind.
bool TFormMain::FinDesAcquisitions() {
    return (!CinetiqueForm || CinetiqueForm->FinProgramme()) &&
           (!TraceSpectre || TraceSpectre->FinProgramme()) &&
           (!BeerForm || BeerForm->FinProgramme());
}

void TFormMain::FormClose() {
    // The program ends whatever happens here.
    AvecBoiteErreur([this] {
        if (VoieSerie->Tracing() == tlOn)
            VoieSerie->SetTracing(tlDump);
        if (VoieSerie->Logging() == tlOn)
            VoieSerie->SetLogging(tlDump);
    });
    AvecBoiteErreur([this] {
        if (VoieSerie->Open())
            Spectro.EnvoiCommande(Spectro.CmdFinRemote);
    });
}

QPushButton* TFormMain::BoutonDuMode() const {
    switch (ModeCourant) {
    case 1:
        return SpectreMinMaxBtn;
    case 2:
        return CinetiqueBtn;
    case 3:
        return BeerBtn;
    default:
        return nullptr;
    }
}

QWidget* TFormMain::FenetreDuMode() const {
    switch (ModeCourant) {
    case 1:
        return TraceSpectre;
    case 2:
        return CinetiqueForm;
    case 3:
        return BeerForm;
    default:
        return nullptr;
    }
}

bool TFormMain::eventFilter(QObject* objet, QEvent* evenement) {
    switch (evenement->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        return AppMessage(objet, *static_cast<QKeyEvent*>(evenement));
    case QEvent::StatusTip:
        AppHint(static_cast<QStatusTipEvent*>(evenement)->tip());
        break;
    case QEvent::ApplicationActivate:
        AppActivate();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(objet, evenement);
}

void TFormMain::AppActivate() {
    QWidget* fenetre = FenetreDuMode();
    if (!fenetre || !fenetre->isVisible())
        return;
    ActiveFenetre(*fenetre);
}

void TFormMain::AppHint(const QString& texte) {
    if (texte.isEmpty())
        return;
    switch (ModeCourant) {
    case 1:
        TraceSpectre->AfficheAide(texte);
        break;
    case 2:
        CinetiqueForm->AfficheAide(texte);
        break;
    case 3:
        BeerForm->AfficheAide(texte);
        break;
    default:
        break;
    }
}

bool TFormMain::AppMessage(QObject* destinataire, QKeyEvent& touche) {
    const int code = CodeControle(touche);
    if (code == 0 || !TableCtrlSApplique(destinataire))
        return false;
    if (touche.type() == QEvent::ShortcutOverride) {
        // The edit gets the key as a character, not as a copy, paste or select-all shortcut.
        touche.accept();
        return true;
    }
    const uchar caractere = CaractereCtrl(code, touche.modifiers() & Qt::ShiftModifier);
    QKeyEvent frappe(QEvent::KeyPress, 0, Qt::NoModifier, QString(GlypheTablarix(caractere)));
    QCoreApplication::sendEvent(destinataire, &frappe);
    return true;
}
