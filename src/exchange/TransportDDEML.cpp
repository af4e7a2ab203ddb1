#include "exchange/TransportDDEML.h"

#include "base/Encodage.h"

// Built on Windows only.

namespace {

// As long as the local transport waits for its answer.
constexpr DWORD kDelaiAccuse = 1000;

std::string Ansi(const QString& texte) {
    return TexteVersAnsi(texte).toStdString();
}

} // namespace

bool TConversationDDEML::Ouvre(const QString& service, const QString& sujet) {
    return client_.Ouvre(Ansi(service), Ansi(sujet));
}

bool TConversationDDEML::DemandeLien(const QString& item, int delaiMs) {
    return client_.DemandeLien(Ansi(item), static_cast<DWORD>(qMax(delaiMs, 0)));
}

bool TConversationDDEML::Execute(const QByteArray& macro) {
    return client_.Execute(std::string_view(macro.constData(), static_cast<size_t>(macro.size())),
                           kDelaiAccuse);
}

void TConversationDDEML::Ferme() {
    client_.Ferme();
}

TServeurDDEML::TServeurDDEML()
    : serveur_({[this](const std::string& item) { return AccepteLien(item); },
                [this](const std::string& macro) {
                    return AccepteMacro(macro);
                }}) {}

bool TServeurDDEML::Enregistre(const QString& service, const QString& sujet) {
    return serveur_.Enregistre(Ansi(service), Ansi(sujet));
}

// DDEML asks from inside its callback: the signals wait for the event loop, after the client
// has been answered.
bool TServeurDDEML::AccepteLien(const std::string& item) {
    const bool accepte = AccepteLiens;
    const QString texte =
        AnsiVersTexte(QByteArrayView(item.data(), static_cast<qsizetype>(item.size())));
    QMetaObject::invokeMethod(
        this, [this, texte, accepte] { emit Lien(texte, accepte); }, Qt::QueuedConnection);
    return accepte;
}

bool TServeurDDEML::AccepteMacro(const std::string& macro) {
    if (!AccepteExecutions)
        return false;
    const QByteArray octets(macro.data(), static_cast<qsizetype>(macro.size()));
    QMetaObject::invokeMethod(
        this, [this, octets] { emit Macro(octets); }, Qt::QueuedConnection);
    return true;
}
