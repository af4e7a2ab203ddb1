#include "base/Utilitaires.h"

#include "base/Boites.h"
#include "base/Horloge.h"
#include "base/Regional.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr qsizetype kLongueurTexteNombre = 20;

QString Exposant(int e, int largeur) {
    QString chiffres = QString::number(std::abs(e)).rightJustified(largeur, u'0');
    return e < 0 ? u'-' + chiffres : chiffres;
}

} // namespace

QString FormatGeneral(double x, int precision, int largeurExposant, QChar separateur) {
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0)
        return QStringLiteral("0");

    // Rounded to the wanted significant digits in decimal: d.ddddde±XX, always with a point,
    // whatever the C library's locale (a French desktop gives it a comma).
    const QByteArray scientifique = QByteArray::number(std::fabs(x), 'e', precision - 1);
    const qsizetype posE = scientifique.indexOf('e');
    QByteArray chiffres = scientifique.left(posE);
    chiffres.replace(".", "");
    while (chiffres.size() > 1 && chiffres.endsWith('0'))
        chiffres.chop(1);
    const int e = scientifique.mid(posE + 1).toInt() + 1; // value = 0.d1d2... x 10^e
    const int k = static_cast<int>(chiffres.size());

    QString texte = x < 0 ? QStringLiteral("-") : QString();
    if (e >= -3 && e <= precision) {
        if (e > 0) {
            texte += QString::fromLatin1(chiffres.left(e));
            if (k < e)
                texte += QString(e - k, u'0');
            else if (k > e)
                texte += separateur + QString::fromLatin1(chiffres.mid(e));
        } else {
            texte += u'0' + QString(separateur) + QString(-e, u'0') + QString::fromLatin1(chiffres);
        }
    } else {
        texte += QChar::fromLatin1(chiffres[0]);
        if (k > 1)
            texte += separateur + QString::fromLatin1(chiffres.mid(1));
        texte += u'E' + Exposant(e - 1, largeurExposant);
    }
    return texte;
}

QString FloatToStrPoint(double x) {
    return FormatGeneral(x, 7, 2, u'.').left(kLongueurTexteNombre);
}

QString FloatToStr3(double x) {
    // Exponents below 1e-10 or from 1e10 have two digits anyway: one digit is the minimum.
    return FormatGeneral(x, 3, 1, Regional().SeparateurDecimal).left(kLongueurTexteNombre);
}

bool LitReel(QStringView texte, QChar separateur, double& valeur) {
    const QStringView t = texte.trimmed();
    qsizetype i = 0;
    QByteArray normalise;
    auto chiffres = [&] {
        const qsizetype debut = i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 0x80)
            normalise.append(static_cast<char>(t[i++].unicode()));
        return i - debut;
    };
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        normalise.append(static_cast<char>(t[i++].unicode()));
    qsizetype significatifs = chiffres();
    if (i < t.size() && t[i] == separateur) {
        ++i;
        normalise.append('.');
        significatifs += chiffres();
    }
    if (significatifs == 0)
        return false;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        normalise.append('e');
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            normalise.append(static_cast<char>(t[i++].unicode()));
        if (chiffres() == 0)
            return false;
    }
    if (i != t.size())
        return false;
    bool ok = false;
    const double lu = normalise.toDouble(&ok);
    if (!ok || !std::isfinite(lu))
        return false;
    valeur = lu;
    return true;
}

double SecondesEnTemps(qint32 secondes) {
    if (secondes < 0 || secondes >= 86400)
        throw std::range_error("Argument incorrect pour le codage de l'heure");
    const qint32 heures = secondes / 3600;
    const qint32 minutes = (secondes - 3600 * heures) / 60;
    const qint32 reste = secondes - 3600 * heures - 60 * minutes;
    return (heures * 3600 + minutes * 60 + reste) / 86400.0;
}

qint32 SecondesDepuis(double heure) {
    const double ecart = HeureDuJour(Horloge().DateHeure()) - heure;
    const qint64 ms = std::llround(std::fabs(ecart) * 86400000.0) % 86400000;
    const qint64 secondes = ms / 1000;
    const qint64 heures = secondes / 3600;
    const qint64 minutes = (secondes % 3600) / 60;
    return static_cast<qint32>(heures * 3600 + minutes * 60 + secondes % 60);
}

void AfficheErreur(const QString& message) {
    Boites().Affiche({QStringLiteral("Erreur"), AbregeMilieu(message, LongueurMessage),
                      TIconeBoite::Erreur, TBoutonsBoite::Ok});
}

