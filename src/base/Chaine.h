#pragma once

#include <algorithm>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "base/Encodage.h"

// A text of fixed capacity held as Windows-1252 bytes: what the instrument, the files and
// Tablarix exchange. A longer text is cut to the capacity, as the model requires.
template <qsizetype Capacite> class TChaine {
public:
    TChaine() = default;
    TChaine(QByteArrayView octets)
        : octets_(octets.first(std::min(octets.size(), Capacite)).toByteArray()) {}
    TChaine(const char* octets) : TChaine(QByteArrayView(octets)) {}
    TChaine(const QByteArray& octets) : TChaine(QByteArrayView(octets)) {}

    static TChaine DepuisTexte(QStringView texte) { return TChaine(TexteVersAnsi(texte)); }

    const QByteArray& Octets() const { return octets_; }
    QString Texte() const { return AnsiVersTexte(octets_); }
    QString TexteEcran() const { return AnsiVersEcran(octets_); }
    qsizetype Longueur() const { return octets_.size(); }
    bool EstVide() const { return octets_.isEmpty(); }

    static constexpr qsizetype capacite() { return Capacite; }

    friend bool operator==(const TChaine& a, const TChaine& b) { return a.octets_ == b.octets_; }

private:
    QByteArray octets_;
};

using TChaine20 = TChaine<20>;
using TChaine80 = TChaine<80>;
using TChaine255 = TChaine<255>;
