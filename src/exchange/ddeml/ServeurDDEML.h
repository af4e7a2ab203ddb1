#pragma once

// A DDE server for one service and topic through the system's DDEML, with no Qt. Names and
// macros are Windows-1252 bytes. It lives on the thread that built it, which dispatches window
// messages; DDEML calls back on that thread, from its message loop.

#include <windows.h>

#include <ddeml.h>

#include <functional>
#include <string>

namespace ddeml {

class TServeur {
public:
    // Asked from inside DDEML's callback, before the client is answered: whether to accept an
    // advise link on `item`, and whether to take `macro` (the bytes before its zero byte).
    struct TReponses {
        std::function<bool(const std::string& item)> Lien;
        std::function<bool(const std::string& macro)> Macro;
    };

    explicit TServeur(TReponses reponses);
    ~TServeur();
    TServeur(const TServeur&) = delete;
    TServeur& operator=(const TServeur&) = delete;

    // False when the name cannot be registered, or when another server already lives on this
    // thread: DDEML's callback carries no pointer back to its object.
    bool Enregistre(const std::string& service, const std::string& sujet);

private:
    static HDDEDATA CALLBACK Rappel(UINT type, UINT format, HCONV conversation, HSZ chaine1,
                                    HSZ chaine2, HDDEDATA donnees, ULONG_PTR donnee1,
                                    ULONG_PTR donnee2);
    HDDEDATA Transaction(UINT type, HSZ chaine1, HSZ chaine2, HDDEDATA donnees);
    void Retire();

    TReponses reponses_;
    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ sujet_ = nullptr;
};

} // namespace ddeml
