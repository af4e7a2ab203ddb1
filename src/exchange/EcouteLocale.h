#pragma once

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QObject;
class QSocketNotifier;

// Listens on a local socket name and hands over each client that connects.
//
// On Unix it holds its socket itself rather than through QLocalServer, which closes and deletes
// its socket on the first failed accept (as when the descriptors run out), leaving the program
// unreachable for good. Here a failed accept only pauses accepting for a moment; the name stays.
// The socket is made for the user alone (mode 0600) before it accepts anything, and a name
// already taken is never replaced.
class TEcouteLocale {
public:
    enum class TResultat { Ecoute, Occupe, Echec };
    // Each new client, its socket a child of `parent`.
    using TAccueil = std::function<void(QLocalSocket* client)>;

    TEcouteLocale(QObject* parent, TAccueil accueil);
    ~TEcouteLocale();
    TEcouteLocale(const TEcouteLocale&) = delete;
    TEcouteLocale& operator=(const TEcouteLocale&) = delete;

    // Occupe when a socket of that name exists already, whoever holds it.
    TResultat Ecoute(const QString& nom);
    // Stops listening; the socket file goes with it.
    void Ferme();

private:
    void Accepte();

    QObject* parent_;
    TAccueil accueil_;
    QTimer reprise_;
#ifdef Q_OS_WIN
    QLocalServer* serveur_ = nullptr;
#else
    int descripteur_ = -1;
    QString chemin_;
    std::unique_ptr<QSocketNotifier> notificateur_;
#endif
};
