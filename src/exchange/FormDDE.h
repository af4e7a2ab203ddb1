#pragma once

#include "exchange/TransportDDE.h"

#include <QStringList>
#include <QWidget>

#include <memory>

// The invisible window "DDE", created at start and never shown: it sends macros to Tablarix,
// starting it when it does not answer, and serves the macros of other programs under the
// service named after this program's executable, topic "ServeurDDE".
class TFormDDE : public QWidget {
    Q_OBJECT
public:
    explicit TFormDDE(QWidget* parent = nullptr);
    ~TFormDDE() override;

    // Connects to "TABLARIX" / "ServeurDDE" (starting the program at CheminTablarix when
    // needed, once), executes the macro and disconnects. False, the user told why, when the
    // macro could not be sent or was refused.
    bool EnvoiMacro(const QString& macro);
    // The server's handler, for the lines of one execute request.
    void ExecuteMacro(const QStringList& lignes);
    // False when the server could not take its name: another instance of the program holds it,
    // or the sockets' folder cannot be used.
    bool ServeurEnregistre() const { return serveurEnregistre_; }

    std::unique_ptr<TConversationDDE> ClientDDE;
    QString ClientItem;     // "ServeurItem"; emptied when Tablarix refuses the advise link
    QString CheminTablarix; // the "Path" value, read once at creation
    QString OuEstLeChemin;  // where the user sets it: the registry key, or the settings file
    std::unique_ptr<TServeurDDE> ServeurDDE;

private:
    // What became of the start of Tablarix during one macro.
    enum class TLancement { PasEssaye, Refuse, Demarre };

    void FormCreate();
    bool OuvreConversation(TLancement& lancement);
    bool LanceTablarix() const;
    void ErreurMacro(const QString& texte);
    QString TexteLancementImpossible(TLancement lancement) const;

    bool serveurEnregistre_ = false;
    bool boiteOuverte_ = false;
    int erreursPendantLaBoite_ = 0;
};

// The one DDE window of the program, created at start with the other windows (null before and
// after).
extern TFormDDE* FormDDE;

// The service the server registers: the executable's file name up to its first full stop.
QString ServiceDuProgramme();

// Asks the instance of this program that serves our name to come to the front; false when none
// accepted.
bool AppelleAutreInstance();
