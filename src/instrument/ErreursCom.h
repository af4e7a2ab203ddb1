#pragma once

#include <QString>

#include <stdexcept>

// An error of the serial port service, with its code.
class EComm : public std::runtime_error {
public:
    EComm(int code, const QString& message)
        : std::runtime_error(message.toStdString()), code_(code) {}
    int ErrorCode() const { return code_; }

private:
    int code_;
};

// A byte-level operation on a port that is not open: it could not be opened, or the device
// vanished since.
class ECommNotOpen : public EComm {
public:
    static constexpr int kCode = -2007;
    ECommNotOpen()
        : EComm(kCode, QStringLiteral("La voie série n'est pas ouverte : vérifiez que l'appareil "
                                      "est branché, allumé et relié au port choisi (bouton « voie "
                                      "série »), puis choisissez de nouveau un mode.")) {}
};

// `ReadChar` with nothing received.
class ECommTamponVide : public EComm {
public:
    static constexpr int kCode = -2010;
    ECommTamponVide()
        : EComm(kCode, QStringLiteral("L'appareil n'a rien envoyé : recommencez la mesure.")) {}
};

// `WriteString` with the output queue full: the instrument has stopped taking what is sent.
class ECommSortiePleine : public EComm {
public:
    static constexpr int kCode = -2009;
    explicit ECommSortiePleine(int numeroCom)
        : EComm(kCode, QStringLiteral("La voie série COM%1 n'envoie plus rien : l'appareil ne "
                                      "reçoit plus les commandes. Vérifiez qu'il est allumé et "
                                      "relié, puis recommencez.")
                           .arg(numeroCom)) {}
};

// Opening failed: the port is absent, busy or refuses its settings. The code is Qt's
// QSerialPort::SerialPortError; the message says it in French, never in the system's words.
class ECommOuverture : public EComm {
public:
    using EComm::EComm;
};

// A trace or log file could not be written. The code is Qt's QFileDevice::FileError, said in
// French by the message.
class ECommFichier : public EComm {
public:
    using EComm::EComm;
};
