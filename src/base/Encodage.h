#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Files, the clipboard, DDE and the serial line carry Windows-1252 bytes; the screen shows
// QString. Every conversion between the two goes through these functions.

// Plain Windows-1252: what a file or the clipboard holds, as a reader of those bytes sees it.
QString AnsiVersTexte(QByteArrayView octets);
// Characters outside Windows-1252 become '?'.
QByteArray TexteVersAnsi(QStringView texte);

// The Tablarix fonts draw some bytes of 0x80-0x9F as Greek letters (0x88 is lambda). The screen
// shows those letters, so that what the user sees is what Tablarix will show.
QChar GlypheTablarix(uchar octet);
QString AnsiVersEcran(QByteArrayView octets);
QByteArray EcranVersAnsi(QStringView texte);
