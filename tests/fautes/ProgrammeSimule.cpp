#include "ProgrammeSimule.h"

#include "graph/Courbe.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "shell/FormMain.h"

#include <QFile>

void ProgrammeSimule::TearDown() {
    fenetres.reset();
    simulateur.reset();
    Spectro = TspectroJenway{};
}

QStringList ProgrammeSimule::SansDelai() {
    return {QStringLiteral("--sans-delai"), QStringLiteral("--graine"), QStringLiteral("1"),
            QStringLiteral("--bruit"), QStringLiteral("0")};
}

void ProgrammeSimule::Lance(const QStringList& options, const std::function<void()>& reglages) {
    Spectro = TspectroJenway{};
    if (reglages)
        reglages();
    simulateur.emplace(1, options);
    fenetres = std::make_unique<TFenetres>();
}

void ProgrammeSimule::Rebranche(quint8 mode, const QStringList& options) {
    simulateur.reset();
    simulateur.emplace(1, options);
    FormMain->ChoixMode(mode);
    ASSERT_TRUE(Spectro.Voie->Open());
}

void ProgrammeSimule::Debranche() {
    ASSERT_TRUE(simulateur->Controle("debranche"));
    ASSERT_TRUE(Attend([] { return !Spectro.Voie->Open(); }, 2000));
}

QList<QPointF> PointsDuFichier(const QString& chemin) {
    QFile fichier(chemin);
    QList<QPointF> points;
    if (!fichier.open(QIODevice::ReadOnly))
        return points;
    for (const QByteArray& ligne : fichier.readAll().split('\n')) {
        const QList<QByteArray> champs = ligne.trimmed().split('\t');
        bool okX = false;
        bool okY = false;
        const double x = champs.value(0).toDouble(&okX);
        const double y = champs.value(1).toDouble(&okY);
        if (champs.size() == 2 && okX && okY)
            points << QPointF(x, y);
    }
    return points;
}

QList<QPointF> Points(const Tcourbe& courbe) {
    QList<QPointF> points;
    for (int i = 0; i < courbe.NbPoints; ++i)
        points << QPointF(courbe.X[i], courbe.Y[i]);
    return points;
}

qint64 MemoireResidenteKo() {
    QFile statut(QStringLiteral("/proc/self/status"));
    if (!statut.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& ligne : statut.readAll().split('\n'))
        if (ligne.startsWith("VmRSS:"))
            return ligne.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
