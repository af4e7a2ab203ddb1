#include "exchange/TransportDDEML.h"

// Built on Windows only. The strings are ANSI (CP_WINANSI), as Tablarix expects.

namespace {

TServeurDDEML* gServeur = nullptr; // DDEML calls back without a context pointer

HDDEDATA CALLBACK RappelClient(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

HSZ Chaine(DWORD instance, const QString& texte) {
    return DdeCreateStringHandleA(instance, texte.toLocal8Bit().constData(), CP_WINANSI);
}

QString Texte(DWORD instance, HSZ chaine) {
    char texte[256] = {};
    DdeQueryStringA(instance, chaine, texte, sizeof texte, CP_WINANSI);
    return QString::fromLocal8Bit(texte);
}

} // namespace

TConversationDDEML::TConversationDDEML() {
    DdeInitializeA(&instance_, RappelClient, APPCMD_CLIENTONLY, 0);
}

TConversationDDEML::~TConversationDDEML() {
    Ferme();
    if (instance_ != 0)
        DdeUninitialize(instance_);
}

bool TConversationDDEML::Ouvre(const QString& service, const QString& sujet) {
    Ferme();
    const HSZ s = Chaine(instance_, service);
    const HSZ t = Chaine(instance_, sujet);
    conversation_ = DdeConnect(instance_, s, t, nullptr);
    DdeFreeStringHandle(instance_, s);
    DdeFreeStringHandle(instance_, t);
    return conversation_ != nullptr;
}

bool TConversationDDEML::DemandeLien(const QString& item, int delaiMs) {
    const HSZ i = Chaine(instance_, item);
    const HDDEDATA reponse = DdeClientTransaction(
        nullptr, 0, conversation_, i, CF_TEXT, XTYP_ADVSTART, static_cast<DWORD>(delaiMs), nullptr);
    DdeFreeStringHandle(instance_, i);
    return reponse != nullptr;
}

bool TConversationDDEML::Execute(const QByteArray& macro) {
    QByteArray texte = macro;
    texte.append('\0');
    DWORD transaction = 0;
    return DdeClientTransaction(reinterpret_cast<LPBYTE>(texte.data()),
                                static_cast<DWORD>(texte.size()), conversation_, nullptr, CF_TEXT,
                                XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction) != nullptr;
}

void TConversationDDEML::Ferme() {
    if (conversation_ != nullptr)
        DdeDisconnect(conversation_);
    conversation_ = nullptr;
}

TServeurDDEML::TServeurDDEML() {
    gServeur = this;
    DdeInitializeA(&instance_, Rappel, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS, 0);
}

TServeurDDEML::~TServeurDDEML() {
    if (service_ != nullptr)
        DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
    DdeUninitialize(instance_);
    gServeur = nullptr;
}

bool TServeurDDEML::Enregistre(const QString& service, const QString& sujet) {
    service_ = Chaine(instance_, service);
    sujet_ = Chaine(instance_, sujet);
    return DdeNameService(instance_, service_, nullptr, DNS_REGISTER) != nullptr;
}

HDDEDATA CALLBACK TServeurDDEML::Rappel(UINT type, UINT, HCONV, HSZ chaine1, HSZ chaine2,
                                        HDDEDATA donnees, ULONG_PTR, ULONG_PTR) {
    return gServeur != nullptr ? gServeur->Transaction(type, chaine1, chaine2, donnees) : nullptr;
}

HDDEDATA TServeurDDEML::Transaction(UINT type, HSZ chaine1, HSZ chaine2, HDDEDATA donnees) {
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(DdeCmpStringHandles(chaine1, sujet_) == 0 &&
                                          DdeCmpStringHandles(chaine2, service_) == 0);
    case XTYP_ADVSTART:
        emit Lien(Texte(instance_, chaine2), AccepteLiens);
        return reinterpret_cast<HDDEDATA>(AccepteLiens);
    case XTYP_EXECUTE: {
        if (!AccepteExecutions)
            return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
        const DWORD taille = DdeGetData(donnees, nullptr, 0, 0);
        QByteArray macro(static_cast<qsizetype>(taille), '\0');
        DdeGetData(donnees, reinterpret_cast<LPBYTE>(macro.data()), taille, 0);
        macro.truncate(macro.indexOf('\0') < 0 ? macro.size() : macro.indexOf('\0'));
        QMetaObject::invokeMethod(
            this, [this, macro] { emit Macro(macro); }, Qt::QueuedConnection);
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    default:
        return nullptr;
    }
}
