#include "SupportFuzz.h"

#include "base/Application.h"
#include "base/Regional.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

int boitesVues = 0;

class TBoitesComptees final : public TServiceBoites {
public:
    TReponseBoite Affiche(const TBoite& boite) override {
        ++boitesVues;
        switch (boite.Boutons) {
        case TBoutonsBoite::Ok:
        case TBoutonsBoite::OkAnnuler:
            return TReponseBoite::Ok;
        default:
            return TReponseBoite::Oui;
        }
    }
    std::optional<QString> NomSauvegarde(const TDialogueSauvegarde&) override {
        return std::nullopt;
    }
    std::optional<TDestinationImpression> DestinationImpression() override { return std::nullopt; }
    int ExecuteModal(QDialog&) override { return 0; }
};

} // namespace

void EchecPropriete(const char* condition, const char* fichier, int ligne) {
    std::fprintf(stderr, "%s:%d: propriété non tenue : %s\n", fichier, ligne, condition);
    std::abort();
}

int BoitesVues() {
    return boitesVues;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    // Local sockets of the DDE server, the runtime files of Qt and the journals of runs stay in a
    // folder of their own, removed at exit.
    static const QTemporaryDir execution;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(execution.path()));
    qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(execution.path() + u'/'));
    qputenv("JENWAY_JOURNAUX", QFile::encodeName(execution.filePath(QStringLiteral("journaux"))));
    // The application and the objects under test live until the process ends: the fuzzer exits
    // from anywhere, and Qt's teardown after its own statics are gone would crash.
    static const auto* const application = new TApplication(*argc, *argv);
    Q_UNUSED(application);
    static TBoitesComptees boites;
    InstalleBoites(&boites);
    FixeRegional(TParametresRegionaux{});
    return 0;
}
