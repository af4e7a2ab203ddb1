#pragma once

// The wavelength of the Beer-Lambert window between a change and the next reading: the update
// button blinks until the new wavelength is sent, then the instrument is given time to reach it
// and no reading may start. The window's timer runs at Intervalle() while Active() and hands
// each of its ticks to Tic().
class TAttenteLambda {
public:
    enum class TPhase { Arret, Clignotement, Stabilisation };
    static constexpr int kIntervalleClignotement = 1000; // ms

    // The wavelength was changed: the update button blinks.
    void Change();
    // The wavelength was sent: the instrument settles for `timeOut` hundredths of a second.
    void Envoyee(int timeOut);
    // One tick of the timer. True when it ends the settling wait; otherwise the update button
    // changes colour.
    bool Tic();
    // The settling wait is over, or cut short.
    void Fin();
    // Zero or close: the timer stops; a blinking update button stays, unsent.
    void Arrete();

    TPhase Phase() const { return phase_; }
    bool Stabilisation() const { return phase_ == TPhase::Stabilisation; }
    bool Active() const { return phase_ != TPhase::Arret; }
    int Intervalle() const { return intervalle_; }
    bool Rouge() const { return rouge_; }

private:
    // Kept apart from the interval, which may be 1000 ms in both phases (TimeOut 100).
    TPhase phase_ = TPhase::Arret;
    int intervalle_ = kIntervalleClignotement;
    bool rouge_ = false;
};
