#include "exchange/ddeml/ClientDDEML.h"

#include "exchange/ddeml/ChaineDDE.h"

namespace ddeml {

namespace {

// DDEML's callback carries no pointer to its object: each conversation holds its client.
TClient* ClientDe(HCONV conversation) {
    CONVINFO infos{};
    infos.cb = sizeof infos;
    if (DdeQueryConvInfo(conversation, QID_SYNC, &infos) == 0)
        return nullptr;
    return reinterpret_cast<TClient*>(infos.hUser);
}

} // namespace

TClient::TClient() {
    if (DdeInitializeA(&instance_, Rappel, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        instance_ = 0;
}

TClient::~TClient() {
    Ferme();
    if (instance_ != 0)
        DdeUninitialize(instance_);
}

bool TClient::Ouvre(const std::string& service, const std::string& sujet) {
    Ferme();
    if (instance_ == 0)
        return false;
    const TChaine s(instance_, service);
    const TChaine t(instance_, sujet);
    conversation_ = DdeConnect(instance_, s.Handle(), t.Handle(), nullptr);
    if (conversation_ != nullptr)
        DdeSetUserHandle(conversation_, QID_SYNC, reinterpret_cast<DWORD_PTR>(this));
    return conversation_ != nullptr;
}

bool TClient::DemandeLien(const std::string& item, DWORD delaiMs) {
    if (conversation_ == nullptr)
        return false;
    const TChaine i(instance_, item);
    return DdeClientTransaction(nullptr, 0, conversation_, i.Handle(), CF_TEXT, XTYP_ADVSTART,
                                delaiMs, nullptr) != nullptr;
}

bool TClient::Execute(std::string_view macro, DWORD delaiMs) {
    if (conversation_ == nullptr)
        return false;
    // The zero byte ends the macro for the server, which reads it as a C string.
    std::string octets(macro);
    octets.push_back('\0');
    // Asynchronous: a synchronous execute can be failed by advise data the server posts while
    // it runs the macro.
    accuse_ = TAccuse::Attendu;
    transaction_ = 0;
    if (DdeClientTransaction(reinterpret_cast<LPBYTE>(octets.data()),
                             static_cast<DWORD>(octets.size()), conversation_, nullptr, CF_TEXT,
                             XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction_) == nullptr) {
        accuse_ = TAccuse::Positif;
        return false;
    }
    AttendAccuse(delaiMs);
    return accuse_ != TAccuse::Negatif;
}

void TClient::Ferme() {
    if (conversation_ != nullptr)
        DdeDisconnect(conversation_);
    conversation_ = nullptr;
}

// Only DDE messages are dispatched: the caller's own events wait, as they would for any
// blocking call.
void TClient::AttendAccuse(DWORD delaiMs) {
    const ULONGLONG fin = GetTickCount64() + delaiMs;
    while (accuse_ == TAccuse::Attendu) {
        MSG message;
        if (PeekMessageA(&message, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
            DispatchMessageA(&message);
            continue;
        }
        const ULONGLONG maintenant = GetTickCount64();
        if (maintenant >= fin)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(fin - maintenant),
                                  QS_POSTMESSAGE | QS_SENDMESSAGE);
    }
}

HDDEDATA CALLBACK TClient::Rappel(UINT type, UINT, HCONV conversation, HSZ, HSZ, HDDEDATA donnees,
                                  ULONG_PTR donnee1, ULONG_PTR) {
    TClient* client = ClientDe(conversation);
    switch (type) {
    case XTYP_XACT_COMPLETE:
        if (client != nullptr && client->accuse_ == TClient::TAccuse::Attendu &&
            donnee1 == client->transaction_)
            client->accuse_ =
                donnees != nullptr ? TClient::TAccuse::Positif : TClient::TAccuse::Negatif;
        return nullptr;
    case XTYP_DISCONNECT:
        // The server ended the conversation: a macro it never acknowledged was not taken.
        if (client != nullptr && client->conversation_ == conversation) {
            client->conversation_ = nullptr;
            if (client->accuse_ == TClient::TAccuse::Attendu)
                client->accuse_ = TClient::TAccuse::Negatif;
        }
        return nullptr;
    case XTYP_ADVDATA:
        return reinterpret_cast<HDDEDATA>(DDE_FACK); // the advise data are not used
    default:
        return nullptr;
    }
}

} // namespace ddeml
