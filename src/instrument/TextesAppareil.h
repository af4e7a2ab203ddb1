#pragma once

#include <QChar>
#include <QString>

// What the program tells the user about the instrument's link, in French, in one place. The
// protocol shows them in the boxes the windows see.

// Why an action on the instrument is not tried: its port is closed.
QString TexteVoieFermee();

// The notice that the instrument writes its numbers with `appareil` as separator while the
// commands carry the system's, `systeme`: what it means and how to change it.
QString TitreSeparateurDifferent();
QString TexteSeparateurDifferent(QChar appareil, QChar systeme);
