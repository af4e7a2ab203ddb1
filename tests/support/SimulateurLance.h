#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The simulated instrument, started for a test and serving port `numeroCom`: JENWAY_COM<n>
// names its pseudo-terminal while it runs.
class TSimulateurLance {
public:
    explicit TSimulateurLance(int numeroCom = 1,
                              const QStringList& options = {QStringLiteral("--sans-delai"),
                                                            QStringLiteral("--graine"),
                                                            QStringLiteral("1")});
    ~TSimulateurLance();
    TSimulateurLance(const TSimulateurLance&) = delete;
    TSimulateurLance& operator=(const TSimulateurLance&) = delete;

    const QString& Peripherique() const { return peripherique_; }
    // Sends a control line and waits for its acknowledgement; false when it was refused.
    bool Controle(const QByteArray& ligne);
    // Sends a control line without waiting.
    void ControleSansAttendre(const QByteArray& ligne);
    // The commands received so far, one per line, end bytes as [13] or [10].
    QByteArray Journal() const;
    // Lets events run until the journal holds `lignes` lines (at most 2 s); the journal.
    QByteArray AttendJournal(int lignes) const;

private:
    int numeroCom_;
    QTemporaryDir dossier_;
    QProcess processus_;
    QString peripherique_;
};

// The simulator's executable, next to the test programs.
QString CheminSimulateur();
