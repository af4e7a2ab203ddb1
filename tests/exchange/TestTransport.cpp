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

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

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

} // namespace
