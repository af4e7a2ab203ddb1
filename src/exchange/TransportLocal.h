#pragma once

#include "exchange/TransportDDE.h"

#include <QLocalSocket>

#include <functional>
#include <memory>

class QTimer;
class TEcouteLocale;

// DDE over local sockets (a Unix socket, or a named pipe on Windows).
//
// Naming: the server of a service and topic listens on the local name
//   <space>jenway-dde-<service>-<topic>
// service and topic in lower case (DDE names ignore letter case). The space is JENWAY_DDE_ESPACE
// when set (a folder path ending in "/" keeps the sockets of a test run apart from any other),
// else EspaceLocalDDE().
//
// Frames, both ways: one kind byte, the payload, a zero byte. Payloads are Windows-1252 and hold
// no zero byte; a frame longer than 64 KiB ends the conversation.
//   client 'C' service TAB topic   connect; answered 'A' (accepted) or 'N' (then closed)
//   client 'L' item                advise link; answered 'A' or 'N'
//   client 'X' macro               execute: the macro's bytes, its zero byte closing the frame;
//                                  answered 'A' when accepted for execution (the macro runs
//                                  after the answer, so the client never waits for it) or 'N'
//   server 'D' item TAB data       advise data; the client reads and ignores it
// Closing the socket ends the conversation. A client waits at most 1000 ms for each answer, and
// sends nothing to a server run by another user: it is taken as absent.
class TConversationLocale final : public TConversationDDE {
public:
    bool Ouvre(const QString& service, const QString& sujet) override;
    bool DemandeLien(const QString& item, int delaiMs) override;
    bool Execute(const QByteArray& macro) override;
    void Ferme() override;

private:
    bool Demande(char genre, const QByteArray& charge, int delaiMs);
    // The next answer, 'A' or 'N', skipping advise data; 0 on time-out or a closed socket.
    char Reponse(int delaiMs);

    QLocalSocket socket_;
    QByteArray recu_;
};

// Any program of the user may connect: the server holds out against clients that connect and
// say nothing, or too many at once.
class TServeurLocal final : public TServeurDDE {
    Q_OBJECT
public:
    explicit TServeurLocal(QObject* parent = nullptr);
    ~TServeurLocal() override;
    bool Enregistre(const QString& service, const QString& sujet) override;
    // Whether one frame of a client is accepted; `ouverte` is that client's conversation state,
    // which a 'C' frame sets.
    bool Accepte(char genre, const QByteArray& charge, bool& ouverte) const;

    // Conversations held at once; a client beyond them is disconnected as soon as it connects.
    int ConversationsMaxi = 16;
    // A conversation that sends no whole frame for this long is closed.
    int DelaiInactiviteMs = 30000;

private:
    void NouveauClient(QLocalSocket* client);
    void Lit(QLocalSocket& client, QTimer& inactivite);
    void Traite(QLocalSocket& client, char genre, const QByteArray& charge);

    std::unique_ptr<TEcouteLocale> ecoute_;
    int conversations_ = 0;
    QString service_;
    QString sujet_;
};

QString NomLocalDDE(const QString& service, const QString& sujet);

// The folder of the program's sockets, ending in "/". A socket name without a folder lands in
// /tmp, where any user may take it first and where a crash leaves it: ours go to a folder of the
// user's own, mode 0700, created when missing: "jenway6500" in $XDG_RUNTIME_DIR, else
// "jenway6500-<host>" in the user's cache folder (a home shared between machines holds one per
// machine). Empty on Windows, whose named pipes leave no file, and when neither folder can be
// made.
QString EspaceLocalDDE();

// The framing, the same both ways. A zero byte in the payload cuts it there.
QByteArray TrameLocale(char genre, QByteArray charge);
// Takes one whole frame off the front of `tampon`, dropping empty frames before it; false when
// none is complete yet.
bool ExtraitTrameLocale(QByteArray& tampon, char& genre, QByteArray& charge);
// The server's reading: every whole frame of `tampon`, taken off it in order and handed to
// `traite`; false when the unfinished rest passes 64 KiB (the conversation must end).
bool DecoupeTramesLocales(QByteArray& tampon,
                          const std::function<void(char, const QByteArray&)>& traite);
// The client's reading: the first answer ('A' or 'N') among the frames of `recu`, taken off it
// with the advise data before it; 0 while none has come whole.
char ReponseLocale(QByteArray& recu);
// A client gives up waiting once this many bytes hold no whole frame.
inline constexpr qsizetype TrameLocaleMaxi = 64 * 1024;
