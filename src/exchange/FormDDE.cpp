#include "exchange/FormDDE.h"

#include "base/Aiguillage.h"
#include "base/Application.h"
#include "base/Boites.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Utilitaires.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTimer>

#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

TFormDDE* FormDDE = nullptr;

namespace {

const QString kServiceTablarix = QStringLiteral("TABLARIX");
const QString kSujet = QStringLiteral("ServeurDDE");
const QString kCheminParDefaut = QStringLiteral("c:\\tabwin\\tablarix.exe");
// Sent by a second start of the program to the running one.
const QString kPremierPlan = QStringLiteral("PREMIERPLAN");
constexpr int kDelaiLien = 1000;
constexpr int kAttenteDemarrage = 1000;

void Message(const QString& texte) {
    Boites().Affiche({TApplication::Titre(), texte, TIconeBoite::Aucune, TBoutonsBoite::Ok});
}

// Tablarix is given time to register. The window repaints but takes no input meanwhile.
void AttendDemarrage() {
    QEventLoop boucle;
    QTimer::singleShot(kAttenteDemarrage, &boucle, &QEventLoop::quit);
    boucle.exec(QEventLoop::ExcludeUserInputEvents);
}

// The main window, or the window of the scan or kinetics mode; none in the Beer-Lambert mode.
QWidget* FenetreDuModeCourant() {
    const TAiguillage* modes = Aiguillage();
    if (modes == nullptr)
        return nullptr;
    const quint8 mode = modes->ModeCourant();
    return mode <= 2 ? modes->FenetreDuMode(mode) : nullptr;
}

// What the user is at in this program: an open modal box first, else the window of the mode, or
// the main window.
QWidget* FenetreAuPremierPlan() {
    if (QWidget* modale = QApplication::activeModalWidget())
        return modale;
    const TAiguillage* modes = Aiguillage();
    if (modes == nullptr)
        return nullptr;
    const quint8 mode = modes->ModeCourant();
    return modes->FenetreDuMode(mode >= 1 && mode <= 3 ? mode : 0);
}

void AmeneAuPremierPlan(QWidget& fenetre) {
    fenetre.setWindowState(fenetre.windowState() & ~Qt::WindowMinimized);
    fenetre.show();
    fenetre.raise();
    ActiveFenetre(fenetre);
}

} // namespace

QString ServiceDuProgramme() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().section(u'.', 0, 0);
}

bool AppelleAutreInstance() {
    const std::unique_ptr<TConversationDDE> conversation = CreeConversationDDE();
    if (!conversation->Ouvre(ServiceDuProgramme(), kSujet))
        return false;
    const bool acceptee = conversation->Execute(TexteVersAnsi(kPremierPlan));
    conversation->Ferme();
    return acceptee;
}

TFormDDE::TFormDDE(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FormDDE"));
    setWindowTitle(QStringLiteral("DDE"));
    FormCreate();
}

TFormDDE::~TFormDDE() = default;

void TFormDDE::FormCreate() {
    // HKEY_CURRENT_USER\Software\Tablarix\Tablarix on Windows; a per-user settings file elsewhere.
    // That key only: a value missing there is not looked for under the machine's key nor in the
    // settings common to the organisation.
    QSettings registre(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tablarix"),
                       QStringLiteral("Tablarix"));
    registre.setFallbacksEnabled(false);
    CheminTablarix = registre.value(QStringLiteral("Path"), kCheminParDefaut).toString();
#ifdef Q_OS_WIN
    OuEstLeChemin = QStringLiteral("la clé HKEY_CURRENT_USER\\Software\\Tablarix\\Tablarix du "
                                   "registre");
#else
    OuEstLeChemin =
        QStringLiteral("le fichier %1").arg(QDir::toNativeSeparators(registre.fileName()));
#endif
    ClientItem = QStringLiteral("ServeurItem");
    ClientDDE = CreeConversationDDE();

    ServeurDDE = CreeServeurDDE();
    connect(ServeurDDE.get(), &TServeurDDE::Macro, this,
            [this](const QByteArray& macro) { ExecuteMacro(LignesMacro(macro)); });
    serveurEnregistre_ = ServeurDDE->Enregistre(ServiceDuProgramme(), kSujet);
}

bool TFormDDE::EnvoiMacro(const QString& macro) {
    ClientDDE->Ferme();
    TLancement lancement = TLancement::PasEssaye;
    if (!OuvreConversation(lancement)) {
        AttendDemarrage();
        if (!OuvreConversation(lancement)) {
            Message(TexteLancementImpossible(lancement));
            return false;
        }
    }
    const bool execute = ClientDDE->Execute(TexteVersAnsi(macro));
    if (!execute)
        Message(macro + QStringLiteral(" non exécuté"));
    ClientDDE->Ferme();
    return execute;
}

