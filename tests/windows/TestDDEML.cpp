// The DDEML core against independent peers in other processes, built with mingw-w64 and run
// under wine by scripts/test-windows. The peers are written with plain DDEML calls, so a fault
// shared by both sides of the core cannot hide itself:
//   --serveur-temoin  plays Tablarix: serves a service and topic, journals what it receives
//   --client-temoin   plays another program sending macros to ours
// Without arguments, runs the cases and ends with the line "N passed, N failed".

#include "exchange/ddeml/ClientDDEML.h"
#include "exchange/ddeml/ServeurDDEML.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDelai = 1000;
constexpr DWORD kDelaiProcessus = 20000;

std::string Hexa(const std::string& octets) {
    static const char chiffres[] = "0123456789abcdef";
    std::string texte;
    for (const unsigned char c : octets) {
        texte += chiffres[c >> 4];
        texte += chiffres[c & 15];
    }
    return texte;
}

std::string Octets(const std::string& hexa) {
    std::string octets;
    for (size_t i = 0; i + 1 < hexa.size(); i += 2)
        octets += static_cast<char>(std::stoi(hexa.substr(i, 2), nullptr, 16));
    return octets;
}

void AjouteLigne(const std::string& fichier, const std::string& ligne) {
    std::ofstream(fichier, std::ios::binary | std::ios::app) << ligne << '\n';
}

std::vector<std::string> Lignes(const std::string& fichier) {
    std::ifstream flux(fichier, std::ios::binary);
    std::vector<std::string> lignes;
    for (std::string ligne; std::getline(flux, ligne);)
        lignes.push_back(ligne);
    return lignes;
}

// Every pending message, then a wait for one more or for the handle; false on time-out.
bool AttendEnDistribuant(HANDLE objet, DWORD delaiMs) {
    const ULONGLONG fin = GetTickCount64() + delaiMs;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        const ULONGLONG maintenant = GetTickCount64();
        if (maintenant >= fin)
            return false;
        if (MsgWaitForMultipleObjects(1, &objet, FALSE, static_cast<DWORD>(fin - maintenant),
                                      QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
    }
}

// ---- The Tablarix stand-in -------------------------------------------------------------------
// Accepts the conversation on its service and topic, the advise link on "ServeurItem" only,
// and every macro except those starting with "REFUS"; one starting with "LENT" takes 2 s to
// run (journaled FIN LENT) before it is acknowledged. While a link is open it posts advise data
// during each execute, as a busy analysis program may. Journal lines: CONNEXION, DECONNEXION,
// LIEN <item> accepte|refuse, MACRO <every byte received, in hexadecimal>, AVIS <item>.
namespace temoin {

DWORD instance = 0;
HSZ service = nullptr;
HSZ sujet = nullptr;
HSZ itemLie = nullptr;
std::string journal;

std::string Texte(HSZ chaine) {
    char texte[256] = {};
    DdeQueryStringA(instance, chaine, texte, sizeof texte, CP_WINANSI);
    return texte;
}

HDDEDATA Execute(HDDEDATA donnees) {
    std::string octets(DdeGetData(donnees, nullptr, 0, 0), '\0');
    DdeGetData(donnees, reinterpret_cast<LPBYTE>(octets.data()), static_cast<DWORD>(octets.size()),
               0);
    AjouteLigne(journal, "MACRO " + Hexa(octets));
    if (octets.rfind("LENT", 0) == 0) {
        Sleep(2000);
        AjouteLigne(journal, "FIN LENT");
    }
    if (itemLie != nullptr)
        DdePostAdvise(instance, sujet, itemLie);
    return reinterpret_cast<HDDEDATA>(octets.rfind("REFUS", 0) == 0 ? DDE_FNOTPROCESSED : DDE_FACK);
}

HDDEDATA CALLBACK Rappel(UINT type, UINT, HCONV, HSZ chaine1, HSZ chaine2, HDDEDATA donnees,
                         ULONG_PTR, ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(DdeCmpStringHandles(chaine1, sujet) == 0 &&
                                          DdeCmpStringHandles(chaine2, service) == 0);
    case XTYP_CONNECT_CONFIRM:
        AjouteLigne(journal, "CONNEXION");
        return nullptr;
    case XTYP_DISCONNECT:
        AjouteLigne(journal, "DECONNEXION");
        return nullptr;
    case XTYP_ADVSTART: {
        const bool accepte = Texte(chaine2) == "ServeurItem";
        AjouteLigne(journal, "LIEN " + Texte(chaine2) + (accepte ? " accepte" : " refuse"));
        if (accepte) {
            itemLie = chaine2;
            DdeKeepStringHandle(instance, itemLie);
        }
        return reinterpret_cast<HDDEDATA>(accepte);
    }
    case XTYP_ADVREQ: {
        AjouteLigne(journal, "AVIS " + Texte(chaine2));
        static char avis[] = "pages 1";
        return DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(avis), sizeof avis, 0,
                                   chaine2, CF_TEXT, 0);
    }
    case XTYP_EXECUTE:
        return Execute(donnees);
    default:
        return nullptr;
    }
}

