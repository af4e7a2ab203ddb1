#include "SimulateurLance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <stdexcept>

QString CheminSimulateur() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/simulateur-jenway");
}

TSimulateurLance::TSimulateurLance(int numeroCom, const QStringList& options)
    : numeroCom_(numeroCom) {
    processus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processus_.start(CheminSimulateur(), QStringList(options)
                                             << QStringLiteral("--journal")
                                             << dossier_.filePath(QStringLiteral("journal")));
    if (!processus_.waitForStarted(5000))
        throw std::runtime_error("simulateur-jenway ne démarre pas");
    while (!processus_.canReadLine())
        if (!processus_.waitForReadyRead(5000))
            throw std::runtime_error("simulateur-jenway ne donne pas son périphérique");
    peripherique_ = QString::fromLocal8Bit(processus_.readLine().trimmed());
    qputenv("JENWAY_COM" + QByteArray::number(numeroCom_), peripherique_.toLocal8Bit());
}

TSimulateurLance::~TSimulateurLance() {
    qunsetenv("JENWAY_COM" + QByteArray::number(numeroCom_));
    processus_.terminate();
    if (!processus_.waitForFinished(2000))
        processus_.kill();
    processus_.waitForFinished(2000);
}

void TSimulateurLance::ControleSansAttendre(const QByteArray& ligne) {
    processus_.write(ligne + '\n');
    processus_.waitForBytesWritten(1000);
}

bool TSimulateurLance::Controle(const QByteArray& ligne) {
    ControleSansAttendre(ligne);
    while (!processus_.canReadLine())
        if (!processus_.waitForReadyRead(5000))
            return false;
    return processus_.readLine().trimmed() == "ok " + ligne;
}

QByteArray TSimulateurLance::Journal() const {
    QFile f(dossier_.filePath(QStringLiteral("journal")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray TSimulateurLance::AttendJournal(int lignes) const {
    const QDeadlineTimer limite(2000);
    QByteArray journal = Journal();
    while (journal.count('\n') < lignes && !limite.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
        journal = Journal();
    }
    return journal;
}
