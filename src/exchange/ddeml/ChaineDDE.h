#pragma once

// A DDEML string handle owned for its scope, and the text behind a handle. Texts are
// Windows-1252 bytes: the program and Tablarix speak the system's ANSI code page.

#include <windows.h>

#include <ddeml.h>

#include <string>

namespace ddeml {

class TChaine {
public:
    TChaine(DWORD instance, const std::string& texte)
        : instance_(instance),
          chaine_(DdeCreateStringHandleA(instance, texte.c_str(), CP_WINANSI)) {}
    ~TChaine() {
        if (chaine_ != nullptr)
            DdeFreeStringHandle(instance_, chaine_);
    }
    TChaine(const TChaine&) = delete;
    TChaine& operator=(const TChaine&) = delete;

    HSZ Handle() const { return chaine_; }

private:
    DWORD instance_;
    HSZ chaine_;
};

inline std::string TexteDe(DWORD instance, HSZ chaine) {
    const DWORD longueur = DdeQueryStringA(instance, chaine, nullptr, 0, CP_WINANSI);
    std::string texte(longueur + 1, '\0');
    DdeQueryStringA(instance, chaine, texte.data(), longueur + 1, CP_WINANSI);
    texte.resize(longueur);
    return texte;
}

} // namespace ddeml
