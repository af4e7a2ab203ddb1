#include "OutilsTests.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

QByteArray Lit(const QString& chemin) {
    QFile fichier(chemin);
    return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
}

QStringList TexteDuPdf(const QString& pdf) {
    const QString programme = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (programme.isEmpty()) {
        ADD_FAILURE() << "pdftotext absent (paquet poppler-utils)";
        return {};
    }
    QProcess pdftotext;
    pdftotext.start(programme, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000));
    QStringList lignes;
    for (const QString& ligne : QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\n'))
        if (!ligne.trimmed().isEmpty())
            lignes << ligne.simplified();
    return lignes;
}

bool Attend(const std::function<bool()>& condition, int ms, int intervalle) {
    const QDeadlineTimer limite(ms);
    while (!condition()) {
        if (limite.hasExpired())
            return false;
        QEventLoop boucle;
        QTimer::singleShot(intervalle, &boucle, &QEventLoop::quit);
        boucle.exec();
    }
    return true;
}
