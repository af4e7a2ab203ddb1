#include "exchange/TransportDDE.h"

#include "base/Encodage.h"
#include "exchange/TransportLocal.h"

#include <QRegularExpression>

#ifdef Q_OS_WIN
#include "exchange/TransportDDEML.h"
#endif

namespace {
#ifdef Q_OS_WIN
bool DDEMLChoisi() {
    return qEnvironmentVariable("JENWAY_DDE") != QStringLiteral("socket");
}
#endif
} // namespace

std::unique_ptr<TConversationDDE> CreeConversationDDE() {
#ifdef Q_OS_WIN
    if (DDEMLChoisi())
        return std::make_unique<TConversationDDEML>();
#endif
    return std::make_unique<TConversationLocale>();
}

std::unique_ptr<TServeurDDE> CreeServeurDDE() {
#ifdef Q_OS_WIN
    if (DDEMLChoisi())
        return std::make_unique<TServeurDDEML>();
#endif
    return std::make_unique<TServeurLocal>();
}

QStringList LignesMacro(const QByteArray& macro) {
    static const QRegularExpression finDeLigne(QStringLiteral("\r\n|\r|\n"));
    QStringList lignes = AnsiVersTexte(macro).split(finDeLigne);
    // A text that ends with a line break has no empty line after it.
    if (!lignes.isEmpty() && lignes.back().isEmpty())
        lignes.removeLast();
    return lignes;
}