// Arguments: service, topic, journal, name of the "ready" event, name of the "end" event.
int Serveur(char** arguments) {
    journal = arguments[2];
    if (DdeInitializeA(&instance, Rappel, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS, 0) !=
        DMLERR_NO_ERROR)
        return 2;
    service = DdeCreateStringHandleA(instance, arguments[0], CP_WINANSI);
    sujet = DdeCreateStringHandleA(instance, arguments[1], CP_WINANSI);
    if (DdeNameService(instance, service, nullptr, DNS_REGISTER) == nullptr)
        return 3;
    const HANDLE pret = OpenEventA(EVENT_MODIFY_STATE, FALSE, arguments[3]);
    const HANDLE fin = OpenEventA(SYNCHRONIZE, FALSE, arguments[4]);
    SetEvent(pret);
    AttendEnDistribuant(fin, 60000);
    DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
    DdeUninitialize(instance);
    return 0;
}

// Steps, each answered by a line "1" or "0" in the result file:
//   C service topic   connects (closing any conversation before)
//   L item            advise link
//   X hexadecimal     synchronous execute of those bytes and a zero byte
//   B hexadecimal     the same without the zero byte
HDDEDATA CALLBACK RappelClient(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

bool Etape(HCONV& conversation, char** arguments, int& i) {
    const std::string genre = arguments[i++];
    if (genre == "C") {
        if (conversation != nullptr)
            DdeDisconnect(conversation);
        const HSZ s = DdeCreateStringHandleA(instance, arguments[i++], CP_WINANSI);
        const HSZ t = DdeCreateStringHandleA(instance, arguments[i++], CP_WINANSI);
        conversation = DdeConnect(instance, s, t, nullptr);
        return conversation != nullptr;
    }
    if (genre == "L") {
        const HSZ item = DdeCreateStringHandleA(instance, arguments[i++], CP_WINANSI);
        return DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, XTYP_ADVSTART, kDelai,
                                    nullptr) != nullptr;
    }
    std::string octets = Octets(arguments[i++]);
    if (genre == "X")
        octets.push_back('\0');
    return DdeClientTransaction(reinterpret_cast<LPBYTE>(octets.data()),
                                static_cast<DWORD>(octets.size()), conversation, nullptr, CF_TEXT,
                                XTYP_EXECUTE, kDelai, nullptr) != nullptr;
}

