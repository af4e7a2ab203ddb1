#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

// A bare pseudo-terminal on port `numeroCom`: the test plays the instrument byte by byte, to send
// lines no well-behaved instrument would.
class TLigneBrute {
public:
    explicit TLigneBrute(int numeroCom = 1) : numeroCom_(numeroCom) {
        maitre_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (maitre_ < 0 || ::grantpt(maitre_) != 0 || ::unlockpt(maitre_) != 0)
            throw std::runtime_error("pas de pseudo-terminal");
        esclave_ = ::open(::ptsname(maitre_), O_RDWR | O_NOCTTY);
        termios reglages{};
        ::tcgetattr(esclave_, &reglages);
        ::cfmakeraw(&reglages);
        ::tcsetattr(esclave_, TCSANOW, &reglages);
        ::fcntl(maitre_, F_SETFL, ::fcntl(maitre_, F_GETFL) | O_NONBLOCK);
        qputenv("JENWAY_COM" + QByteArray::number(numeroCom_), ::ptsname(maitre_));
    }
    ~TLigneBrute() {
        qunsetenv("JENWAY_COM" + QByteArray::number(numeroCom_));
        ::close(esclave_);
        ::close(maitre_);
    }
    TLigneBrute(const TLigneBrute&) = delete;
    TLigneBrute& operator=(const TLigneBrute&) = delete;

    void Envoie(const QByteArray& octets) {
        qsizetype envoyes = 0;
        while (envoyes < octets.size()) {
            const ssize_t n = ::write(maitre_, octets.constData() + envoyes,
                                      static_cast<size_t>(octets.size() - envoyes));
            if (n > 0)
                envoyes += n;
            else if (errno != EAGAIN && errno != EINTR)
                return;
        }
    }
    // Everything the program has sent so far.
    QByteArray Recu() {
        char tampon[4096];
        ssize_t n = 0;
        while ((n = ::read(maitre_, tampon, sizeof tampon)) > 0)
            recu_.append(tampon, n);
        return recu_;
    }
    // Lets events run until the program has sent `texte` `fois` times in all (at most 3 s).
    bool AttendRecu(const QByteArray& texte, int fois = 1) {
        const QDeadlineTimer limite(3000);
        while (Recu().count(texte) < fois && !limite.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        return recu_.count(texte) >= fois;
    }

private:
    int numeroCom_;
    int maitre_ = -1;
    int esclave_ = -1;
    QByteArray recu_;
};
