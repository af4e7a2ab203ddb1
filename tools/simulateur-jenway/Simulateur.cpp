#include "Simulateur.h"

#include <QFile>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

QByteArray Lisible(const QByteArray& octets) {
    QByteArray texte;
    for (const char c : octets) {
        const auto code = static_cast<unsigned char>(c);
        texte +=
            code >= 32 && code <= 126 ? QByteArray(1, c) : '[' + QByteArray::number(code) + ']';
    }
    return texte;
}

void Annonce(const QByteArray& ligne) {
    std::fwrite(ligne.constData(), 1, static_cast<std::size_t>(ligne.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

TSimulateur::TSimulateur(const TOptionsSimulateur& options)
    : options_(options), appareil_(options.graine, options.bruit, options.sansDelai) {
    chrono_.start();
    pompe_.setSingleShot(true);
    pompe_.setTimerType(Qt::PreciseTimer);
    connect(&pompe_, &QTimer::timeout, this, &TSimulateur::Pompe);
    controle_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(controle_.get(), &QSocketNotifier::activated, this, &TSimulateur::LitControle);
}

TSimulateur::~TSimulateur() {
    Debranche();
}

QString TSimulateur::Ouvre(QString& erreur) {
    maitre_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (maitre_ < 0 || ::grantpt(maitre_) != 0 || ::unlockpt(maitre_) != 0) {
        erreur = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    const QString chemin = QString::fromLocal8Bit(::ptsname(maitre_));
    // Raw mode before anything is written: a cooked line would mangle CR and the echo.
    esclave_ = ::open(::ptsname(maitre_), O_RDWR | O_NOCTTY);
    termios reglages{};
    if (esclave_ < 0 || ::tcgetattr(esclave_, &reglages) != 0) {
        erreur = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    ::cfmakeraw(&reglages);
    ::tcsetattr(esclave_, TCSANOW, &reglages);
    reglagesInitiaux_ = reglages;
    ::fcntl(maitre_, F_SETFL, ::fcntl(maitre_, F_GETFL) | O_NONBLOCK);
    lecture_ = std::make_unique<QSocketNotifier>(maitre_, QSocketNotifier::Read);
    connect(lecture_.get(), &QSocketNotifier::activated, this, &TSimulateur::LitLigneSerie);
    if (!options_.journal.isEmpty()) {
        journal_.setFileName(options_.journal);
        if (!journal_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            erreur = journal_.errorString();
            return {};
        }
    }
    if (!options_.horodatage.isEmpty()) {
        horodatage_.setFileName(options_.horodatage);
        if (!horodatage_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            erreur = horodatage_.errorString();
            return {};
        }
    }
    if (!options_.lien.isEmpty()) {
        QFile::remove(options_.lien);
        if (!QFile::link(chemin, options_.lien)) {
            erreur = QStringLiteral("lien %1 impossible").arg(options_.lien);
            return {};
        }
    }
    return chemin;
}

void TSimulateur::LitLigneSerie() {
    char tampon[4096];
    const ssize_t n = ::read(maitre_, tampon, sizeof tampon);
    if (n <= 0)
        return;
    for (ssize_t i = 0; i < n; ++i) {
        const char c = tampon[i];
        if (c == '\r' || c == '\n') {
            Commande(commande_, c);
            commande_.clear();
        } else {
            commande_ += c;
        }
    }
}

void TSimulateur::Commande(const QByteArray& commande, char fin) {
    if (commande.isEmpty())
        return; // the second byte of a CR LF pair
    if (journal_.isOpen()) {
        journal_.write(Lisible(commande + fin) + '\n');
        journal_.flush();
    }
    const qint64 maintenant = chrono_.elapsed();
    for (TEnvoi& envoi : appareil_.Commande(commande, Secondes()))
        file_.push_back({std::move(envoi.octets), maintenant + envoi.delaiMs});
    Pompe();
}

// Sends what is due, at the pace of the baud rate (10 bits a character).
void TSimulateur::Pompe() {
    const double dureeCaractere = 10.0 / options_.baud;
    while (!file_.empty() && maitre_ >= 0) {
        TSegment& segment = file_.front();
        const qint64 attente = segment.pasAvantMs - chrono_.elapsed();
        if (attente > 0) {
            aFroid_ = true;
            pompe_.start(static_cast<int>(attente));
            return;
        }
        const double maintenant = Secondes();
        // No credit from idle time, nor from time the reader held the line back. While the line
        // is busy, though, a late wake-up of this process (the cores busy elsewhere) is caught
        // up, as a transmitter fed without a break loses no time.
        if (aFroid_ && prochainEnvoi_ < maintenant - 0.002)
            prochainEnvoi_ = maintenant;
        aFroid_ = false;
        qsizetype permis = segment.octets.size();
        if (!options_.sansDelai)
            permis = std::min<qsizetype>(
                permis, static_cast<qsizetype>((maintenant - prochainEnvoi_) / dureeCaractere) + 1);
        const ssize_t ecrits =
            ::write(maitre_, segment.octets.constData(), static_cast<size_t>(permis));
        if (ecrits < 0 && errno != EAGAIN && errno != EINTR)
            return;
        if (ecrits < permis)
            aFroid_ = true; // the reader's buffer is full
        if (ecrits > 0) {
            Horodate(segment.octets.constData(), ecrits);
            segment.octets.remove(0, ecrits);
            prochainEnvoi_ += static_cast<double>(ecrits) * dureeCaractere;
        }
        if (segment.octets.isEmpty()) {
            file_.pop_front();
            continue;
        }
        // Paced: when the next character is due. At full speed the line is full: soon again.
        const double delai = options_.sansDelai ? 1 : (prochainEnvoi_ - Secondes()) * 1000;
        pompe_.start(std::max(1, static_cast<int>(std::ceil(delai))));
        return;
    }
    aFroid_ = true;
}

void TSimulateur::LitControle() {
    char tampon[1024];
    const ssize_t n = ::read(STDIN_FILENO, tampon, sizeof tampon);
    if (n <= 0) {
        controle_->setEnabled(false); // no more control lines; the instrument runs on
        return;
    }
    ligneControle_.append(tampon, n);
    qsizetype fin = 0;
    while ((fin = ligneControle_.indexOf('\n')) >= 0) {
        const QByteArray ligne = ligneControle_.left(fin).trimmed();
        ligneControle_.remove(0, fin + 1);
        if (ligne.isEmpty())
            continue;
        QString erreur;
        if (ligne == "debranche") {
            Debranche();
            Annonce("ok " + ligne);
        } else if (ligne == "libere") {
            Libere();
            Annonce("ok " + ligne);
        } else if (appareil_.Controle(ligne, Secondes(), erreur)) {
            if (lecture_)
                lecture_->setEnabled(!appareil_.Bouchee());
            Annonce("ok " + ligne);
        } else {
            Annonce("erreur " + ligne + " : " + erreur.toUtf8());
        }
    }
}

void TSimulateur::Horodate(const char* octets, qsizetype nombre) {
    if (!horodatage_.isOpen())
        return;
    for (qsizetype i = 0; i < nombre; ++i) {
        if (octets[i] != '\r') {
            ligneEnvoyee_ += octets[i];
            continue;
        }
        timespec t{};
        ::clock_gettime(CLOCK_MONOTONIC, &t);
        const qint64 ns = static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
        horodatage_.write(QByteArray::number(ns) + '\t' + Lisible(ligneEnvoyee_) + '\n');
        horodatage_.flush();
        ligneEnvoyee_.clear();
    }
}

// A port opened by a program is held for it alone (TIOCEXCL) until it closes the port, and keeps
// the line settings it was given. This line stays open here between two clients: a program
// killed without closing it leaves it held against any other user but root, in its own settings,
// some of which a pseudo-terminal refuses to the next program. A real port drops the hold with its
// last user; the line goes back to its state at start.
void TSimulateur::Libere() {
    if (esclave_ < 0)
        return;
    ::ioctl(esclave_, TIOCNXCL);
    ::tcsetattr(esclave_, TCSANOW, &reglagesInitiaux_);
}

// As when a USB adapter is pulled out: the line disappears under its client.
void TSimulateur::Debranche() {
    lecture_.reset();
    file_.clear();
    if (maitre_ >= 0)
        ::close(maitre_);
    if (esclave_ >= 0)
        ::close(esclave_);
    maitre_ = esclave_ = -1;
    if (!options_.lien.isEmpty())
        QFile::remove(options_.lien);
}