// Arguments: the result file, then the steps.
int Client(int nombre, char** arguments) {
    if (DdeInitializeA(&instance, RappelClient, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return 2;
    HCONV conversation = nullptr;
    for (int i = 1; i < nombre;)
        AjouteLigne(arguments[0], Etape(conversation, arguments, i) ? "1" : "0");
    if (conversation != nullptr)
        DdeDisconnect(conversation);
    DdeUninitialize(instance);
    return 0;
}

} // namespace temoin

// ---- The cases ---------------------------------------------------------------------------------

int echecs = 0;

void Verifie(bool condition, const std::string& quoi) {
    if (!condition) {
        ++echecs;
        std::printf("    faux : %s\n", quoi.c_str());
    }
}

std::string Dossier() {
    char chemin[MAX_PATH] = {};
    GetTempPathA(sizeof chemin, chemin);
    return chemin;
}

class TProcessus {
public:
    explicit TProcessus(const std::string& arguments) {
        char programme[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, programme, sizeof programme);
        std::string ligne = std::string("\"") + programme + "\" " + arguments;
        STARTUPINFOA demarrage{};
        demarrage.cb = sizeof demarrage;
        if (CreateProcessA(nullptr, ligne.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &demarrage, &infos_))
            CloseHandle(infos_.hThread);
    }
    ~TProcessus() {
        if (infos_.hProcess != nullptr) {
            if (WaitForSingleObject(infos_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(infos_.hProcess, 1);
            CloseHandle(infos_.hProcess);
        }
    }
    TProcessus(const TProcessus&) = delete;
    TProcessus& operator=(const TProcessus&) = delete;

    HANDLE Handle() const { return infos_.hProcess; }
    // Waits for the end, dispatching this thread's messages meanwhile; -1 on time-out.
    int Fin() const {
        DWORD code = 1;
        if (infos_.hProcess == nullptr || !AttendEnDistribuant(infos_.hProcess, kDelaiProcessus))
            return -1;
        GetExitCodeProcess(infos_.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    PROCESS_INFORMATION infos_{};
};

// The Tablarix stand-in, running in its own process while it lives.
class TTablarix {
public:
    TTablarix()
        : nom_("jenway-ddeml-" + std::to_string(GetCurrentProcessId())),
          journal_(Dossier() + nom_ + ".journal"),
          pret_(CreateEventA(nullptr, TRUE, FALSE, (nom_ + "-pret").c_str())),
          fin_(CreateEventA(nullptr, TRUE, FALSE, (nom_ + "-fin").c_str())) {
        DeleteFileA(journal_.c_str());
        processus_ =
            std::make_unique<TProcessus>("--serveur-temoin TABLARIX ServeurDDE \"" + journal_ +
                                         "\" " + nom_ + "-pret " + nom_ + "-fin");
        const HANDLE attendus[] = {pret_, processus_->Handle()};
        Pret = processus_->Handle() != nullptr &&
               WaitForMultipleObjects(2, attendus, FALSE, kDelaiProcessus) == WAIT_OBJECT_0;
    }
    ~TTablarix() {
        Arrete();
        CloseHandle(pret_);
        CloseHandle(fin_);
        DeleteFileA(journal_.c_str());
    }
    TTablarix(const TTablarix&) = delete;
    TTablarix& operator=(const TTablarix&) = delete;

    // The journal lines written since the last call.
    std::vector<std::string> Nouvelles() {
        std::vector<std::string> lignes = Lignes(journal_);
        lignes.erase(lignes.begin(),
                     lignes.begin() + static_cast<long>(std::min(lus_, lignes.size())));
        lus_ += lignes.size();
        return lignes;
    }
    int Arrete() {
        SetEvent(fin_);
        return processus_->Fin();
    }

    bool Pret = false;

private:
    std::string nom_;
    std::string journal_;
    HANDLE pret_;
    HANDLE fin_;
    std::unique_ptr<TProcessus> processus_;
    size_t lus_ = 0;
};

bool Contient(const std::vector<std::string>& lignes, const std::string& ligne) {
    for (const std::string& l : lignes)
        if (l == ligne)
            return true;
    return false;
}

std::string Liste(const std::vector<std::string>& lignes) {
    std::string texte;
    for (const std::string& l : lignes)
        texte += (texte.empty() ? "" : " | ") + (l.size() > 60 ? l.substr(0, 60) + "..." : l);
    return "[" + texte + "]";
}

// ---- Our client, the stand-in's server in another process --------------------------------------

void NomsInconnusRefuses(TTablarix& tablarix) {
    struct Cas {
        const char* service;
        const char* sujet;
        bool accepte;
    };
    const Cas cas[] = {{"INCONNU", "ServeurDDE", false},
                       {"TABLARIX", "AutreSujet", false},
                       {"TABLARIX", "ServeurDDE", true},
                       {"tablarix", "serveurdde", true}}; // DDE names ignore letter case
    for (const Cas& c : cas) {
        ddeml::TClient client;
        const std::string nom = std::string(c.service) + "/" + c.sujet;
        Verifie(client.Ouvre(c.service, c.sujet) == c.accepte, "Ouvre " + nom);
        Verifie(client.Ouverte() == c.accepte, "Ouverte " + nom);
        // An accepted conversation carries a macro; the server saw a refused one never begin.
        if (c.accepte)
            Verifie(client.Execute("OUVERTE()", kDelai), "Execute sur " + nom);
        client.Ferme();
        const std::vector<std::string> vu = tablarix.Nouvelles();
        Verifie(Contient(vu, "CONNEXION") == c.accepte, nom + " journal " + Liste(vu));
        if (c.accepte)
            Verifie(Contient(vu, "MACRO " + Hexa(std::string("OUVERTE()") + '\0')),
                    nom + " journal " + Liste(vu));
    }
}

void LienAccepteOuRefuse(TTablarix& tablarix) {
    ddeml::TClient client;
    Verifie(client.Ouvre("TABLARIX", "ServeurDDE"), "Ouvre");
    Verifie(!client.DemandeLien("AutreItem", kDelai), "lien refusé");
    Verifie(client.DemandeLien("ServeurItem", kDelai), "lien accepté");
    Verifie(client.Execute("APRES|LIEN()", kDelai), "la conversation sert encore");
    client.Ferme();
    const std::vector<std::string> vu = tablarix.Nouvelles();
    Verifie(Contient(vu, "LIEN AutreItem refuse") && Contient(vu, "LIEN ServeurItem accepte"),
            "journal " + Liste(vu));
}

// As the program sends: open, link, execute, close at once; advise data cross the execute.
void MacrosOctetPourOctet(TTablarix& tablarix) {
    const std::string macros[] = {
        "CLIP|LOAD()",
        "CLIP|ADD()",
        "\x88\tA", // lambda in the Tablarix fonts
        "Cin\xE9tique \xE0 25 \xB0"
        "C, 5 \xB5g/l \xFF", // accented and high bytes
        std::string(2000, 'x'),
    };
    for (const std::string& macro : macros) {
        ddeml::TClient client;
        const std::string nom = "macro " + Hexa(macro.substr(0, 16));
        Verifie(client.Ouvre("TABLARIX", "ServeurDDE"), nom + " Ouvre");
        Verifie(client.DemandeLien("ServeurItem", kDelai), nom + " lien");
        Verifie(client.Execute(macro, kDelai), nom + " Execute");
        client.Ferme();
        const std::vector<std::string> vu = tablarix.Nouvelles();
        Verifie(Contient(vu, "MACRO " + Hexa(macro + '\0')), nom + " reçue " + Liste(vu));
        Verifie(Contient(vu, "AVIS ServeurItem"), nom + " avis pendant l'exécution");
    }
}

void ExecutionRefusee(TTablarix& tablarix) {
    ddeml::TClient client;
    Verifie(client.Ouvre("TABLARIX", "ServeurDDE"), "Ouvre");
    Verifie(client.DemandeLien("ServeurItem", kDelai), "lien");
    Verifie(!client.Execute("REFUS|LOAD()", kDelai), "exécution refusée rapportée");
    Verifie(client.Execute("CLIP|ADD()", kDelai), "la suivante passe");
    client.Ferme();
    const std::vector<std::string> vu = tablarix.Nouvelles();
    Verifie(Contient(vu, "MACRO " + Hexa(std::string("REFUS|LOAD()") + '\0')),
            "reçue puis refusée " + Liste(vu));
    ddeml::TClient ferme;
    Verifie(!ferme.Execute("CLIP|ADD()", kDelai), "sans conversation");
}

// Tablarix still running the macro when the wait ends has it all the same. Last of the client
// cases: the stand-in takes no other call until it has finished.
void ServeurLent(TTablarix& tablarix) {
    ddeml::TClient client;
    Verifie(client.Ouvre("TABLARIX", "ServeurDDE"), "Ouvre");
    Verifie(client.Execute("LENT|LOAD()", kDelai), "exécution en cours acceptée");
    const std::vector<std::string> vu = tablarix.Nouvelles();
    Verifie(Contient(vu, "MACRO " + Hexa(std::string("LENT|LOAD()") + '\0')) &&
                !Contient(vu, "FIN LENT"),
            "rendu avant la fin de l'exécution " + Liste(vu));
    client.Ferme();
}

// ---- Our server, a client in another process ----------------------------------------------------

struct TRecu {
    std::vector<std::string> liens;
    std::vector<std::string> macros;
    bool accepteLiens = true;
    bool accepteMacros = true;
};

std::vector<std::string> ClientTemoin(const std::string& etapes) {
    const std::string resultats =
        Dossier() + "jenway-ddeml-client-" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileA(resultats.c_str());
    const TProcessus client("--client-temoin \"" + resultats + "\" " + etapes);
    const int code = client.Fin();
    std::vector<std::string> lignes = Lignes(resultats);
    DeleteFileA(resultats.c_str());
    if (code != 0)
        lignes.push_back("code " + std::to_string(code));
    return lignes;
}

void ServeurRepond(TRecu& recu) {
    const std::string lambda = "\x88\tA";
    const std::string accents = "Cin\xE9tique \xE0 \xB5g/l";
    const std::vector<std::string> lignes =
        ClientTemoin("C INCONNU ServeurDDE C JENWAY6500 AutreSujet C jenway6500 serveurdde "
                     "L ServeurItem X " +
                     Hexa("FOCUS()") + " X " + Hexa(lambda) + " B " + Hexa(accents));
    const std::vector<std::string> attendu = {"0", "0", "1", "1", "1", "1", "1"};
    Verifie(lignes == attendu, "réponses au client " + Liste(lignes));
    Verifie(recu.liens == std::vector<std::string>{"ServeurItem"}, "liens " + Liste(recu.liens));
    const std::vector<std::string> macros = {"FOCUS()", lambda, accents};
    Verifie(recu.macros == macros, "macros reçues " + Liste(recu.macros));
}

void ServeurRefuse(TRecu& recu) {
    recu.accepteLiens = false;
    recu.accepteMacros = false;
    const std::vector<std::string> lignes =
        ClientTemoin("C JENWAY6500 ServeurDDE L ServeurItem X " + Hexa("CLIP|LOAD()"));
    Verifie(lignes == std::vector<std::string>{"1", "0", "0"},
            "réponses au client " + Liste(lignes));
    Verifie(recu.liens == std::vector<std::string>{"ServeurItem"}, "lien demandé");
    Verifie(recu.macros == std::vector<std::string>{"CLIP|LOAD()"}, "macro présentée");
}

void UnServeurParFil(TRecu&) {
    ddeml::TServeur second({});
    Verifie(!second.Enregistre("AUTRE", "ServeurDDE"), "second serveur du même fil refusé");
}

struct TBilan {
    int reussis = 0;
    int rates = 0;

    void Lance(const char* nom, const std::function<void()>& cas) {
        const int avant = echecs;
        std::printf("%s\n", nom);
        cas();
        ++(echecs == avant ? reussis : rates);
        std::fflush(stdout);
    }
};

void CasDuClient(TBilan& bilan) {
    TTablarix tablarix;
    bilan.Lance("le Tablarix témoin démarre", [&] { Verifie(tablarix.Pret, "prêt"); });
    using Corps = void (*)(TTablarix&);
    const std::pair<const char*, Corps> cas[] = {
        {"noms inconnus refusés", NomsInconnusRefuses},
        {"lien accepté ou refusé", LienAccepteOuRefuse},
        {"macros octet pour octet", MacrosOctetPourOctet},
        {"exécution refusée", ExecutionRefusee},
        {"Tablarix lent", ServeurLent},
    };
    for (const auto& [nom, corps] : cas)
        bilan.Lance(nom, [&] { corps(tablarix); });
    bilan.Lance("le témoin finit proprement", [&] { Verifie(tablarix.Arrete() == 0, "code"); });
}

void CasDuServeur(TBilan& bilan) {
    TRecu recu;
    ddeml::TServeur serveur({[&recu](const std::string& item) {
                                 recu.liens.push_back(item);
                                 return recu.accepteLiens;
                             },
                             [&recu](const std::string& macro) {
                                 recu.macros.push_back(macro);
                                 return recu.accepteMacros;
                             }});
    const bool enregistre = serveur.Enregistre("JENWAY6500", "ServeurDDE");
    using Corps = void (*)(TRecu&);
    const std::pair<const char*, Corps> cas[] = {
        {"notre serveur répond", ServeurRepond},
        {"notre serveur refuse", ServeurRefuse},
        {"un serveur par fil", UnServeurParFil},
    };
    for (const auto& [nom, corps] : cas) {
        recu = TRecu{};
        bilan.Lance(nom, [&] {
            Verifie(enregistre, "Enregistre");
            corps(recu);
        });
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 7 && std::strcmp(argv[1], "--serveur-temoin") == 0)
        return temoin::Serveur(argv + 2);
    if (argc >= 3 && std::strcmp(argv[1], "--client-temoin") == 0)
        return temoin::Client(argc - 2, argv + 2);
    _setmode(_fileno(stdout), _O_BINARY); // plain "\n": the closing line is read by scripts
    TBilan bilan;
    CasDuClient(bilan);
    CasDuServeur(bilan);
    std::printf("%d passed, %d failed\n", bilan.reussis, bilan.rates);
    return bilan.rates == 0 ? 0 : 1;
}
