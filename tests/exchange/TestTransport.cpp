#include "base/Encodage.h"
#include "exchange/TransportDDE.h"
#include "exchange/TransportLocal.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

TEST(TransportDDE, LignesDUneRequete) {
    const struct {
        QByteArray macro;
        QStringList lignes;
    } cas[] = {
        {"FOCUS", {"FOCUS"}},
        {"FOCUS\r\n", {"FOCUS"}},
        {"A\r\nB", {"A", "B"}},
        {"A\nB\rC", {"A", "B", "C"}},
        {"", {}},
        {"Cin\xE9tique(\x88)", {QStringLiteral("Cinétique(\u02C6)")}},
    };
    for (const auto& c : cas)
        EXPECT_EQ(LignesMacro(c.macro), c.lignes) << c.macro.toStdString();
}

// A raw client in the same process: what the server answers to frames out of order or too long.
class ServeurLocal : public ::testing::Test {
protected:
    ServeurLocal() {
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier_.path() + u'/'));
        EXPECT_TRUE(serveur_.Enregistre("Service", "Sujet"));
        client_.connectToServer(NomLocalDDE("SERVICE", "sujet"));
        EXPECT_TRUE(client_.waitForConnected(1000));
    }
    ~ServeurLocal() override { qunsetenv("JENWAY_DDE_ESPACE"); }

    // The server's answer to one frame: 'A', 'N', or 0 when it closed the conversation.
    char Reponse(const QByteArray& trame) {
        client_.write(trame);
        client_.flush();
        const QDeadlineTimer limite(2000);
        while (client_.bytesAvailable() < 2 && client_.state() == QLocalSocket::ConnectedState &&
               !limite.hasExpired())
            QTest::qWait(5);
        const QByteArray recu = client_.read(2);
        return recu.size() == 2 ? recu[0] : 0;
    }

    QTemporaryDir dossier_;
    TServeurLocal serveur_;
    QLocalSocket client_;
};

TEST_F(ServeurLocal, ConversationDansLOrdre) {
    const QSignalSpy macros(&serveur_, &TServeurDDE::Macro);
    EXPECT_EQ(Reponse(QByteArray("XFOCUS\0", 7)), 'N'); // no execute before the connection
    EXPECT_EQ(Reponse(QByteArray("CSERVICE\tsujet\0", 15)), 'A');
    EXPECT_EQ(Reponse(QByteArray("LServeurItem\0", 13)), 'A');
    EXPECT_EQ(Reponse(QByteArray("XCLIP|LOAD()\0", 13)), 'A');
    serveur_.AccepteExecutions = false;
    EXPECT_EQ(Reponse(QByteArray("XCLIP|ADD()\0", 12)), 'N');
    QTest::qWait(20);
    ASSERT_EQ(macros.count(), 1);
    EXPECT_EQ(macros.at(0).at(0).toByteArray(), "CLIP|LOAD()");
}

TEST_F(ServeurLocal, MauvaisNomOuTrameTropLongueFermeLaConversation) {
    EXPECT_EQ(Reponse(QByteArray("CAUTRE\tSujet\0", 13)), 'N');
    EXPECT_TRUE(client_.state() != QLocalSocket::ConnectedState ||
                client_.waitForDisconnected(1000));

    QLocalSocket bavard;
    bavard.connectToServer(NomLocalDDE("Service", "Sujet"));
    ASSERT_TRUE(bavard.waitForConnected(1000));
    bavard.write(QByteArray(70 * 1024, 'X'));
    bavard.flush();
    const QDeadlineTimer limite(2000);
    while (bavard.state() == QLocalSocket::ConnectedState && !limite.hasExpired())
        QTest::qWait(5);
    EXPECT_EQ(bavard.state(), QLocalSocket::UnconnectedState);
}

// Sets an environment variable for the life of the object, then puts back what was there.
class VariableTemporaire {
public:
    VariableTemporaire(const char* nom, const QString& valeur)
        : nom_(nom), avant_(qgetenv(nom)), existait_(qEnvironmentVariableIsSet(nom)) {
        if (valeur.isNull())
            qunsetenv(nom);
        else
            qputenv(nom, QFile::encodeName(valeur));
    }
    ~VariableTemporaire() {
        if (existait_)
            qputenv(nom_, avant_);
        else
            qunsetenv(nom_);
    }
    VariableTemporaire(const VariableTemporaire&) = delete;
    VariableTemporaire& operator=(const VariableTemporaire&) = delete;

private:
    const char* nom_;
    QByteArray avant_;
    bool existait_;
};

QFileDevice::Permissions Prive() {
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
}

// The mode of a file: its owner's, group's and others' rights.
QFileDevice::Permissions Mode(const QString& chemin) {
    const QFileDevice::Permissions utilisateur =
        QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    return QFileInfo(chemin).permissions() & ~utilisateur;
}

