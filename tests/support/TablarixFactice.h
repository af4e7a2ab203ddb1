#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// tablarix-factice, next to the test programs.
QString CheminTablarixFactice();

// tablarix-factice started by a test, ended with this object.
class TTablarixFactice {
public:
    TTablarixFactice() = default;
    ~TTablarixFactice();
    TTablarixFactice(const TTablarixFactice&) = delete;
    TTablarixFactice& operator=(const TTablarixFactice&) = delete;

    // Starts it with `options` and waits until it serves "TABLARIX" in the DDE name space folder
    // `espace` (the test's JENWAY_DDE_ESPACE); false when it does not.
    bool Lance(const QString& espace, const QStringList& options = {});

private:
    QProcess processus_;
};

struct TMacroFactice {
    QByteArray Macro;
    QByteArray PressePapiers; // the clipboard's bytes when the macro came
};

// What tablarix-factice wrote in its journal (--journal FICHIER), in order.
struct TJournalFactice {
    QList<qint64> Demarrages; // the process of each copy that started
    QList<QByteArray> Liens;  // "ServeurItem accepte|refuse"
    QList<TMacroFactice> Macros;
    bool ServiceOccupe = false;
};

TJournalFactice LitJournalFactice(const QString& chemin);

// Ends every copy that the journal `chemin` saw start (the program starts them by their path) and
// waits until they are gone; false when one stays.
bool ArreteTablarixDemarres(const QString& chemin);
