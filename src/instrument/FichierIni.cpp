#include "instrument/FichierIni.h"

#include "base/Encodage.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

bool MemeNom(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool LitEntierTexte(QString texte, qint32& valeur) {
    texte = texte.trimmed();
    bool ok = false;
    if (texte.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        // Hexadecimal spans the 32 bits, so 0xFFFFFFFF is -1.
        const quint32 hexa = texte.mid(2).toUInt(&ok, 16);
        if (ok)
            valeur = static_cast<qint32>(hexa);
        return ok;
    }
    const qint32 decimal = texte.toInt(&ok, 10);
    if (ok)
        valeur = decimal;
    return ok;
}

// Flushed before the commit: a write that fails in the commit's own flush goes unnoticed there,
// and a truncated file would replace the previous one.
bool EcritFichier(const QString& chemin, const QByteArray& contenu) {
    QSaveFile fichier(chemin);
    return fichier.open(QIODevice::WriteOnly) && fichier.write(contenu) == contenu.size() &&
           fichier.flush() && fichier.commit();
}

// QSaveFile writes through a link to its target, which may be any file of the user's, the
// program itself included: the link itself is replaced, as a whole, by the settings.
bool RemplaceLien(const QString& lien, const QByteArray& contenu) {
    QTemporaryFile temporaire(QFileInfo(lien).absolutePath() + QStringLiteral("/jenway-XXXXXX"));
    if (!temporaire.open() || temporaire.write(contenu) != contenu.size() || !temporaire.flush())
        return false;
#ifdef Q_OS_UNIX
    if (::fsync(temporaire.handle()) != 0)
        return false;
#endif
    temporaire.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                              QFile::ReadOther);
    std::error_code erreur;
    std::filesystem::rename(std::filesystem::path(temporaire.fileName().toStdU16String()),
                            std::filesystem::path(lien.toStdU16String()), erreur);
    if (erreur)
        return false;
    temporaire.setAutoRemove(false);
    return true;
}

// What the user can do something about, when it is known.
QString RaisonEchec(const QString& chemin) {
    const QFileInfo fichier(chemin);
    if (fichier.fileName().toUtf8().size() > 255)
        return QStringLiteral(" : nom de fichier trop long (plus de 255 caractères)");
    if (fichier.isDir())
        return QStringLiteral(" : un dossier porte ce nom");
    return {};
}

} // namespace

TFichierIni::TFichierIni(QString chemin) : TFichierIni(std::move(chemin), nullptr) {}

TFichierIni TFichierIni::DepuisOctets(QString chemin, const QByteArray& contenu) {
    return TFichierIni(std::move(chemin), &contenu);
}

TFichierIni::TFichierIni(QString chemin, const QByteArray* contenu) : chemin_(std::move(chemin)) {
    sections_.push_back({});
    if (contenu) {
        Analyse(*contenu);
        return;
    }
    // Only a plain file: a device or a pipe of that name would never end.
    QFile fichier(chemin_);
    if (QFileInfo(chemin_).isFile() && fichier.open(QIODevice::ReadOnly))
        Analyse(fichier.readAll());
}

