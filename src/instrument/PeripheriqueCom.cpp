#include "instrument/PeripheriqueCom.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

// The port numbers the JENWAY_COM<n> variables give a device to.
QList<int> NumerosDesVariables() {
    QList<int> numeros;
#ifndef Q_OS_WIN
    const QString kVariable = QStringLiteral("JENWAY_COM");
    for (const QString& nom : QProcessEnvironment::systemEnvironment().keys()) {
        bool ok = false;
        const int numero = nom.startsWith(kVariable) ? nom.mid(kVariable.size()).toInt(&ok) : 0;
        if (ok && numero > 0)
            numeros << numero;
    }
#endif
    return numeros;
}

// The number the device's name suggests; NumeroPortCom checks it against NomPeripheriqueCom.
int NumeroDuNom(const QString& peripherique) {
#ifdef Q_OS_WIN
    static const QRegularExpression nom(QStringLiteral(R"(^\\\\\.\\COM(\d+)$)"));
    const QRegularExpressionMatch m = nom.match(peripherique);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
#else
    static const QRegularExpression nom(QStringLiteral("^/dev/tty(S|USB|ACM)(\\d+)$"));
    const QRegularExpressionMatch m = nom.match(peripherique);
    if (!m.hasMatch())
        return 0;
    const int rang = m.captured(2).toInt();
    if (m.captured(1) == QLatin1String("USB"))
        return rang + 11;
    if (m.captured(1) == QLatin1String("ACM"))
        return rang + 31;
    return rang < 10 ? rang + 1 : rang + 41;
#endif
}

} // namespace

QString NomPeripheriqueCom(int numero) {
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(numero);
#else
    const QByteArray remplacement = qgetenv("JENWAY_COM" + QByteArray::number(numero));
    if (!remplacement.isEmpty())
        return QString::fromLocal8Bit(remplacement);
    if (numero >= 1 && numero <= 10)
        return QStringLiteral("/dev/ttyS%1").arg(numero - 1);
    if (numero >= 11 && numero <= 30)
        return QStringLiteral("/dev/ttyUSB%1").arg(numero - 11);
    if (numero >= 31 && numero <= 50)
        return QStringLiteral("/dev/ttyACM%1").arg(numero - 31);
    return QStringLiteral("/dev/ttyS%1").arg(numero - 41);
#endif
}

int NumeroPortCom(const QString& peripherique) {
    // A variable comes first: it takes its number from the table's device.
    QList<int> candidats = NumerosDesVariables();
    candidats << NumeroDuNom(peripherique);
    for (const int numero : candidats)
        if (numero > 0 && numero <= 0xFFFF && NomPeripheriqueCom(numero) == peripherique)
            return numero;
    return 0;
}

bool PortComPresent(int numero) {
    if (numero == 0)
        return false;
    QSerialPort port(NomPeripheriqueCom(numero));
    port.setReadBufferSize(64);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return true;
    }
    // Held by another program: it exists all the same.
    return port.error() == QSerialPort::PermissionError;
}

QList<TPortSerie> PortsDuSysteme() {
    QList<TPortSerie> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.append({info.systemLocation(), info.description(), info.manufacturer()});
    for (const int numero : NumerosDesVariables()) {
        const QString peripherique = NomPeripheriqueCom(numero);
        const bool connu = std::any_of(ports.cbegin(), ports.cend(), [&](const TPortSerie& p) {
            return p.Peripherique == peripherique;
        });
        if (!connu && QFileInfo::exists(peripherique))
            ports.append({peripherique, {}, {}});
    }
    return ports;
}

bool EstPseudoTerminal(const QString& peripherique) {
#ifdef Q_OS_LINUX
    return QFileInfo(peripherique).canonicalFilePath().startsWith(QLatin1String("/dev/pts/"));
#else
    Q_UNUSED(peripherique);
    return false;
#endif
}
