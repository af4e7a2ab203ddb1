#include "exchange/TransportLocal.h"

#include "base/Encodage.h"
#include "exchange/EcouteLocale.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QSysInfo>
#include <QTimer>
#include <QVariant>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

constexpr int kDelaiReponse = 1000;
const char* const kProprieteOuverte = "jenway_dde_ouverte";
const QString kPrefixe = QStringLiteral("jenway-dde-");

QString Espace() {
    return qEnvironmentVariableIsEmpty("JENWAY_DDE_ESPACE")
               ? EspaceLocalDDE()
               : qEnvironmentVariable("JENWAY_DDE_ESPACE");
}

#ifndef Q_OS_WIN
// A folder of this user's only: created when missing, its mode set to 0700. A folder of that
// name that belongs to someone else, or a link, is not used.
bool DossierPrive(const QString& chemin) {
    if (!QDir().mkpath(chemin))
        return false;
    const QFileInfo dossier(chemin);
    return dossier.isDir() && !dossier.isSymLink() && dossier.ownerId() == ::geteuid() &&
           QFile::setPermissions(chemin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
#endif

// A socket that no server listens on any more, as a program that crashed leaves it. A server
// that is slow to accept is not taken for gone.
bool Abandonnee(const QString& nom) {
    QLocalSocket essai;
    essai.connectToServer(nom);
    return !essai.waitForConnected(kDelaiReponse) &&
           essai.error() == QLocalSocket::ConnectionRefusedError;
}

// The sockets of our names that no server answers any more are removed; a live server keeps its
// name. Only a folder of ours is looked at.
void RetireSocketsPerimes(const QString& espace) {
    if (espace.isEmpty())
        return;
    const QFileInfo modele(espace + kPrefixe);
    const QFileInfoList sockets =
        modele.absoluteDir().entryInfoList({modele.fileName() + u'*'}, QDir::System);
    for (const QFileInfo& socket : sockets)
        if (Abandonnee(socket.absoluteFilePath()))
            QLocalServer::removeServer(socket.absoluteFilePath());
}

// Whether the program at the other end of a connected socket runs as this user. Where the
// sockets' folder is shared, another user may have taken a name first: such a server is treated
// as absent and is sent nothing. Named pipes (Windows) are not checked.
bool PairDuMemeUtilisateur([[maybe_unused]] qintptr descripteur) {
#if defined(Q_OS_LINUX)
    ucred pair{};
    socklen_t taille = sizeof pair;
    return ::getsockopt(static_cast<int>(descripteur), SOL_SOCKET, SO_PEERCRED, &pair, &taille) ==
               0 &&
           pair.uid == ::geteuid();
#elif defined(Q_OS_UNIX)
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(static_cast<int>(descripteur), &uid, &gid) == 0 && uid == ::geteuid();
#else
    return true;
#endif
}

} // namespace

QByteArray TrameLocale(char genre, QByteArray charge) {
    const qsizetype zero = charge.indexOf('\0');
    if (zero >= 0)
        charge.truncate(zero);
    return genre + charge + '\0';
}

bool ExtraitTrameLocale(QByteArray& tampon, char& genre, QByteArray& charge) {
    // An empty frame carries nothing; left in front, it would hide every frame behind it.
    qsizetype vides = 0;
    while (vides < tampon.size() && tampon[vides] == '\0')
        ++vides;
    tampon.remove(0, vides);
    const qsizetype fin = tampon.indexOf('\0');
    if (fin < 1)
        return false;
    genre = tampon[0];
    charge = tampon.mid(1, fin - 1);
    tampon.remove(0, fin + 1);
    return true;
}

bool DecoupeTramesLocales(QByteArray& tampon,
                          const std::function<void(char, const QByteArray&)>& traite) {
    char genre = 0;
    QByteArray charge;
    while (ExtraitTrameLocale(tampon, genre, charge))
        traite(genre, charge);
    return tampon.size() <= TrameLocaleMaxi;
}

char ReponseLocale(QByteArray& recu) {
    char genre = 0;
    QByteArray charge;
    while (ExtraitTrameLocale(recu, genre, charge))
        if (genre == 'A' || genre == 'N')
            return genre;
    return 0;
}

QString NomLocalDDE(const QString& service, const QString& sujet) {
    return Espace() + kPrefixe + service.toLower() + u'-' + sujet.toLower();
}

QString EspaceLocalDDE() {
#ifdef Q_OS_WIN
    return {};
#else
    QStringList dossiers;
    const QString execution = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(execution))
        dossiers << execution + QStringLiteral("/jenway6500");
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    dossiers << (QDir::isAbsolutePath(cache) ? cache
                                             : QDir::homePath() + QStringLiteral("/.cache")) +
                    QStringLiteral("/jenway6500-") + QSysInfo::machineHostName();
    for (const QString& dossier : dossiers)
        if (DossierPrive(dossier))
            return dossier + u'/';
    return {};
#endif
}

bool TConversationLocale::Ouvre(const QString& service, const QString& sujet) {
    Ferme();
    socket_.connectToServer(NomLocalDDE(service, sujet));
    if (!socket_.waitForConnected(kDelaiReponse) ||
        !PairDuMemeUtilisateur(socket_.socketDescriptor())) {
        socket_.abort();
        return false;
    }
    if (!Demande('C', TexteVersAnsi(service) + '\t' + TexteVersAnsi(sujet), kDelaiReponse)) {
        Ferme();
        return false;
    }
    return true;
}

