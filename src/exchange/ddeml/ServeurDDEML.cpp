#include "exchange/ddeml/ServeurDDEML.h"

#include "exchange/ddeml/ChaineDDE.h"

#include <cstring>
#include <utility>

namespace ddeml {

namespace {

thread_local TServeur* serveurDuFil = nullptr;

HDDEDATA Booleen(bool valeur) {
    return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(valeur ? TRUE : FALSE));
}

// The bytes of an execute request up to its zero byte.
std::string OctetsDe(HDDEDATA donnees) {
    const DWORD taille = DdeGetData(donnees, nullptr, 0, 0);
    std::string octets(taille, '\0');
    DdeGetData(donnees, reinterpret_cast<LPBYTE>(octets.data()), taille, 0);
    octets.resize(std::strlen(octets.c_str()));
    return octets;
}

} // namespace

TServeur::TServeur(TReponses reponses) : reponses_(std::move(reponses)) {
    if (serveurDuFil != nullptr)
        return;
    if (DdeInitializeA(&instance_, Rappel,
                       APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        return;
    }
    serveurDuFil = this;
}

TServeur::~TServeur() {
    if (instance_ == 0)
        return;
    Retire();
    DdeUninitialize(instance_);
    serveurDuFil = nullptr;
}

bool TServeur::Enregistre(const std::string& service, const std::string& sujet) {
    if (instance_ == 0)
        return false;
    Retire();
    service_ = DdeCreateStringHandleA(instance_, service.c_str(), CP_WINANSI);
    sujet_ = DdeCreateStringHandleA(instance_, sujet.c_str(), CP_WINANSI);
    return service_ != nullptr && sujet_ != nullptr &&
           DdeNameService(instance_, service_, nullptr, DNS_REGISTER) != nullptr;
}

void TServeur::Retire() {
    if (service_ != nullptr) {
        DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(instance_, service_);
    }
    if (sujet_ != nullptr)
        DdeFreeStringHandle(instance_, sujet_);
    service_ = nullptr;
    sujet_ = nullptr;
}

HDDEDATA CALLBACK TServeur::Rappel(UINT type, UINT, HCONV, HSZ chaine1, HSZ chaine2,
                                   HDDEDATA donnees, ULONG_PTR, ULONG_PTR) {
    return serveurDuFil != nullptr ? serveurDuFil->Transaction(type, chaine1, chaine2, donnees)
                                   : nullptr;
}

HDDEDATA TServeur::Transaction(UINT type, HSZ chaine1, HSZ chaine2, HDDEDATA donnees) {
    switch (type) {
    case XTYP_CONNECT: // chaine1 is the topic, chaine2 the service; letter case is ignored
        return Booleen(service_ != nullptr && DdeCmpStringHandles(chaine1, sujet_) == 0 &&
                       DdeCmpStringHandles(chaine2, service_) == 0);
    case XTYP_ADVSTART: // chaine2 is the item
        return Booleen(reponses_.Lien && reponses_.Lien(TexteDe(instance_, chaine2)));
    case XTYP_EXECUTE:
        return reinterpret_cast<HDDEDATA>(
            reponses_.Macro && reponses_.Macro(OctetsDe(donnees)) ? DDE_FACK : DDE_FNOTPROCESSED);
    default:
        return nullptr;
    }
}

} // namespace ddeml
