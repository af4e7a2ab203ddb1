#pragma once

#include "Appareil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <deque>
#include <memory>

#include <termios.h>

struct TOptionsSimulateur {
    QString lien;
    QString journal;
    QString horodatage;
    int baud = 1200;
    bool sansDelai = false;
    quint32 graine = 1;
    double bruit = 0.002;
};

// The instrument on a pseudo-terminal: reads commands from it, answers through `TAppareil`, paces
// what it sends at the baud rate, and obeys the control lines read on standard input.
class TSimulateur : public QObject {
    Q_OBJECT
public:
    explicit TSimulateur(const TOptionsSimulateur& options);
    ~TSimulateur() override;

    // Creates the pseudo-terminal in raw mode; the path of its device, or an empty text.
    QString Ouvre(QString& erreur);

private:
    struct TSegment {
        QByteArray octets;
        qint64 pasAvantMs;
    };

    void LitLigneSerie();
    void LitControle();
    void Commande(const QByteArray& commande, char fin);
    void Pompe();
    void Debranche();
    void Libere();
    void Horodate(const char* octets, qsizetype nombre);
    double Secondes() const { return chrono_.nsecsElapsed() / 1e9; }

    TOptionsSimulateur options_;
    TAppareil appareil_;
    QElapsedTimer chrono_;
    int maitre_ = -1;
    int esclave_ = -1; // kept open so that the line lives between two clients
    termios reglagesInitiaux_{};
    std::unique_ptr<QSocketNotifier> lecture_;
    std::unique_ptr<QSocketNotifier> controle_;
    QByteArray commande_;
    QByteArray ligneControle_;
    std::deque<TSegment> file_;
    double prochainEnvoi_ = 0; // seconds: when the next character may go out
    bool aFroid_ = true;       // the line was idle or held back: the pace starts afresh
    QTimer pompe_;
    QFile journal_;
    QFile horodatage_;
    QByteArray ligneEnvoyee_;
};
