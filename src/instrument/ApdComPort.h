#pragma once

#include "instrument/EnregistreursSerie.h"
#include "instrument/ErreursCom.h"
#include "instrument/SpectroJenway.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFlags>
#include <QObject>
#include <QString>

#include <functional>

class QSerialPort;

enum TTraceLogState { tlOff, tlOn, tlDump };

enum THWFlowOption {
    hwfUseDTR = 0x1,
    hwfUseRTS = 0x2,
    hwfRequireDSR = 0x4,
    hwfRequireCTS = 0x8,
};
Q_DECLARE_FLAGS(THWFlowOptions, THWFlowOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(THWFlowOptions)

enum TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };

class TApdComPort;
using TTriggerAvailEvent = std::function<void(TApdComPort& CP, quint16 Count)>;

// The serial port of the instrument link. Received bytes are kept in a queue of `InSize` bytes;
// the rest waits in the system, which holds the instrument back through the flow control.
//
// Flow control on Qt's serial port: any hardware option gives RTS/CTS, handled by the system;
// DTR is lowered by this class while the queue holds `BufferFull` bytes or more and raised again
// at `BufferResume`. DSR is not watched: the system offers no DSR handshake. Any software
// option gives Xon/Xoff in both directions (the system has no one-way Xon/Xoff).
//
// The output queue holds `OutSize` bytes: a write that does not fit, because the instrument has
// stopped taking bytes, empties the queue and fails with ECommSortiePleine.
//
// A device that vanishes while open (USB adapter pulled out, simulator stopped) closes the port
// at its first read error and emits `Disparu` once; the operation waiting at that moment ends as
// on a time-out, and later operations fail with ECommNotOpen like on any closed port.
class TApdComPort : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 InSize = 5120;
    static constexpr qint64 OutSize = 1024;
    static constexpr qint64 BufferFull = 5000;
    static constexpr qint64 BufferResume = 2000;
    static inline const QString TraceName = QStringLiteral("jenway6500.TRC");
    static inline const QString LogName = QStringLiteral("jenway6500.LOG");

    explicit TApdComPort(QObject* parent = nullptr);
    ~TApdComPort() override;

    quint16 ComNumber() const { return comNumber_; }
    void SetComNumber(quint16 numero);
    qint32 Baud() const { return baud_; }
    void SetBaud(qint32 baud);
    TParite Parity() const { return parite_; }
    void SetParity(TParite parite);
    quint16 DataBits() const { return dataBits_; }
    void SetDataBits(quint16 bits);
    quint16 StopBits() const { return stopBits_; }
    void SetStopBits(quint16 bits);
    THWFlowOptions HWFlowOptions() const { return hwFlow_; }
    void SetHWFlowOptions(THWFlowOptions options);
    TSWFlowOptions SWFlowOptions() const { return swFlow_; }
    void SetSWFlowOptions(TSWFlowOptions options);

    bool Open() const;
    // Opening throws ECommOuverture when the port is absent, busy or refuses its settings.
    void SetOpen(bool ouvert);
    // The device the port opens, or has open.
    QString Peripherique() const;

    TTraceLogState Tracing() const { return tracing_; }
    void SetTracing(TTraceLogState etat);
    TTraceLogState Logging() const { return logging_; }
    void SetLogging(TTraceLogState etat);

    // Each throws ECommNotOpen on a closed port.
    void PurgeInput();
    bool CharAvailable();
    quint8 ReadChar(); // ECommTamponVide when nothing waits
    void WriteString(QByteArrayView octets);

    const TTriggerAvailEvent& OnTriggerAvail() const { return onTriggerAvail_; }
    void SetOnTriggerAvail(TTriggerAvailEvent gestionnaire);

    // Number of received characters waiting to be read.
    qint64 EnAttente() const { return recus_.size() - lus_; }

signals:
    // Characters have arrived in the queue (wakes the waits of the protocol).
    void CaracteresRecus();
    // The device disappeared; the port is closed. Emitted once per disappearance.
    void Disparu(const QString& message);
    // An instrument reading starts (true) or ends (false): the hourglass cursor.
    void Sablier(bool enCours);

private:
    void Recoit();
    void Avise();
    void PrevoitAvis();
    // `erreurSysteme`: errno as Qt reported the error.
    void ErreurPort(int erreur, int erreurSysteme);
    void Ferme();
    void ReglePort(bool ok, const char* reglage);
    void AppliqueDebit();
    void LeveLignes();
    void ControleDebit();
    void VerifieOuvert() const;

    QSerialPort* port_ = nullptr;
    QString peripherique_; // of the open port
    bool pseudoTerminal_ = false;
    quint16 comNumber_ = 1;
    qint32 baud_ = 1200;
    TParite parite_ = TParite::Impaire;
    quint16 dataBits_ = 7;
    quint16 stopBits_ = 1;
    THWFlowOptions hwFlow_ = hwfUseDTR | hwfUseRTS | hwfRequireCTS;
    TSWFlowOptions swFlow_ = swfNone;
    TTraceLogState tracing_ = tlOff;
    TTraceLogState logging_ = tlOff;
    TTriggerAvailEvent onTriggerAvail_;
    bool avisPrevu_ = false;
    bool disparitionPrevue_ = false;
    bool dtrBaisse_ = false;
    QByteArray recus_; // received bytes; those before lus_ are read
    qsizetype lus_ = 0;
    TTraceSerie trace_;
    TJournalSerie journal_;
};
