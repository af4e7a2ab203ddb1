#pragma once

// Windows only: DDE through the system's DDEML, for the real Tablarix. The DDEML calls live in
// exchange/ddeml/; these classes convert texts and hand the server's events to the event loop.

#include "exchange/TransportDDE.h"
#include "exchange/ddeml/ClientDDEML.h"
#include "exchange/ddeml/ServeurDDEML.h"

class TConversationDDEML final : public TConversationDDE {
public:
    bool Ouvre(const QString& service, const QString& sujet) override;
    bool DemandeLien(const QString& item, int delaiMs) override;
    bool Execute(const QByteArray& macro) override;
    void Ferme() override;

private:
    ddeml::TClient client_;
};

class TServeurDDEML final : public TServeurDDE {
    Q_OBJECT
public:
    TServeurDDEML();
    bool Enregistre(const QString& service, const QString& sujet) override;

private:
    bool AccepteLien(const std::string& item);
    bool AccepteMacro(const std::string& macro);

    ddeml::TServeur serveur_;
};