// The sockets go to a folder of the user's own, never to the shared /tmp.
TEST(EspaceDDE, DossierPriveDeLUtilisateur) {
    const QTemporaryDir base;
    const QString execution = base.filePath(QStringLiteral("execution"));
    const QString cache = base.filePath(QStringLiteral("cache"));
    QDir().mkpath(execution + QStringLiteral("/jenway6500"));
    QFile::setPermissions(execution + QStringLiteral("/jenway6500"),
                          Prive() | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const QString parMachine = cache + QStringLiteral("/jenway6500-") + QSysInfo::machineHostName();
    const struct {
        QString execution;
        QString dossier;
    } cas[] = {
        {execution, execution + QStringLiteral("/jenway6500")}, // a looser mode is tightened
        {QString(), parMachine},
        {QStringLiteral("relatif"), parMachine},
    };
    const VariableTemporaire espace("JENWAY_DDE_ESPACE", QString());
    const VariableTemporaire xdgCache("XDG_CACHE_HOME", cache);
    for (const auto& c : cas) {
        const VariableTemporaire xdgExecution("XDG_RUNTIME_DIR", c.execution);
        EXPECT_EQ(NomLocalDDE(QStringLiteral("Service"), QStringLiteral("Sujet")),
                  c.dossier + QStringLiteral("/jenway-dde-service-sujet"))
            << c.execution.toStdString();
        EXPECT_EQ(Mode(c.dossier), Prive()) << c.dossier.toStdString();
    }
}

// A socket file that no server listens on, as a killed program leaves it.
void SocketAbandonnee(const QString& chemin) {
    const QByteArray octets = QFile::encodeName(chemin);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<std::size_t>(octets.size()), sizeof adresse.sun_path);
    std::memcpy(adresse.sun_path, octets.constData(), static_cast<std::size_t>(octets.size()));
    const int descripteur = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(descripteur, 0);
    EXPECT_EQ(::bind(descripteur, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse), 0);
    ::close(descripteur);
}

TEST(EspaceDDE, LesSocketsAbandonneesSontRetireesAuDemarrage) {
    const QTemporaryDir base;
    const VariableTemporaire espace("JENWAY_DDE_ESPACE", QString());
    const VariableTemporaire xdgExecution("XDG_RUNTIME_DIR", base.path());
    const QString dossier = base.filePath(QStringLiteral("jenway6500/"));
    TServeurLocal vivant;
    ASSERT_TRUE(vivant.Enregistre(QStringLiteral("Vivant"), QStringLiteral("Sujet")));
    SocketAbandonnee(dossier + QStringLiteral("jenway-dde-tablarix-serveurdde"));
    SocketAbandonnee(dossier + QStringLiteral("jenway-dde-programme-serveurdde"));
    SocketAbandonnee(dossier + QStringLiteral("autre"));
    ASSERT_TRUE(QFileInfo::exists(dossier + QStringLiteral("jenway-dde-tablarix-serveurdde")));
    {
        TServeurLocal serveur;
        ASSERT_TRUE(serveur.Enregistre(QStringLiteral("Programme"), QStringLiteral("ServeurDDE")));
        EXPECT_EQ(
            QDir(dossier).entryList(QDir::System, QDir::Name),
            QStringList({"autre", "jenway-dde-programme-serveurdde", "jenway-dde-vivant-sujet"}));
        QLocalSocket client;
        client.connectToServer(NomLocalDDE(QStringLiteral("Vivant"), QStringLiteral("Sujet")));
        EXPECT_TRUE(client.waitForConnected(1000)); // the live server kept its name
    }
    // Closed, the server takes its socket away.
    EXPECT_EQ(QDir(dossier).entryList(QDir::System, QDir::Name),
              QStringList({"autre", "jenway-dde-vivant-sujet"}));
}

// ---------------------------------------------------------------------------------------------
// Hostile local clients. Any program of the user can reach the server; it must neither fall nor
// let its name go, whatever they do.

// The descriptors this process holds.
int DescripteursOuverts() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::System).size());
}

// Lowers the process's limit of open descriptors (as `ulimit -n` does) for its lifetime.
class LimiteDescripteurs {
public:
    explicit LimiteDescripteurs(rlim_t limite) {
        ::getrlimit(RLIMIT_NOFILE, &avant_);
        rlimit nouvelle = avant_;
        nouvelle.rlim_cur = limite;
        EXPECT_EQ(::setrlimit(RLIMIT_NOFILE, &nouvelle), 0);
    }
    ~LimiteDescripteurs() { ::setrlimit(RLIMIT_NOFILE, &avant_); }
    LimiteDescripteurs(const LimiteDescripteurs&) = delete;
    LimiteDescripteurs& operator=(const LimiteDescripteurs&) = delete;
    rlim_t Avant() const { return avant_.rlim_cur; }

private:
    rlimit avant_{};
};

