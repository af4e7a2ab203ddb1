#pragma once

#include "base/Boites.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: a headless application created once, test-mode standard paths,
// boxes that are counted and answered with their first button.

// A property of the code under test that the input broke: the message and the input's size go to
// the error output, then the process aborts so the fuzzer keeps the input.
#define EXIGE(condition)                                                                           \
    do {                                                                                           \
        if (!(condition))                                                                          \
            EchecPropriete(#condition, __FILE__, __LINE__);                                        \
    } while (false)

[[noreturn]] void EchecPropriete(const char* condition, const char* fichier, int ligne);

// The boxes shown since the process started.
int BoitesVues();

inline QByteArray Octets(const std::uint8_t* donnees, std::size_t taille) {
    return QByteArray(reinterpret_cast<const char*>(donnees), static_cast<qsizetype>(taille));
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille);