// Tablarix is started at most once per macro: a program that is slow to answer would otherwise
// run twice.
bool TFormDDE::OuvreConversation(TLancement& lancement) {
    bool ouverte = ClientDDE->Ouvre(kServiceTablarix, kSujet);
    if (!ouverte && lancement == TLancement::PasEssaye) {
        lancement = LanceTablarix() ? TLancement::Demarre : TLancement::Refuse;
        if (lancement == TLancement::Demarre)
            ouverte = ClientDDE->Ouvre(kServiceTablarix, kSujet);
    }
    if (ouverte && !ClientItem.isEmpty() && !ClientDDE->DemandeLien(ClientItem, kDelaiLien))
        ClientItem.clear();
    return ouverte;
}

// What was started and where the user changes it.
QString TFormDDE::TexteLancementImpossible(TLancement lancement) const {
    const QString programme = CheminTablarix.isEmpty() ? kServiceTablarix + u' ' + kSujet
                                                       : QDir::toNativeSeparators(CheminTablarix);
    return QStringLiteral("Impossible de lancer Tablarix\n\nLe programme lancé, « %1 », %2.\n"
                          "Son chemin est la valeur « Path » dans %3.")
        .arg(programme,
             lancement == TLancement::Demarre ? QStringLiteral("n'a pas répondu")
                                              : QStringLiteral("n'a pas pu être démarré"),
             OuEstLeChemin);
}

bool TFormDDE::LanceTablarix() const {
    QProcess programme;
    if (CheminTablarix.isEmpty()) {
        programme.setProgram(kServiceTablarix);
        programme.setArguments({kSujet});
    } else {
        programme.setProgram(CheminTablarix);
    }
#ifdef Q_OS_WIN
    programme.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
        arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        arguments->startupInfo->wShowWindow = SW_SHOWMINNOACTIVE;
    });
#endif
    return programme.startDetached();
}

void TFormDDE::ExecuteMacro(const QStringList& lignes) {
    if (lignes.size() != 1) {
        ErreurMacro(QStringLiteral("Un message à la fois SVP"));
        return;
    }
    try {
        const QString ligne = lignes.front().left(255);
        const qsizetype ouvrante = ligne.indexOf(u'(');
        const QString fonction = ouvrante < 0 ? ligne : ligne.left(ouvrante);
        auto est = [&fonction](const QString& nom) {
            return fonction.compare(nom, Qt::CaseInsensitive) == 0;
        };
        if (est(QStringLiteral("CONFIG|LOAD")) || est(QStringLiteral("CONFIG|SAVE")))
            return;
        if (est(QStringLiteral("FOCUS")) || est(QStringLiteral("GETDATA"))) {
            if (QWidget* fenetre = FenetreDuModeCourant())
                ActiveFenetre(*fenetre);
            return;
        }
        if (est(kPremierPlan)) {
            if (QWidget* fenetre = FenetreAuPremierPlan())
                AmeneAuPremierPlan(*fenetre);
            return;
        }
        ErreurMacro(MessageBorne(QStringLiteral("Fonction inconnue : %1"), {ligne}));
    } catch (const std::exception&) {
        ErreurMacro(QStringLiteral("Syntaxe Macro DDE : Fonction(Paramètre)"));
    }
}

// One error box at a time. A box is modal: the macros that arrive while it shows are handled
// inside it, and each error would open its box inside the last until the stack ran out. The
// errors meanwhile are counted and told in one box once it is closed.
void TFormDDE::ErreurMacro(const QString& texte) {
    if (boiteOuverte_) {
        ++erreursPendantLaBoite_;
        return;
    }
    boiteOuverte_ = true;
    const auto ferme = qScopeGuard([this] { boiteOuverte_ = false; });
    AfficheErreur(texte);
    while (erreursPendantLaBoite_ > 0) {
        const int ignorees = std::exchange(erreursPendantLaBoite_, 0);
        AfficheErreur(ignorees == 1
                          ? QStringLiteral("1 autre macro DDE erronée, reçue pendant le message "
                                           "précédent, a été ignorée.")
                          : QStringLiteral("%1 autres macros DDE erronées, reçues pendant le "
                                           "message précédent, ont été ignorées.")
                                .arg(ignorees));
    }
}