bool TConversationLocale::DemandeLien(const QString& item, int delaiMs) {
    return Demande('L', TexteVersAnsi(item), delaiMs);
}

bool TConversationLocale::Execute(const QByteArray& macro) {
    return Demande('X', macro, kDelaiReponse);
}

void TConversationLocale::Ferme() {
    if (socket_.state() == QLocalSocket::ConnectedState) {
        socket_.disconnectFromServer();
        if (socket_.state() != QLocalSocket::UnconnectedState)
            socket_.waitForDisconnected(kDelaiReponse);
    }
    socket_.abort();
    recu_.clear();
}

bool TConversationLocale::Demande(char genre, const QByteArray& charge, int delaiMs) {
    if (socket_.state() != QLocalSocket::ConnectedState)
        return false;
    socket_.write(TrameLocale(genre, charge));
    while (socket_.bytesToWrite() > 0)
        if (!socket_.waitForBytesWritten(delaiMs))
            return false;
    return Reponse(delaiMs) == 'A';
}

char TConversationLocale::Reponse(int delaiMs) {
    const QDeadlineTimer limite(delaiMs);
    for (;;) {
        if (const char genre = ReponseLocale(recu_))
            return genre;
        if (recu_.size() > TrameLocaleMaxi || socket_.state() != QLocalSocket::ConnectedState)
            return 0;
        if (!socket_.waitForReadyRead(static_cast<int>(limite.remainingTime())) &&
            socket_.bytesAvailable() == 0)
            return 0;
        recu_.append(socket_.readAll());
    }
}

TServeurLocal::TServeurLocal(QObject* parent)
    : ecoute_(std::make_unique<TEcouteLocale>(
          this, [this](QLocalSocket* client) { NouveauClient(client); })) {
    setParent(parent);
}

// The listener goes first: no client arrives while the others are taken down.
TServeurLocal::~TServeurLocal() {
    ecoute_.reset();
}

bool TServeurLocal::Enregistre(const QString& service, const QString& sujet) {
    service_ = service;
    sujet_ = sujet;
    RetireSocketsPerimes(Espace());
    const QString nom = NomLocalDDE(service, sujet);
    const TEcouteLocale::TResultat resultat = ecoute_->Ecoute(nom);
    if (resultat != TEcouteLocale::TResultat::Occupe)
        return resultat == TEcouteLocale::TResultat::Ecoute;
    // A socket left by a program that ended without closing it is taken over; a live server of
    // that name keeps it.
    if (!Abandonnee(nom))
        return false;
    QLocalServer::removeServer(nom);
    return ecoute_->Ecoute(nom) == TEcouteLocale::TResultat::Ecoute;
}

void TServeurLocal::NouveauClient(QLocalSocket* client) {
    // Each conversation holds a descriptor: without a bound, clients that connect and wait would
    // use them all up, and the program could then open no file.
    if (conversations_ >= ConversationsMaxi) {
        client->abort();
        client->deleteLater();
        return;
    }
    ++conversations_;
    connect(client, &QObject::destroyed, this, [this] { --conversations_; });
    auto* inactivite = new QTimer(client);
    inactivite->setSingleShot(true);
    inactivite->setInterval(DelaiInactiviteMs);
    connect(inactivite, &QTimer::timeout, client, [client] {
        client->abort();
        client->deleteLater();
    });
    connect(client, &QLocalSocket::readyRead, this,
            [this, client, inactivite] { Lit(*client, *inactivite); });
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    inactivite->start();
    Lit(*client, *inactivite);
}

void TServeurLocal::Lit(QLocalSocket& client, QTimer& inactivite) {
    QByteArray tampon = client.property("jenway_dde_tampon").toByteArray() + client.readAll();
    const bool vivante = DecoupeTramesLocales(tampon, [&](char genre, const QByteArray& charge) {
        // Whole frames only keep a conversation alive, not bytes dripping in.
        inactivite.start();
        Traite(client, genre, charge);
    });
    if (!vivante) {
        client.abort();
        return;
    }
    client.setProperty("jenway_dde_tampon", tampon);
}
bool TServeurLocal::Accepte(char genre, const QByteArray& charge, bool& ouverte) const {
    if (genre == 'C') {
        const QList<QByteArray> noms = charge.split('\t');
        ouverte = noms.size() == 2 &&
                  AnsiVersTexte(noms[0]).compare(service_, Qt::CaseInsensitive) == 0 &&
                  AnsiVersTexte(noms[1]).compare(sujet_, Qt::CaseInsensitive) == 0;
        return ouverte;
    }
    if (genre == 'L')
        return ouverte && AccepteLiens;
    if (genre == 'X')
        return ouverte && AccepteExecutions;
    return false;
}

void TServeurLocal::Traite(QLocalSocket& client, char genre, const QByteArray& charge) {
    bool ouverte = client.property(kProprieteOuverte).toBool();
    const bool etaitOuverte = ouverte;
    const bool accepte = Accepte(genre, charge, ouverte);
    client.setProperty(kProprieteOuverte, ouverte);
    if (genre == 'L' && etaitOuverte)
        emit Lien(AnsiVersTexte(charge), accepte);
    client.write(QByteArray(1, accepte ? 'A' : 'N') + '\0');
    client.flush();
    if (genre == 'C' && !accepte)
        client.disconnectFromServer();
    if (genre == 'X' && accepte)
        QMetaObject::invokeMethod(
            this, [this, charge] { emit Macro(charge); }, Qt::QueuedConnection);
}
