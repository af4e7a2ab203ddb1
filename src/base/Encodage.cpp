#include "base/Encodage.h"

#include <array>

namespace {

// Windows-1252 for 0x80-0x9F; the five unassigned bytes keep their C1 code point, as Windows
// itself maps them.
constexpr std::array<char16_t, 32> kWindows1252Haut = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Greek bytes of the Tablarix fonts. They are the bytes the keyboard table types for
// Ctrl+letter: the lower-case run 0x80-0x95 follows the Latin letters in the Symbol-font
// convention (a alpha, b beta, c chi, d delta, ... l lambda, ... z zeta), the upper-case letters
// 0x96-0x9F those of Ctrl+Shift+letter. 0x00 means "plain Windows-1252".
constexpr std::array<char16_t, 32> kGrecTablarix = {
    u'α', u'β', u'χ', u'δ', u'ε', u'φ', u'γ', u'η', u'λ', 0,    u'ν', u'π', u'θ', u'ρ', u'σ', u'τ',
    u'ω', 0,    0,    u'ξ', u'ϕ', u'ζ', u'Δ', u'Φ', u'Γ', u'Λ', u'Π', u'Θ', u'Σ', u'Ω', u'Ξ', u'ϑ'};

QChar Windows1252(uchar octet) {
    if (octet >= 0x80 && octet <= 0x9F)
        return QChar(kWindows1252Haut[octet - 0x80]);
    return QChar(octet);
}

// Returns -1 when the character has no byte.
int OctetWindows1252(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kWindows1252Haut[i] == u)
            return 0x80 + i;
    return -1;
}

template <class Glyphe> QString Decode(QByteArrayView octets, Glyphe glyphe) {
    QString texte;
    texte.reserve(octets.size());
    for (const char o : octets)
        texte.append(glyphe(static_cast<uchar>(o)));
    return texte;
}

} // namespace

QString AnsiVersTexte(QByteArrayView octets) {
    return Decode(octets, Windows1252);
}

QByteArray TexteVersAnsi(QStringView texte) {
    QByteArray octets;
    octets.reserve(texte.size());
    for (const QChar c : texte) {
        const int o = OctetWindows1252(c);
        octets.append(o < 0 ? '?' : static_cast<char>(o));
    }
    return octets;
}

QChar GlypheTablarix(uchar octet) {
    if (octet >= 0x80 && octet <= 0x9F && kGrecTablarix[octet - 0x80] != 0)
        return QChar(kGrecTablarix[octet - 0x80]);
    return Windows1252(octet);
}

QString AnsiVersEcran(QByteArrayView octets) {
    return Decode(octets, GlypheTablarix);
}

QByteArray EcranVersAnsi(QStringView texte) {
    QByteArray octets;
    octets.reserve(texte.size());
    for (const QChar c : texte) {
        int o = -1;
        for (int i = 0; i < 32 && o < 0; ++i)
            if (kGrecTablarix[i] != 0 && kGrecTablarix[i] == c.unicode())
                o = 0x80 + i;
        if (o < 0)
            o = OctetWindows1252(c);
        octets.append(o < 0 ? '?' : static_cast<char>(o));
    }
    return octets;
}