sockaddr_un Adresse(const QString& nom) {
    const QByteArray octets = QFile::encodeName(nom);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    std::memcpy(adresse.sun_path, octets.constData(),
                std::min(sizeof adresse.sun_path - 1, static_cast<std::size_t>(octets.size())));
    return adresse;
}

// Another process of the user that opens `nombre` connections to the server and keeps them,
// saying nothing, until it is told to end. The child makes system calls only (it is a fork of a
// threaded program).
class ClientsInactifs {
public:
    ClientsInactifs(const QString& nom, int nombre, rlim_t limite) {
        const sockaddr_un adresse = Adresse(nom);
        EXPECT_EQ(::pipe(fait_), 0);
        EXPECT_EQ(::pipe(fin_), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fait_[0]);
            ::close(fin_[1]);
            const rlimit sienne{limite, limite};
            ::setrlimit(RLIMIT_NOFILE, &sienne);
            int connectes = 0;
            for (int i = 0; i < nombre; ++i) {
                const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
                if (s >= 0 &&
                    ::connect(s, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) == 0)
                    ++connectes;
            }
            (void)!::write(fait_[1], &connectes, sizeof connectes);
            char c = 0;
            (void)!::read(fin_[0], &c, 1);
            ::_exit(0);
        }
        ::close(fait_[1]);
        ::close(fin_[0]);
    }
    ~ClientsInactifs() {
        ::close(fin_[1]);
        ::close(fait_[0]);
        int statut = 0;
        ::waitpid(pid_, &statut, 0);
    }
    ClientsInactifs(const ClientsInactifs&) = delete;
    ClientsInactifs& operator=(const ClientsInactifs&) = delete;

    // The connections made, once all were tried; the server's events run meanwhile.
    int Connectes() {
        int connectes = -1;
        const QDeadlineTimer limite(60000);
        while (!limite.hasExpired()) {
            pollfd attente{fait_[0], POLLIN, 0};
            if (::poll(&attente, 1, 0) == 1) {
                (void)!::read(fait_[0], &connectes, sizeof connectes);
                break;
            }
            QTest::qWait(10);
        }
        return connectes;
    }

private:
    pid_t pid_ = -1;
    int fait_[2] = {-1, -1};
    int fin_[2] = {-1, -1};
};

// A well-behaved client in this process: the server's answer to its connection, 'A' or 'N', or
// 0 when it was disconnected or not answered.
char ConnexionHonnete(const QString& service, const QString& sujet) {
    QLocalSocket client;
    client.connectToServer(NomLocalDDE(service, sujet));
    if (!client.waitForConnected(1000))
        return 0;
    client.write(TrameLocale('C', TexteVersAnsi(service + u'\t' + sujet)));
    client.flush();
    const QDeadlineTimer limite(5000);
    while (client.bytesAvailable() < 2 && client.state() == QLocalSocket::ConnectedState &&
           !limite.hasExpired())
        QTest::qWait(5);
    const QByteArray recu = client.read(2);
    return recu.size() == 2 ? recu[0] : 0;
}

class ServeurAttaque : public ::testing::Test {
protected:
    ServeurAttaque() {
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier_.path() + u'/'));
        serveur_.DelaiInactiviteMs = 500;
        EXPECT_TRUE(serveur_.Enregistre(QStringLiteral("Service"), QStringLiteral("Sujet")));
    }
    ~ServeurAttaque() override { qunsetenv("JENWAY_DDE_ESPACE"); }

    QString Nom() const { return NomLocalDDE(QStringLiteral("Service"), QStringLiteral("Sujet")); }
    char Honnete() const {
        return ConnexionHonnete(QStringLiteral("Service"), QStringLiteral("Sujet"));
    }

    QTemporaryDir dossier_;
    TServeurLocal serveur_;
};

// 287 connections that say nothing, with 256 descriptors at most: the server holds a few of
// them, closes the idle ones after its time-out, and serves again under its name.
TEST_F(ServeurAttaque, ConnexionsInactivesEnNombre) {
    const int avant = DescripteursOuverts();
    const LimiteDescripteurs limite(256);
    ClientsInactifs inactifs(Nom(), 287, limite.Avant());
    EXPECT_GT(inactifs.Connectes(), 0);
    QTest::qWait(100);
    EXPECT_TRUE(QFileInfo::exists(Nom()));
    EXPECT_LE(DescripteursOuverts(), avant + serveur_.ConversationsMaxi + 4);

    // Once the idle conversations are closed, an honest client is served.
    const QDeadlineTimer attente(30000); // a hang only
    while (DescripteursOuverts() > avant + 4 && !attente.hasExpired())
        QTest::qWait(50);
    EXPECT_LE(DescripteursOuverts(), avant + 4);
    EXPECT_EQ(Honnete(), 'A');
}

