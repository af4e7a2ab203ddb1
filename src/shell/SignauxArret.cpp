#include "shell/SignauxArret.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <utility>

namespace {

// The pipe between the handler and the event loop; one TSignauxArret at a time.
int tube[2] = {-1, -1};
constexpr int kSignaux[] = {SIGTERM, SIGHUP, SIGINT};
bool installe[std::size(kSignaux)] = {};

extern "C" void SurSignal(int) {
    const int erreur = errno;
    const char octet = 1;
    [[maybe_unused]] const ssize_t ecrit = ::write(tube[1], &octet, 1);
    errno = erreur;
}

bool OuvreTube() {
    if (::pipe(tube) != 0)
        return false;
    for (const int bout : tube) {
        ::fcntl(bout, F_SETFD, FD_CLOEXEC);
        ::fcntl(bout, F_SETFL, ::fcntl(bout, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void FermeTube() {
    for (int& bout : tube) {
        if (bout >= 0)
            ::close(bout);
        bout = -1;
    }
}

} // namespace

TSignauxArret::TSignauxArret(std::function<void()> arret) : arret_(std::move(arret)) {
    if (!OuvreTube())
        return;
    notificateur_ = std::make_unique<QSocketNotifier>(tube[0], QSocketNotifier::Read);
    QObject::connect(notificateur_.get(), &QSocketNotifier::activated, notificateur_.get(),
                     [this] { Lit(); });
    for (std::size_t i = 0; i < std::size(kSignaux); ++i) {
        struct sigaction avant {};
        ::sigaction(kSignaux[i], nullptr, &avant);
        if (kSignaux[i] != SIGTERM && avant.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = SurSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        installe[i] = ::sigaction(kSignaux[i], &action, nullptr) == 0;
    }
}

TSignauxArret::~TSignauxArret() {
    for (std::size_t i = 0; i < std::size(kSignaux); ++i)
        if (std::exchange(installe[i], false))
            std::signal(kSignaux[i], SIG_DFL);
    notificateur_.reset();
    FermeTube();
}

void TSignauxArret::Lit() {
    char octets[16];
    while (::read(tube[0], octets, sizeof octets) > 0) {
    }
    if (arret_)
        arret_();
}

#else

TSignauxArret::TSignauxArret(std::function<void()> arret) : arret_(std::move(arret)) {}
TSignauxArret::~TSignauxArret() = default;
void TSignauxArret::Lit() {}

#endif