QString AbregeMilieu(const QString& texte, qsizetype longueur) {
    if (texte.size() <= longueur)
        return texte;
    const qsizetype garde = std::max<qsizetype>(longueur - 1, 0);
    const qsizetype debut = garde / 3;
    return texte.left(debut) + u'…' + texte.right(garde - debut);
}

namespace {

// The parts' lengths once shared out fairly within `place`: a short part keeps its length and
// leaves the rest to the longer ones.
QList<qsizetype> Partage(const QStringList& parties, qsizetype place) {
    QList<qsizetype> ordre(parties.size());
    std::iota(ordre.begin(), ordre.end(), 0);
    std::sort(ordre.begin(), ordre.end(),
              [&](qsizetype a, qsizetype b) { return parties[a].size() < parties[b].size(); });
    QList<qsizetype> longueurs(parties.size());
    for (qsizetype i = 0; i < ordre.size(); ++i) {
        const qsizetype part = std::max<qsizetype>(place / (ordre.size() - i), 1);
        longueurs[ordre[i]] = std::min(parties[ordre[i]].size(), part);
        place -= longueurs[ordre[i]];
    }
    return longueurs;
}

} // namespace

QString MessageBorne(const QString& modele, const QStringList& parties) {
    static const QRegularExpression marque(QStringLiteral("%([1-9])"));
    QList<QRegularExpressionMatch> marques;
    QStringList placees; // the part of each mark, in the order of the text
    for (const QRegularExpressionMatch& m : marque.globalMatch(modele)) {
        const qsizetype i = m.captured(1).toInt() - 1;
        if (i < parties.size()) {
            marques << m;
            placees << parties[i];
        }
    }
    const QList<qsizetype> longueurs =
        Partage(placees, LongueurMessage - (modele.size() - 2 * marques.size()));
    QString message;
    qsizetype suite = 0;
    for (qsizetype k = 0; k < marques.size(); ++k) {
        message += modele.mid(suite, marques[k].capturedStart() - suite) +
                   AbregeMilieu(placees[k], longueurs[k]);
        suite = marques[k].capturedEnd();
    }
    return message + modele.mid(suite);
}

long double PuissanceDix(qint32 n) {
    if (n < 0) // the smallest 32-bit integer has no opposite; its power is 0 all the same
        return 1.0L / PuissanceDix(n == std::numeric_limits<qint32>::min() ? -(n + 1) : -n);
    if (n == 0)
        return 1.0L;
    const long double moitie = PuissanceDix(n / 2);
    return n % 2 ? moitie * moitie * 10.0L : moitie * moitie;
}

long double LogDecimal(long double x) {
    if (!(x > 0))
        throw std::domain_error("Opération en virgule flottante incorrecte");
    return std::log(x) * 0.434294481903251828L;
}

namespace {
qint32 VersEntier32(long double x) {
    if (!(x >= std::numeric_limits<qint32>::min() && x <= std::numeric_limits<qint32>::max()))
        throw std::range_error("Opération en virgule flottante incorrecte");
    return static_cast<qint32>(x);
}
} // namespace

qint32 Plancher(long double x) {
    const qint32 entier = VersEntier32(std::trunc(x));
    return x < 0 && entier != x ? entier - 1 : entier;
}

qint32 Plafond(long double x) {
    const qint32 entier = VersEntier32(std::trunc(x));
    return x >= 0 && entier != x ? entier + 1 : entier;
}

void MinMaxTableau(const double* valeurs, quint16 nombre, double& mini, double& maxi) {
    mini = maxi = valeurs[0];
    for (quint16 i = 1; i < nombre; ++i) {
        if (valeurs[i] > maxi)
            maxi = valeurs[i];
        else if (valeurs[i] < mini)
            mini = valeurs[i];
    }
}

void Ordonne(double& a, double& b) {
    if (b < a)
        std::swap(a, b);
}

QString AjouteSeparateur(const QString& chemin) {
    if (chemin.isEmpty() || chemin.endsWith(u'\\') || chemin.endsWith(u'/'))
        return chemin;
    return chemin + QDir::separator();
}

QString DossierSpecial(QStandardPaths::StandardLocation dossier) {
    const QString chemin = QStandardPaths::writableLocation(dossier);
    return chemin.isEmpty() ? QString() : AjouteSeparateur(QDir::toNativeSeparators(chemin));
}

void CreeDossierTablarix(const QString& documents) {
    if (documents.isEmpty())
        return;
    const QString dossier = AjouteSeparateur(documents) + QStringLiteral("Tablarix");
    if (!QFileInfo::exists(dossier))
        QDir().mkpath(dossier);
}
