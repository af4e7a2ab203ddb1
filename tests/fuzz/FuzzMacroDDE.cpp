// The DDE server of the program, as another program of the user reaches it: the input's macros
// go over a real local socket to the server of the DDE window, among the program's windows, and
// each box shows as the program shows it, modal, until the user closes it a moment later.
// Every frame is answered, one box at most is open at a time whatever arrives meanwhile, and the
// server goes on serving.
//
// Input: the first byte sets the current mode (0 to 3); the rest, cut at zero bytes (a macro
// cannot hold one), are the macros of one conversation, eight at most, sent at once.
#include "SupportFuzz.h"

#include "base/BoitesQt.h"
#include "base/Encodage.h"
#include "exchange/FormDDE.h"
#include "exchange/TransportLocal.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kMacrosMaxi = 8;

// The boxes of the program, each closed by the user as soon as the program waits for them.
class TBoitesFermees final : public TServiceBoites {
public:
    TReponseBoite Affiche(const TBoite& boite) override {
        ++Ouvertes;
        OuvertesMaxi = std::max(OuvertesMaxi, Ouvertes);
        QTimer::singleShot(0, [] {
            if (QWidget* modale = QApplication::activeModalWidget())
                modale->close();
        });
        const TReponseBoite reponse = qt_.Affiche(boite);
        --Ouvertes;
        return reponse;
    }
    std::optional<QString> NomSauvegarde(const TDialogueSauvegarde&) override {
        return std::nullopt;
    }
    std::optional<TDestinationImpression> DestinationImpression() override { return std::nullopt; }
    int ExecuteModal(QDialog&) override { return 0; }

    int Ouvertes = 0;
    int OuvertesMaxi = 0;

private:
    TBoitesQt qt_;
};

TBoitesFermees& BoitesDuFuzz() {
    static TBoitesFermees* const boites = [] {
        auto* b = new TBoitesFermees;
        InstalleBoites(b);
        return b;
    }();
    return *boites;
}

// Lets the program run until `fait` holds; false after ten seconds (the server hangs).
template <class Condition> bool Attend(Condition fait) {
    const QDeadlineTimer limite(10000);
    QTimer reveil;
    reveil.start(50);
    while (!fait()) {
        if (limite.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The client's conversation, kept from one input to the next like a program that stays
// connected; opened again when the server closed it.
QLocalSocket& Conversation() {
    static QLocalSocket* const socket = new QLocalSocket;
    if (socket->state() != QLocalSocket::ConnectedState) {
        socket->abort();
        socket->connectToServer(NomLocalDDE(ServiceDuProgramme(), QStringLiteral("ServeurDDE")));
        EXIGE(socket->waitForConnected(1000));
        socket->write(TrameLocale('C', TexteVersAnsi(ServiceDuProgramme()) + "\tServeurDDE"));
        QByteArray reponse;
        EXIGE(Attend([&] {
            reponse += socket->readAll();
            return reponse.size() >= 2;
        }));
        EXIGE(reponse == QByteArray("A\0", 2));
    }
    return *socket;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static const TFenetres* const fenetres = new TFenetres;
    Q_UNUSED(fenetres);
    TBoitesFermees& boites = BoitesDuFuzz();
    EXIGE(FormDDE->ServeurEnregistre());
    if (taille == 0)
        return 0;
    FormMain->ModeCourant = static_cast<quint8>(donnees[0] % 4);
    QList<QByteArray> macros = Octets(donnees + 1, taille - 1).split('\0');
    if (macros.size() > kMacrosMaxi)
        macros.resize(kMacrosMaxi);

    QLocalSocket& client = Conversation();
    QByteArray trames;
    for (const QByteArray& macro : macros)
        trames += TrameLocale('X', macro);
    client.write(trames);

    // Each macro accepted, then handled once the client has its answer; a box it shows stays
    // until the user closes it.
    const QByteArray attendu = QByteArray("A\0", 2).repeated(macros.size());
    QByteArray reponses;
    EXIGE(Attend([&] {
        reponses += client.readAll();
        return reponses.size() >= attendu.size();
    }));
    EXIGE(reponses == attendu);
    bool traitees = false;
    QTimer::singleShot(0, [&traitees] { traitees = true; });
    EXIGE(Attend([&] { return traitees && boites.Ouvertes == 0; }));
    EXIGE(boites.OuvertesMaxi <= 1);
    return 0;
}
