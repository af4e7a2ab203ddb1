#include "exchange/FormDDE.h"
#include "instrument/SpectroJenway.h"
#include "modes/journal/Journal.h"
#include "shell/Application.h"
#include "shell/BoitesQt.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"
#include "shell/Regional.h"
#include "shell/Reprise.h"
#include "shell/Utilitaires.h"

#include <QTimer>

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    TBoitesQt boites;
    InstalleBoites(&boites);
    FixeRegional(TParametresRegionaux::DuSysteme());

    CreeDossierTablarix(DossierSpecial(QStandardPaths::DocumentsLocation));
    const QString ini = NomFichierIni();
    ChargeConfiguration(ini);
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
        SauveConfiguration(ini);
    }
    InstalleBoites(nullptr);
    return fin;
}
