#include "exchange/TransportDDE.h"
#include "exchange/TransportLocal.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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

} // namespace
