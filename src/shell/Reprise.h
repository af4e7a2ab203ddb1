#pragma once

#include "modes/journal/Journal.h"

#include <functional>
#include <map>

// Restores an interrupted run in its window, by the mode its journal names.
using TRestaurations = std::map<QByteArray, std::function<void(const TJournalLu&)>>;

// At start, after the main window is shown: each journal left by an interrupted run is offered
// back in one question; the journals that other copies of the program are writing are left
// alone. Yes restores it; No sets it aside (kept, no longer offered). An
// unreadable journal is set aside with a message, one without a single point silently. Once a
// run of a mode is restored, the other journals of that mode wait for the next start. Set-aside
// journals older than `kJoursMisDeCote` days are removed.
void ProposeReprises(const QString& dossier, const TRestaurations& restaurations);

inline constexpr int kJoursMisDeCote = 30;

// The program's mode windows, each restoring the runs of its mode.
TRestaurations RestaurationsDesFenetres();

// "la cinétique du 10/12/2026 à 14:05:12 (57 points)": what a journal holds, for the question,
// and that points beyond a run's capacity are not restored.
QString DescriptionJournal(const TJournalLu& journal);
