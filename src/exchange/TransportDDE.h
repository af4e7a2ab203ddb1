#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The few DDE operations the program needs, behind one interface. On Windows the DDEML backend
// talks to the real Tablarix; the local-socket backend serves everywhere else and in the tests.

// One client conversation, opened and closed around each macro.
class TConversationDDE {
public:
    virtual ~TConversationDDE() = default;
    // False when no server of that service and topic answers.
    virtual bool Ouvre(const QString& service, const QString& sujet) = 0;
    // Advise link on an item; false when the server refuses it or does not answer in time.
    virtual bool DemandeLien(const QString& item, int delaiMs) = 0;
    // Issues the macro (sent with its zero byte) without waiting for it to run; false when the
    // transaction cannot be issued.
    virtual bool Execute(const QByteArray& macro) = 0;
    virtual void Ferme() = 0;
};

// A server for one service and topic. Each macro the server accepted arrives through Macro,
// from the event loop, after its client has been answered.
class TServeurDDE : public QObject {
    Q_OBJECT
public:
    virtual bool Enregistre(const QString& service, const QString& sujet) = 0;

    bool AccepteLiens = true;
    bool AccepteExecutions = true;

signals:
    void Macro(const QByteArray& macro);
    void Lien(const QString& item, bool accepte);
};

// The backend of this platform: DDEML on Windows unless JENWAY_DDE=socket, local sockets
// elsewhere.
std::unique_ptr<TConversationDDE> CreeConversationDDE();
std::unique_ptr<TServeurDDE> CreeServeurDDE();

// The lines of one execute request, as the server's macro handler receives them.
QStringList LignesMacro(const QByteArray& macro);