// The descriptors run out for another reason while a client connects: the server keeps its
// socket and serves that client once descriptors are back.
TEST_F(ServeurAttaque, ServeurRepartApresDescripteursEpuises) {
    const sockaddr_un adresse = Adresse(Nom());
    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(client, 0);
    std::vector<int> pris;
    {
        const LimiteDescripteurs limite(static_cast<rlim_t>(DescripteursOuverts() + 32));
        for (int d = ::open("/dev/null", O_RDONLY); d >= 0; d = ::open("/dev/null", O_RDONLY))
            pris.push_back(d);
        ASSERT_EQ(::connect(client, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse),
                  0);
        QTest::qWait(300); // the server tries to accept meanwhile, and fails
        EXPECT_TRUE(QFileInfo::exists(Nom()));
        for (const int d : pris)
            ::close(d);
    }
    const QByteArray trame = TrameLocale('C', "Service\tSujet");
    ASSERT_EQ(::write(client, trame.constData(), static_cast<std::size_t>(trame.size())),
              trame.size());
    char reponse[2] = {};
    const QDeadlineTimer limite(5000);
    while (!limite.hasExpired()) {
        pollfd attente{client, POLLIN, 0};
        if (::poll(&attente, 1, 0) == 1) {
            (void)!::read(client, reponse, sizeof reponse);
            break;
        }
        QTest::qWait(10);
    }
    ::close(client);
    EXPECT_EQ(reponse[0], 'A');
    EXPECT_EQ(Honnete(), 'A');
}

// The server's socket admits its user only.
TEST_F(ServeurAttaque, SocketPourLUtilisateurSeul) {
    EXPECT_EQ(QFileInfo(Nom()).permissions() &
                  ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A server of another user that took our name where the folder is shared: the client takes it
// as absent and sends it nothing. Switching users needs the administrator's rights.
TEST(ClientDDE, ServeurDUnAutreUtilisateurRefuse) {
    const passwd* autre = ::getpwnam("eleve");
    if (::geteuid() != 0 || autre == nullptr)
        GTEST_SKIP() << "il faut être administrateur, et l'utilisateur eleve";
    QTemporaryDir base;
    const QString partage = base.filePath(QStringLiteral("partage"));
    ASSERT_TRUE(QDir().mkpath(partage));
    ::chmod(QFile::encodeName(base.path()).constData(), 0755);
    ::chmod(QFile::encodeName(partage).constData(), 01777);
    const VariableTemporaire espace("JENWAY_DDE_ESPACE", partage + u'/');
    const sockaddr_un adresse =
        Adresse(NomLocalDDE(QStringLiteral("TABLARIX"), QStringLiteral("ServeurDDE")));
    const uid_t uid = autre->pw_uid;
    const gid_t gid = autre->pw_gid;
    int pret[2];
    int recus[2];
    ASSERT_EQ(::pipe(pret), 0);
    ASSERT_EQ(::pipe(recus), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The other user's server: answers "accepted" to whatever comes, and tells how many
        // bytes it received.
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(1);
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(s, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) != 0 ||
            ::listen(s, 5) != 0)
            ::_exit(2);
        (void)!::write(pret[1], "p", 1);
        int total = 0;
        const int c = ::accept(s, nullptr, nullptr);
        char octets[256];
        for (;;) {
            pollfd attente{c, POLLIN, 0};
            if (::poll(&attente, 1, 3000) != 1)
                break;
            const ssize_t n = ::read(c, octets, sizeof octets);
            if (n <= 0)
                break;
            total += static_cast<int>(n);
            (void)!::write(c, "A", 2);
        }
        (void)!::write(recus[1], &total, sizeof total);
        ::_exit(0);
    }
    ::close(pret[1]);
    ::close(recus[1]);
    char p = 0;
    ASSERT_EQ(::read(pret[0], &p, 1), 1);

    TConversationLocale conversation;
    EXPECT_FALSE(conversation.Ouvre(QStringLiteral("TABLARIX"), QStringLiteral("ServeurDDE")));
    EXPECT_FALSE(conversation.Execute("CLIP|LOAD()"));
    conversation.Ferme();
    int total = -1;
    EXPECT_EQ(::read(recus[0], &total, sizeof total), static_cast<ssize_t>(sizeof total));
    EXPECT_EQ(total, 0);
    int statut = 0;
    ::waitpid(pid, &statut, 0);
    ::close(pret[0]);
    ::close(recus[0]);
}

} // namespace
