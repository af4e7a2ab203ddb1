#include "instrument/PeripheriqueCom.h"

#include <QFileInfo>
#include <QSerialPort>

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

bool EstPseudoTerminal(const QString& peripherique) {
#ifdef Q_OS_LINUX
    return QFileInfo(peripherique).canonicalFilePath().startsWith(QLatin1String("/dev/pts/"));
#else
    Q_UNUSED(peripherique);
    return false;
#endif
}