void TFichierIni::Analyse(const QByteArray& contenu) {
    QList<QByteArray> lignes = contenu.split('\n');
    if (lignes.constLast().isEmpty())
        lignes.removeLast(); // the end of the last line, not a blank line
    for (QByteArray ligne : lignes) {
        if (ligne.endsWith('\r'))
            ligne.chop(1);
        const QString texte = AnsiVersTexte(ligne);
        const QString net = texte.trimmed();
        if (net.startsWith(u'[') && net.endsWith(u']')) {
            sections_.push_back({net.mid(1, net.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype egal = texte.indexOf(u'=');
        const QString cle = egal > 0 ? texte.left(egal).trimmed() : QString();
        // A line without a key is kept whole, so it is written back as it was.
        if (!cle.isEmpty() && !net.startsWith(u';'))
            sections_.back().Entrees.push_back({cle, texte.mid(egal + 1).trimmed()});
        else
            sections_.back().Entrees.push_back({QString(), texte});
    }
}

const TFichierIni::TSection* TFichierIni::ChercheSection(const QString& nom) const {
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (MemeNom(sections_[i].Nom, nom))
            return &sections_[i];
    return nullptr;
}

const TFichierIni::TEntree* TFichierIni::ChercheEntree(const QString& section,
                                                       const QString& cle) const {
    const TSection* s = ChercheSection(section);
    if (!s)
        return nullptr;
    for (const TEntree& e : s->Entrees)
        if (!e.Cle.isEmpty() && MemeNom(e.Cle, cle))
            return &e;
    return nullptr;
}

QString TFichierIni::LitTexte(const QString& section, const QString& cle,
                              const QString& defaut) const {
    const TEntree* e = ChercheEntree(section, cle);
    return e ? e->Valeur : defaut;
}

qint32 TFichierIni::LitEntier(const QString& section, const QString& cle, qint32 defaut) const {
    qint32 valeur = defaut;
    return LitEntierTexte(LitTexte(section, cle, QString()), valeur) ? valeur : defaut;
}

bool TFichierIni::LitBooleen(const QString& section, const QString& cle, bool defaut) const {
    return LitEntier(section, cle, defaut ? 1 : 0) != 0;
}

double TFichierIni::LitReel(const QString& section, const QString& cle, double defaut) const {
    double valeur = defaut;
    return ::LitReel(LitTexte(section, cle, QString()), Regional().SeparateurDecimal, valeur)
               ? valeur
               : defaut;
}

void TFichierIni::EcritTexte(const QString& section, const QString& cle, const QString& valeur) {
    auto s = std::find_if(sections_.begin() + 1, sections_.end(),
                          [&](const TSection& t) { return MemeNom(t.Nom, section); });
    if (s == sections_.end()) {
        sections_.push_back({section, {}});
        s = sections_.end() - 1;
    }
    for (TEntree& e : s->Entrees)
        if (!e.Cle.isEmpty() && MemeNom(e.Cle, cle)) {
            e.Valeur = valeur;
            return;
        }
    s->Entrees.push_back({cle, valeur});
}

void TFichierIni::EcritEntier(const QString& section, const QString& cle, qint32 valeur) {
    EcritTexte(section, cle, QString::number(valeur));
}

void TFichierIni::EcritBooleen(const QString& section, const QString& cle, bool valeur) {
    EcritEntier(section, cle, valeur ? 1 : 0);
}

void TFichierIni::EcritReel(const QString& section, const QString& cle, double valeur) {
    // 15 significant digits; a value near the largest double rounds past it there and would
    // not read back, so it gets the 17 that identify it.
    const QChar separateur = Regional().SeparateurDecimal;
    QString texte = FormatGeneral(valeur, 15, 1, separateur);
    double relu = 0;
    if (!::LitReel(texte, separateur, relu))
        texte = FormatGeneral(valeur, 17, 1, separateur);
    EcritTexte(section, cle, texte);
}

QByteArray TFichierIni::Contenu() const {
    QByteArray contenu;
    for (const TSection& s : sections_) {
        if (&s != &sections_.front())
            contenu += '[' + TexteVersAnsi(s.Nom) + "]\r\n";
        for (const TEntree& e : s.Entrees)
            contenu += TexteVersAnsi(e.Cle.isEmpty() ? e.Valeur : e.Cle + u'=' + e.Valeur) + "\r\n";
    }
    return contenu;
}

void TFichierIni::Enregistre() const {
    const QByteArray contenu = Contenu();
    const bool ecrit = QFileInfo(chemin_).isSymLink() ? RemplaceLien(chemin_, contenu)
                                                      : EcritFichier(chemin_, contenu);
    if (!ecrit)
        throw EEcritureIni(
            (QStringLiteral("Impossible d'écrire dans %1").arg(chemin_) + RaisonEchec(chemin_))
                .toUtf8()
                .toStdString());
}
