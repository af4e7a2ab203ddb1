#include "base/Application.h"
#include "base/BoitesQt.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/FormDDE.h"
#include "instrument/SpectroJenway.h"
#include "modes/journal/Journal.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"
#include "shell/Reprise.h"
#include "shell/SignauxArret.h"

#include <QTimer>

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    const TTraductionQt traduction;
    // The desktop entry installed with the program, for the icon of its windows.
    TApplication::setDesktopFileName(QStringLiteral("jenway6500"));
    TBoitesQt boites;
    InstalleBoites(&boites);
    FixeRegional(TParametresRegionaux::DuSysteme());

    CreeDossierTablarix(DossierSpecial(QStandardPaths::DocumentsLocation));
    const TEmplacementIni ini =
        EmplacementIni(QCoreApplication::applicationFilePath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    ChargeConfiguration(ini.Lecture);
    TApplication::FixeTitre(QStringLiteral("Spectrophotomètre Jenway IC6500"));

    int fin = 0;
    {
        const TFenetres fenetres;
        // Started again while it runs: the running program comes to the front and this one ends
        // before it shows anything, offers any run or writes its settings.
        if (!FormDDE->ServeurEnregistre() && AppelleAutreInstance()) {
            InstalleBoites(nullptr);
            return 0;
        }
        const TSignauxArret arret([] { FormMain->close(); });
        FormMain->show();
        // Runs a crash interrupted are offered once the main window is on screen.
        QTimer::singleShot(0, FormMain, [] {
            if (!FormDDE->ServeurEnregistre())
                AfficheErreur(MessageBorne(
                    QStringLiteral("Le serveur DDE « %1 » n'a pas pu être ouvert : Tablarix ne "
                                   "pourra pas s'adresser à ce programme."),
                    {ServiceDuProgramme()}));
            AvecBoiteErreur([] { ProposeReprises(DossierJournaux(), RestaurationsDesFenetres()); });
        });
        fin = TApplication::exec();
        SauveConfiguration(ini.Ecriture);
    }
    InstalleBoites(nullptr);
    return fin;
}
