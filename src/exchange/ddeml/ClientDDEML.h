#pragma once

// A DDE client conversation through the system's DDEML, with no Qt. Names and macros are
// Windows-1252 bytes. Every call runs on the thread that built the object; that thread
// dispatches window messages between calls, since DDEML talks through hidden windows.

#include <windows.h>

#include <ddeml.h>

#include <string>
#include <string_view>

namespace ddeml {

class TClient {
public:
    TClient();
    ~TClient();
    TClient(const TClient&) = delete;
    TClient& operator=(const TClient&) = delete;

    // Closes any conversation first; false when no server of that service and topic accepts.
    bool Ouvre(const std::string& service, const std::string& sujet);
    bool Ouverte() const { return conversation_ != nullptr; }
    // Advise link on an item, plain text; false when refused or unanswered within delaiMs.
    bool DemandeLien(const std::string& item, DWORD delaiMs);
    // Sends the macro and its zero byte as an asynchronous execute, then waits at most delaiMs
    // for the server's acknowledgement. False when the transaction cannot be issued or the
    // server refuses it; a server still busy with it when the delay ends has it all the same.
    bool Execute(std::string_view macro, DWORD delaiMs);
    void Ferme();

private:
    enum class TAccuse { Attendu, Positif, Negatif };

    static HDDEDATA CALLBACK Rappel(UINT type, UINT format, HCONV conversation, HSZ chaine1,
                                    HSZ chaine2, HDDEDATA donnees, ULONG_PTR donnee1,
                                    ULONG_PTR donnee2);
    void AttendAccuse(DWORD delaiMs);

    DWORD instance_ = 0;
    HCONV conversation_ = nullptr;
    DWORD transaction_ = 0;
    TAccuse accuse_ = TAccuse::Positif;
};

} // namespace ddeml
