#include "Appareil.h"

#include <QList>

#include <cmath>

namespace {

// The coloured solution: three absorption bands, absorbance per unit of concentration.
struct TBande {
    double centre, hauteur, largeur;
};
constexpr TBande kBandes[] = {{430, 0.35, 25}, {520, 0.80, 35}, {610, 0.25, 40}};
constexpr double kLambdaMax = 520;

double Forme(double lambda) {
    double a = 0;
    for (const TBande& b : kBandes) {
        const double x = (lambda - b.centre) / b.largeur;
        a += b.hauteur * std::exp(-0.5 * x * x);
    }
    return a;
}

// The lamp and cell seen through a blank: what zeroing and the baseline take away.
double Fond(double lambda) {
    return 0.04 + 0.00008 * (lambda - 325);
}

// Three decimals as the instrument shows them, never "-0.000".
// Bytes without any carriage return, well beyond every receive buffer of the program.
QByteArray Deluge() {
    return QByteArray("0123456789ABCDEF").repeated(4096);
}

QByteArray TroisDecimales(double x) {
    return QByteArray::number(std::round(x * 1000) / 1000 + 0.0, 'f', 3);
}

// A number as written with a decimal comma.
QByteArray AVirgule(QByteArray nombre) {
    return nombre.replace('.', ',');
}

bool LitNombre(QByteArray texte, double& valeur) {
    bool ok = false;
    valeur = texte.replace(',', '.').trimmed().toDouble(&ok);
    return ok;
}

} // namespace

TAppareil::TAppareil(quint32 graine, double bruit, bool sansDelai)
    : hasard_(graine), bruit_(0, bruit > 0 ? bruit : 1e-12), sansDelai_(sansDelai) {}

double TAppareil::Brute(const TCuve& cuve, double lambda, double secondes) const {
    switch (cuve.contenu) {
    case TContenu::Blanc:
        return Fond(lambda);
    case TContenu::Solution:
        return Fond(lambda) + Forme(lambda);
    case TContenu::Etalon:
    case TContenu::Inconnu:
        return Fond(lambda) + cuve.valeur * Forme(lambda);
    case TContenu::Cinetique:
        return Fond(lambda) + 1.2 * std::exp(-cuve.valeur * (secondes - cuve.depuis)) *
                                  Forme(lambda) / Forme(kLambdaMax);
    case TContenu::Fixe:
        return cuve.valeur;
    }
    return 0;
}

double TAppareil::Mesure(double lambda, double secondes, const TCuve& reference,
                         double momentReference) {
    if (cuve_.contenu == TContenu::Fixe)
        return cuve_.valeur;
    return Brute(cuve_, lambda, secondes) - Brute(reference, lambda, momentReference) +
           bruit_(hasard_);
}

QByteArray TAppareil::Reponse(double absorbance) const {
    QByteArray texte = TroisDecimales(absorbance);
    switch (panne_) {
    case TPanne::Virgule:
        return texte.replace('.', ',') + '\r';
    case TPanne::SautDeLigne:
        return texte + "\n\r";
    case TPanne::Longue:
        return texte.leftJustified(300, '0') + '\r';
    case TPanne::Partielle:
        return texte.left(3);
    case TPanne::Charabia:
        return "E#R?x\r";
    case TPanne::Deluge:
        return Deluge();
    default:
        return texte + '\r';
    }
}

std::vector<TEnvoi> TAppareil::Spectre(double secondes) {
    std::vector<TEnvoi> lignes;
    if (pas_ <= 0 || finL_ < debutL_)
        return lignes;
    if (panne_ == TPanne::Silence)
        return lignes;
    if (panne_ == TPanne::Deluge)
        return {{Deluge(), 0}};
    auto nombre = static_cast<int>(std::floor((finL_ - debutL_) / pas_ + 1e-6)) + 1;
    if (panne_ == TPanne::Coupure)
        nombre /= 2;
    for (int i = 0; i < nombre; ++i) {
        const double lambda = debutL_ + i * pas_;
        const double a = Mesure(lambda, secondes, ligneDeBase_, momentBase_);
        QByteArray texteLambda = QByteArray::number(lambda, 'f', 1);
        QByteArray texteAbs = TroisDecimales(a);
        if (panne_ == TPanne::Virgule) {
            texteLambda = AVirgule(texteLambda);
            texteAbs = AVirgule(texteAbs);
        }
        lignes.push_back({Abimee(texteLambda + ',' + texteAbs, i) + '\r', 0});
    }
    return lignes;
}

QByteArray TAppareil::Abimee(QByteArray ligne, int i) {
    switch (panne_) {
    case TPanne::Charabia:
        return "E#R?x";
    case TPanne::Longue:
        return ligne.leftJustified(300, '0');
    case TPanne::Octet:
        if (i + 1 == static_cast<int>(parametre_))
            ligne[ligne.size() / 2] = '\xFF';
        return ligne;
    case TPanne::Chiffre:
        if (i + 1 == static_cast<int>(parametre_))
            ligne[0] = '9';
        return ligne;
    case TPanne::Alteration:
        if (std::uniform_real_distribution<double>(0, 1)(hasard_) < parametre_) {
            auto position = std::uniform_int_distribution<qsizetype>(0, ligne.size() - 1);
            auto octet = std::uniform_int_distribution<int>(0, 255);
            ligne[position(hasard_)] = static_cast<char>(octet(hasard_));
        }
        return ligne;
    default:
        return ligne;
    }
}

