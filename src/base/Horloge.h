#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// The one source of time of the program: the time of day and a millisecond counter that wraps
// at 2^32 like the system's tick count. Tests install a clock they drive.
class THorloge {
public:
    virtual ~THorloge() = default;
    virtual QDateTime DateHeure() const = 0;
    virtual quint32 Millisecondes() const = 0;
};

class THorlogeSysteme final : public THorloge {
public:
    THorlogeSysteme() { depart_.start(); }
    QDateTime DateHeure() const override { return QDateTime::currentDateTime(); }
    quint32 Millisecondes() const override { return static_cast<quint32>(depart_.elapsed()); }

private:
    QElapsedTimer depart_;
};

class THorlogeTest final : public THorloge {
public:
    explicit THorlogeTest(QDateTime depart, quint32 millisecondes = 0)
        : moment_(std::move(depart)), millisecondes_(millisecondes) {}
    QDateTime DateHeure() const override { return moment_; }
    quint32 Millisecondes() const override { return millisecondes_; }

    void Fixe(const QDateTime& moment) { moment_ = moment; }
    void Avance(quint32 ms) {
        moment_ = moment_.addMSecs(ms);
        millisecondes_ += ms; // wraps like the system counter
    }

private:
    QDateTime moment_;
    quint32 millisecondes_;
};

THorloge& Horloge();
// nullptr puts the system clock back. The caller keeps ownership of its clock.
void InstalleHorloge(THorloge* horloge);

// Time of day as a fraction of a day, the unit of the kinetics clock.
double HeureDuJour(const QDateTime& moment);
