// Runs a fuzz target over files instead of generated inputs: every file of each folder given
// (or each file given), once. The normal test suite replays the seeds and the inputs of past
// findings this way.
#include "SupportFuzz.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

int Rejoue(const QString& chemin) {
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "illisible : %s\n", qPrintable(chemin));
        return 1;
    }
    const QByteArray octets = fichier.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(octets.constData()),
                           static_cast<std::size_t>(octets.size()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    int erreurs = 0;
    int rejoues = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        QStringList fichiers;
        if (info.isDir()) {
            const QDir dossier(info.filePath());
            for (const QString& nom : dossier.entryList(QDir::Files, QDir::Name))
                fichiers << dossier.filePath(nom);
        } else {
            fichiers << info.filePath();
        }
        for (const QString& fichier : fichiers) {
            erreurs += Rejoue(fichier);
            ++rejoues;
        }
    }
    std::printf("%d entrées rejouées\n", rejoues);
    return erreurs == 0 && rejoues > 0 ? 0 : 1;
}
