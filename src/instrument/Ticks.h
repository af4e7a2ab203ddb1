#pragma once

#include <QtGlobal>

#include <functional>

// The time unit of the instrument link: 55 ms, counted on the millisecond clock of `Horloge()`
// divided by 55. The counter wraps with the clock.
inline constexpr quint32 kMillisecondesParTick = 55;
// Half of the tick range: the longest timer.
inline constexpr quint32 kTicksMaximum = 39045157;

quint32 TicksActuels();

// Expires once the tick count has passed start + n.
class TMinuterieTicks {
public:
    void ArmTickTimer(quint32 ticks);
    bool TickTimerExpired() const;
    // Wall time left before the timer counts as expired (0 once it has).
    int MillisecondesRestantes() const;

private:
    quint64 MillisecondesEcoulees() const;

    quint32 debutMs_ = 0;
    quint32 ticks_ = 0;
};

class QObject;
// Connects the signals that end a wait to `reveil`, with `contexte` as the connections' context
// so that they end with the wait.
using TAbonnementReveil =
    std::function<void(QObject& contexte, const std::function<void()>& reveil)>;

// Lets the application's events run until a signal connected by `abonne` arrives, the timer
// expires or the application is asked to quit. Sleeps in the event loop in between: no CPU is
// used while nothing happens. False when the application is quitting (the quit request stays in
// force for the main loop).
bool AttendEvenement(const TMinuterieTicks& minuterie, const TAbonnementReveil& abonne = {});

// Waits `ticks` ticks. With `dispatch`, the application's events run meanwhile and a quit
// request ends the pause early (then the result is false).
bool PauseTicks(qint32 ticks, bool dispatch);
