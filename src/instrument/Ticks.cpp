#include "instrument/Ticks.h"

#include "shell/Horloge.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

quint32 TicksActuels() {
    return Horloge().Millisecondes() / kMillisecondesParTick;
}

void TMinuterieTicks::ArmTickTimer(quint32 ticks) {
    debut_ = TicksActuels();
    fin_ = debut_ + std::min(ticks, kTicksMaximum);
}

bool TMinuterieTicks::TickTimerExpired() const {
    const quint32 maintenant = TicksActuels();
    if (maintenant < debut_) // the clock wrapped since the timer was armed
        return fin_ < maintenant + kTicksMaximum;
    return maintenant > fin_;
}

int TMinuterieTicks::MillisecondesRestantes() const {
    if (TickTimerExpired())
        return 0;
    // Expired once the tick count passes fin_, that is from the first millisecond of tick fin_+1.
    const quint32 maintenant = Horloge().Millisecondes();
    const quint32 echeance = (fin_ + 1) * kMillisecondesParTick;
    const quint32 reste = echeance - maintenant; // modular: right across a wrap too
    return static_cast<int>(std::min<quint32>(reste, 24u * 3600 * 1000));
}

bool AttendEvenement(const TMinuterieTicks& minuterie, const TAbonnementReveil& abonne) {
    QEventLoop boucle;
    bool reveille = false;
    const auto reveil = [&reveille, &boucle] {
        reveille = true;
        boucle.exit(0);
    };
    QTimer echeance;
    echeance.setSingleShot(true);
    echeance.setTimerType(Qt::PreciseTimer);
    QObject::connect(&echeance, &QTimer::timeout, &boucle, reveil);
    // One millisecond past the deadline, so the expiry test that follows is true.
    echeance.start(minuterie.MillisecondesRestantes() + 1);
    if (abonne)
        abonne(boucle, reveil);
    boucle.exec();
    // exec() returns without our wake-up only when the application exits (or already exited).
    return reveille;
}

bool PauseTicks(qint32 ticks, bool dispatch) {
    if (ticks < 1)
        return true;
    TMinuterieTicks minuterie;
    minuterie.ArmTickTimer(static_cast<quint32>(ticks));
    while (!minuterie.TickTimerExpired()) {
        if (!dispatch)
            QThread::msleep(static_cast<unsigned long>(minuterie.MillisecondesRestantes()) + 1);
        else if (!AttendEvenement(minuterie))
            return false;
    }
    return true;
}
