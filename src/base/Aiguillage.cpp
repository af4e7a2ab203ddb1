#include "base/Aiguillage.h"

namespace {
TAiguillage* aiguillage_ = nullptr;
} // namespace

TAiguillage* Aiguillage() {
    return aiguillage_;
}

void FixeAiguillage(TAiguillage* aiguillage) {
    aiguillage_ = aiguillage;
}
