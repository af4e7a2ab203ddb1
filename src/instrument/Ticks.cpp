#include "instrument/Ticks.h"

#include "base/Horloge.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

quint32 TicksActuels() {
    return Horloge().Millisecondes() / kMillisecondesParTick;
}

void TMinuterieTicks::ArmTickTimer(quint32 ticks) {
    debutMs_ = Horloge().Millisecondes();
    ticks_ = std::min(ticks, kTicksMaximum);
}

// Ticks counted from the tick of the start, so that a timer expires after the same number of
// tick boundaries as the system's tick count would show. The millisecond difference is taken
// modulo 2^32, which carries the count across a wrap of the clock: a timer armed just before
// the wrap still expires on time.
quint64 TMinuterieTicks::MillisecondesEcoulees() const {
    const quint32 ecart = Horloge().Millisecondes() - debutMs_; // modular
    return debutMs_ % kMillisecondesParTick + quint64{ecart};
}

bool TMinuterieTicks::TickTimerExpired() const {
    return MillisecondesEcoulees() / kMillisecondesParTick > ticks_;
}

int TMinuterieTicks::MillisecondesRestantes() const {
    const quint64 echeance = (quint64{ticks_} + 1) * kMillisecondesParTick;
    const quint64 ecoulees = MillisecondesEcoulees();
    return ecoulees >= echeance
               ? 0
               : static_cast<int>(std::min<quint64>(echeance - ecoulees, 86400000));
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
