#pragma once

// Windows only: DDE through the system's DDEML, for the real Tablarix.

#include "exchange/TransportDDE.h"

#include <windows.h>

#include <ddeml.h>

class TConversationDDEML final : public TConversationDDE {
public:
    TConversationDDEML();
    ~TConversationDDEML() override;
    bool Ouvre(const QString& service, const QString& sujet) override;
    bool DemandeLien(const QString& item, int delaiMs) override;
    bool Execute(const QByteArray& macro) override;
    void Ferme() override;

private:
    DWORD instance_ = 0;
    HCONV conversation_ = nullptr;
};

class TServeurDDEML final : public TServeurDDE {
    Q_OBJECT
public:
    TServeurDDEML();
    ~TServeurDDEML() override;
    bool Enregistre(const QString& service, const QString& sujet) override;

private:
    static HDDEDATA CALLBACK Rappel(UINT type, UINT format, HCONV conversation, HSZ chaine1,
                                    HSZ chaine2, HDDEDATA donnees, ULONG_PTR, ULONG_PTR);
    HDDEDATA Transaction(UINT type, HSZ chaine1, HSZ chaine2, HDDEDATA donnees);

    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ sujet_ = nullptr;
};
