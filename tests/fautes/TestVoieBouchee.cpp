// An instrument that stops reading its line, as when it holds its handshake line down. A
// pseudo-terminal has no CTS: the simulator stops reading instead, so the line's own buffer fills
// and then our output queue. What this cannot show is the system's RTS/CTS handling itself.
#include "ProgrammeSimule.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

TEST(VoieBouchee, LaFileDeSortieBorneeDitQuandLAppareilNeLitPlusPuisRepart) {
    TSimulateurLance simulateur;
    TApdComPort voie;
    voie.SetOpen(true);
    ASSERT_TRUE(simulateur.Controle("panne bouchee"));

    const QByteArray commande = QByteArray(62, 'G') + "\r";
    QElapsedTimer chrono;
    chrono.start();
    qint64 ecrits = 0;
    QString message;
    const qint64 memoireAvant = MemoireResidenteKo();
    while (ecrits < 64 * 1024 * 1024 && message.isEmpty()) {
        try {
            voie.WriteString(commande);
            ecrits += commande.size();
            QCoreApplication::processEvents(); // the port hands what it can to the line
        } catch (const ECommSortiePleine& erreur) {
            message = QString::fromUtf8(erreur.what());
        } catch (const std::exception& erreur) {
            ADD_FAILURE() << erreur.what() << " after " << ecrits;
            return;
        }
    }
    // Writes never wait for the line; what backs up is bounded by the line and by OutSize.
    EXPECT_LT(chrono.elapsed(), 5000);
    EXPECT_LT(ecrits, 4 * 1024 * 1024);
    EXPECT_LT(MemoireResidenteKo() - memoireAvant, 2048);
    EXPECT_TRUE(message.contains("l'appareil ne reçoit plus les commandes"))
        << message.toStdString();
    EXPECT_TRUE(voie.Open());

    // It reads again: what the line held reaches it, the dropped queue does not, and the next
    // command goes through.
    ASSERT_TRUE(simulateur.Controle("panne aucune"));
    voie.WriteString("R\r");
    ASSERT_TRUE(Attend([&simulateur] { return simulateur.Journal().endsWith("R[13]\n"); }))
        << simulateur.Journal().right(200).constData();
    const qint64 recus = simulateur.Journal().count("G[13]");
    EXPECT_LE(recus * commande.size(), ecrits);
    EXPECT_GE((ecrits - recus * commande.size()), TApdComPort::OutSize - commande.size());
}

} // namespace
