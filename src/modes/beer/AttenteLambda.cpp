#include "modes/beer/AttenteLambda.h"

void TAttenteLambda::Change() {
    phase_ = TPhase::Clignotement;
    intervalle_ = kIntervalleClignotement;
}

void TAttenteLambda::Envoyee(int timeOut) {
    phase_ = TPhase::Stabilisation;
    intervalle_ = timeOut * 10; // TimeOut counts hundredths of a second here
}

bool TAttenteLambda::Tic() {
    if (phase_ == TPhase::Stabilisation) {
        Fin();
        return true;
    }
    rouge_ = !rouge_;
    return false;
}

void TAttenteLambda::Fin() {
    phase_ = TPhase::Arret;
    intervalle_ = kIntervalleClignotement;
}

void TAttenteLambda::Arrete() {
    if (phase_ == TPhase::Clignotement)
        phase_ = TPhase::Arret;
    else if (phase_ == TPhase::Stabilisation)
        Fin();
}
