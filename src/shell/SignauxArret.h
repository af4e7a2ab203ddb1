#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

// SIGTERM (log-out, shutdown), SIGHUP (its terminal closed) and SIGINT (Ctrl+C) end the program
// as closing its main window does, so the settings are written and the journals synced. The
// signal handler only writes a byte into a pipe; the event loop reads it and runs `arret`. A
// second signal of the same kind ends the program at once, as by default. SIGHUP and SIGINT left
// ignored by whoever started the program (nohup, a background job) stay ignored. Nothing outside
// Unix.
class TSignauxArret {
public:
    explicit TSignauxArret(std::function<void()> arret);
    ~TSignauxArret();
    TSignauxArret(const TSignauxArret&) = delete;
    TSignauxArret& operator=(const TSignauxArret&) = delete;

private:
    void Lit();

    std::function<void()> arret_;
    std::unique_ptr<QSocketNotifier> notificateur_;
};
