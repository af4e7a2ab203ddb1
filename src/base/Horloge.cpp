#include "base/Horloge.h"

namespace {
THorloge* horlogeInstallee = nullptr;
}

THorloge& Horloge() {
    static THorlogeSysteme systeme;
    return horlogeInstallee ? *horlogeInstallee : systeme;
}

void InstalleHorloge(THorloge* horloge) {
    horlogeInstallee = horloge;
}

double HeureDuJour(const QDateTime& moment) {
    return moment.time().msecsSinceStartOfDay() / 86400000.0;
}
