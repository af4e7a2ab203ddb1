#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>

// The reply line as the protocol reads it, one byte at a time: bytes from 32 up are kept, at most
// 255, the carriage return ends the line and other control bytes are dropped.
class TLigneReponse {
public:
    // True when `octet` ends the line.
    bool Ajoute(quint8 octet);
    const QByteArray& Texte() const { return texte_; }
    // The carriage return came: the line is whole.
    bool Complete() const { return complete_; }

private:
    QByteArray texte_;
    bool complete_ = false;
};

// The absorbance a reply line gives: a number written with a point or a comma, else Indefini;
// a line cut short by the time-out (no carriage return) is unreadable too. `separateur` receives
// the decimal separator the number was written with, if any.
double AbsorbanceDe(const TLigneReponse& reponse, QChar* separateur = nullptr);

// A number as the instrument writes it: with a point or a comma as decimal separator, whatever
// the system's (a number has one separator at most and the instrument writes no thousands
// separator, so either reads unambiguously). `separateur` receives the one used, or a null
// character for a whole number.
bool LitNombreAppareil(QByteArrayView texte, double& valeur, QChar* separateur = nullptr);
