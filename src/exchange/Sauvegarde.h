#pragma once

#include <QByteArray>
#include <QString>

// Writes the whole content to a temporary file beside `nomFichier` and puts it in place of the
// older file only once complete, so that a failed save never destroys a previous good file. On
// failure shows the error box saying what failed and returns false.
bool EnregistreFichier(const QString& nomFichier, const QByteArray& contenu);
