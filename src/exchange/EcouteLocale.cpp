#include "exchange/EcouteLocale.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#ifndef Q_OS_WIN
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {
// How long accepting pauses after a failed accept.
constexpr int kPauseMs = 200;
} // namespace

TEcouteLocale::TEcouteLocale(QObject* parent, TAccueil accueil)
    : parent_(parent), accueil_(std::move(accueil)) {
    reprise_.setSingleShot(true);
    reprise_.setInterval(kPauseMs);
#ifndef Q_OS_WIN
    QObject::connect(&reprise_, &QTimer::timeout, [this] {
        if (notificateur_)
            notificateur_->setEnabled(true);
    });
#endif
}

TEcouteLocale::~TEcouteLocale() {
    Ferme();
}

#ifdef Q_OS_WIN

// Named pipes leave no file behind and Qt keeps them listening after a failed connection.
TEcouteLocale::TResultat TEcouteLocale::Ecoute(const QString& nom) {
    Ferme();
    serveur_ = new QLocalServer(parent_);
    QObject::connect(serveur_, &QLocalServer::newConnection, serveur_, [this] { Accepte(); });
    if (serveur_->listen(nom))
        return TResultat::Ecoute;
    const bool occupe = serveur_->serverError() == QAbstractSocket::AddressInUseError;
    Ferme();
    return occupe ? TResultat::Occupe : TResultat::Echec;
}

void TEcouteLocale::Ferme() {
    delete serveur_;
    serveur_ = nullptr;
}

void TEcouteLocale::Accepte() {
    while (QLocalSocket* client = serveur_->nextPendingConnection()) {
        client->setParent(parent_);
        accueil_(client);
    }
}

#else

TEcouteLocale::TResultat TEcouteLocale::Ecoute(const QString& nom) {
    Ferme();
    // A name without a folder lands in the temporary folder, as for the clients that look it up.
    const QString chemin =
        QDir::isAbsolutePath(nom) ? nom : QDir::cleanPath(QDir::tempPath()) + u'/' + nom;
    const QByteArray octets = QFile::encodeName(chemin);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(octets.size()) >= sizeof adresse.sun_path)
        return TResultat::Echec;
    std::memcpy(adresse.sun_path, octets.constData(), static_cast<std::size_t>(octets.size()));

    const int descripteur = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (descripteur < 0)
        return TResultat::Echec;
    ::fcntl(descripteur, F_SETFD, FD_CLOEXEC);
    ::fcntl(descripteur, F_SETFL, ::fcntl(descripteur, F_GETFL) | O_NONBLOCK);
    // bind never replaces an existing file: a live server keeps its name.
    if (::bind(descripteur, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) != 0) {
        const int erreur = errno;
        ::close(descripteur);
        return erreur == EADDRINUSE ? TResultat::Occupe : TResultat::Echec;
    }
    // For the user alone, before any client can connect: connecting needs write access.
    if (::chmod(octets.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(descripteur, 50) != 0) {
        ::close(descripteur);
        ::unlink(octets.constData());
        return TResultat::Echec;
    }
    descripteur_ = descripteur;
    chemin_ = chemin;
    notificateur_ = std::make_unique<QSocketNotifier>(descripteur, QSocketNotifier::Read);
    QObject::connect(notificateur_.get(), &QSocketNotifier::activated, [this] { Accepte(); });
    return TResultat::Ecoute;
}

void TEcouteLocale::Ferme() {
    reprise_.stop();
    notificateur_.reset();
    if (descripteur_ < 0)
        return;
    ::close(descripteur_);
    descripteur_ = -1;
    QFile::remove(chemin_);
    chemin_.clear();
}

void TEcouteLocale::Accepte() {
    const int client = ::accept(descripteur_, nullptr, nullptr);
    if (client < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED)
            return;
        // Out of descriptors, most likely: the client waits in the queue until some come back.
        notificateur_->setEnabled(false);
        reprise_.start();
        return;
    }
    ::fcntl(client, F_SETFD, FD_CLOEXEC);
    auto* socket = new QLocalSocket(parent_);
    if (!socket->setSocketDescriptor(client)) {
        ::close(client);
        delete socket;
        return;
    }
    accueil_(socket);
}

#endif
