#include "OutilsTests.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

QByteArray Lit(const QString& chemin) {
    QFile fichier(chemin);
    return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
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
