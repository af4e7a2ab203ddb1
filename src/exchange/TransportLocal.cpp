#include "exchange/TransportLocal.h"

#include "shell/Encodage.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QSysInfo>
#include <QVariant>

#ifndef Q_OS_WIN
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

// The sockets of our names that no server answers any more (left by a program that crashed) are
// removed; a live server keeps its name. Only a folder of ours is looked at.
void RetireSocketsPerimes(const QString& espace) {
    if (espace.isEmpty())
        return;
    const QFileInfo modele(espace + kPrefixe);
    const QFileInfoList sockets =
        modele.absoluteDir().entryInfoList({modele.fileName() + u'*'}, QDir::System);
    for (const QFileInfo& socket : sockets) {
        QLocalSocket essai;
        essai.connectToServer(socket.absoluteFilePath());
        if (!essai.waitForConnected(kDelaiReponse) &&
            essai.error() == QLocalSocket::ConnectionRefusedError)
            QLocalServer::removeServer(socket.absoluteFilePath());
    }
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
    if (!socket_.waitForConnected(kDelaiReponse)) {
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

TServeurLocal::TServeurLocal(QObject* parent) : serveur_(new QLocalServer(this)) {
    setParent(parent);
    connect(serveur_, &QLocalServer::newConnection, this, &TServeurLocal::NouveauClient);
}

bool TServeurLocal::Enregistre(const QString& service, const QString& sujet) {
    service_ = service;
    sujet_ = sujet;
    RetireSocketsPerimes(Espace());
    const QString nom = NomLocalDDE(service, sujet);
    if (serveur_->listen(nom))
        return true;
    if (serveur_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // A socket left by a program that ended without closing it is taken over; a live server of
    // that name keeps it.
    QLocalSocket essai;
    essai.connectToServer(nom);
    if (essai.waitForConnected(kDelaiReponse))
        return false;
    QLocalServer::removeServer(nom);
    return serveur_->listen(nom);
}

void TServeurLocal::NouveauClient() {
    while (QLocalSocket* client = serveur_->nextPendingConnection()) {
        connect(client, &QLocalSocket::readyRead, this, [this, client] { Lit(*client); });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        Lit(*client);
    }
}

void TServeurLocal::Lit(QLocalSocket& client) {
    QByteArray tampon = client.property("jenway_dde_tampon").toByteArray() + client.readAll();
    if (!DecoupeTramesLocales(
            tampon, [&](char genre, const QByteArray& charge) { Traite(client, genre, charge); })) {
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
