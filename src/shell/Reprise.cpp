#include "shell/Reprise.h"

#include "base/Boites.h"
#include "base/Regional.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"

#include <QFileInfo>
#include <QLocale>
#include <QLockFile>

#include <set>

namespace {

QString NomDuMode(const QByteArray& mode) {
    if (mode == "cinetique")
        return QStringLiteral("la cinétique");
    if (mode == "spectre")
        return QStringLiteral("le spectre");
    if (mode == "beer")
        return QStringLiteral("la série de Beer-Lambert");
    return QStringLiteral("l'acquisition");
}

} // namespace

QString DescriptionJournal(const TJournalLu& journal) {
    const auto debut = journal.Champs.find("debut");
    const QDateTime quand =
        debut != journal.Champs.end()
            ? QDateTime::fromString(QString::fromLatin1(debut->second), Qt::ISODate)
            : journal.Modifie;
    const auto mode = journal.Champs.find("mode");
    const QLocale c = QLocale::c();
    return QStringLiteral("%1 du %2 à %3 (%4 point%5%6)")
        .arg(NomDuMode(mode != journal.Champs.end() ? mode->second : QByteArray()),
             c.toString(quand.date(), Regional().FormatDateCourt),
             c.toString(quand.time(), Regional().FormatHeureLong))
        .arg(journal.X.size())
        .arg(journal.X.size() > 1 ? QStringLiteral("s") : QString(),
             journal.Tronque ? QStringLiteral(" ; le journal en contient davantage, au-delà de ce "
                                              "qu'une acquisition peut garder : ils ne sont pas "
                                              "récupérés")
                             : QString());
}

void ProposeReprises(const QString& dossier, const TRestaurations& restaurations) {
    PurgeJournauxMisDeCote(dossier, kJoursMisDeCote);
    // A window holds one run: a second journal of its mode waits in place for the next start.
    std::set<QByteArray> modesRestaures;
    for (const QString& chemin : JournauxEnAttente(dossier)) {
        // The journal of a run that another copy of the program is taking is not interrupted.
        const std::unique_ptr<QLockFile> verrou = VerrouilleJournal(chemin);
        if (!verrou)
            continue;
        const std::optional<TJournalLu> journal = LitJournal(chemin);
        const auto mode = journal ? journal->Champs.find("mode") : TChampsJournal::const_iterator{};
        if (!journal || mode == journal->Champs.end() || !restaurations.count(mode->second)) {
            MetDeCote(chemin);
            Boites().Affiche({QStringLiteral("Reprise d'acquisition"),
                              QStringLiteral("Le journal %1 est illisible : il a été mis de côté.")
                                  .arg(QFileInfo(chemin).fileName()),
                              TIconeBoite::Avertissement, TBoutonsBoite::Ok});
            continue;
        }
        if (modesRestaures.count(mode->second))
            continue;
        if (journal->X.isEmpty()) {
            MetDeCote(chemin); // stopped before its first point: nothing to offer
            continue;
        }
        const TReponseBoite reponse =
            Boites().Affiche({QStringLiteral("Reprise d'acquisition"),
                              QStringLiteral("Une acquisition a été interrompue : %1.\n"
                                             "Voulez-vous la récupérer ?")
                                  .arg(DescriptionJournal(*journal)),
                              TIconeBoite::Question, TBoutonsBoite::OuiNon});
        if (reponse == TReponseBoite::Oui) {
            restaurations.at(mode->second)(*journal);
            modesRestaures.insert(mode->second);
        } else
            MetDeCote(chemin);
    }
}

TRestaurations RestaurationsDesFenetres() {
    return {{"cinetique",
             [](const TJournalLu& lu) {
                 if (CinetiqueForm)
                     CinetiqueForm->Restaure(lu);
             }},
            {"spectre",
             [](const TJournalLu& lu) {
                 if (TraceSpectre)
                     TraceSpectre->Restaure(lu);
             }},
            {"beer", [](const TJournalLu& lu) {
                 if (BeerForm)
                     BeerForm->Restaure(lu);
             }}};
}