std::vector<TEnvoi> TAppareil::Commande(QByteArray commande, double secondes) {
    commande = commande.trimmed();
    if (commande == "R") {
        distant_ = true;
        return {};
    }
    if (!distant_) // outside remote control the instrument does not listen
        return {};
    double nombre = 0;
    if (commande == "X") {
        distant_ = false;
    } else if (commande == "A") {
        if (panne_ == TPanne::Silence)
            return {};
        const int delai = panne_ == TPanne::Lente ? 1000 : 0;
        return {{Reponse(Mesure(lambda_, secondes, zero_, momentZero_)), delai}};
    } else if (commande == "ZA") {
        zero_ = cuve_;
        momentZero_ = secondes;
    } else if (commande == "SMA") {
        // scan mode: nothing to answer
    } else if (commande == "SS") {
        return Spectre(secondes);
    } else if (commande == "PB") {
        if (panne_ == TPanne::Silence)
            return {};
        ligneDeBase_ = cuve_;
        momentBase_ = secondes;
        const QByteArray reponse = panne_ == TPanne::Deluge    ? Deluge()
                                   : panne_ == TPanne::Virgule ? "0,000\r"
                                                               : "0.000\r";
        return {{reponse, sansDelai_ ? 0 : 500}};
    } else if (commande.startsWith("SB") && LitNombre(commande.mid(2), nombre)) {
        debutL_ = nombre;
    } else if (commande.startsWith("SE") && LitNombre(commande.mid(2), nombre)) {
        finL_ = nombre;
    } else if (commande.startsWith("SI") && LitNombre(commande.mid(2), nombre)) {
        pas_ = nombre;
    } else if (commande.startsWith('G') && LitNombre(commande.mid(1), nombre)) {
        lambda_ = nombre;
    }
    return {};
}

bool TAppareil::Controle(const QByteArray& ligne, double secondes, QString& erreur) {
    const QList<QByteArray> mots = ligne.simplified().split(' ');
    const QByteArray mot = mots.value(0);
    const QByteArray argument = mots.value(1);
    const QByteArray valeur = mots.value(mots.size() > 2 ? 2 : 1);
    double nombre = 0;
    if (mot == "cuve") {
        const bool chiffre = mots.size() > 2 && LitNombre(mots[2], nombre);
        if (argument == "blanc")
            cuve_ = {TContenu::Blanc, 0, secondes};
        else if (argument == "solution")
            cuve_ = {TContenu::Solution, 1, secondes};
        else if (argument == "etalon" && chiffre)
            cuve_ = {TContenu::Etalon, nombre, secondes};
        else if (argument == "inconnu")
            cuve_ = {TContenu::Inconnu, chiffre ? nombre : 0.6, secondes};
        else if (argument == "cinetique")
            cuve_ = {TContenu::Cinetique, chiffre ? nombre : 0.005, secondes};
        else {
            erreur = QStringLiteral("contenu inconnu");
            return false;
        }
        return true;
    }
    if (mot == "absorbance" && LitNombre(valeur, nombre)) {
        cuve_ = {TContenu::Fixe, nombre, secondes};
        return true;
    }
    if (mot == "bruit" && LitNombre(valeur, nombre)) {
        bruit_ = std::normal_distribution<double>(0, nombre > 0 ? nombre : 1e-12);
        return true;
    }
    if (mot == "panne") {
        static const std::pair<const char*, TPanne> pannes[] = {
            {"aucune", TPanne::Aucune},
            {"silence", TPanne::Silence},
            {"charabia", TPanne::Charabia},
            {"virgule", TPanne::Virgule},
            {"saut-de-ligne", TPanne::SautDeLigne},
            {"longue", TPanne::Longue},
            {"partielle", TPanne::Partielle},
            {"lente", TPanne::Lente},
            {"coupure", TPanne::Coupure},
            {"deluge", TPanne::Deluge},
            {"bouchee", TPanne::Bouchee},
            {"octet", TPanne::Octet},
            {"chiffre", TPanne::Chiffre},
            {"alteration", TPanne::Alteration}};
        for (const auto& [nom, panne] : pannes) {
            if (argument != nom)
                continue;
            const bool parametre =
                panne == TPanne::Octet || panne == TPanne::Chiffre || panne == TPanne::Alteration;
            if (parametre && !(mots.size() > 2 && LitNombre(mots[2], nombre))) {
                erreur = QStringLiteral("nombre attendu");
                return false;
            }
            panne_ = panne;
            parametre_ = nombre;
            return true;
        }
    }
    erreur = QStringLiteral("commande inconnue");
    return false;
}
