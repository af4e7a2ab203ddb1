#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The whole content of a file; nothing when it cannot be read.
QByteArray Lit(const QString& chemin);

// The text of a PDF file, as poppler's pdftotext reads it, one line per line of the page, blank
// lines left out and spaces simplified; a test failure without pdftotext.
QStringList TexteDuPdf(const QString& pdf);

// Lets events run as they come until `condition` holds, or `ms` have passed; whether it holds.
// The condition is checked every `intervalle` ms; meanwhile the wait sleeps in the event loop.
bool Attend(const std::function<bool()>& condition, int ms = 5000, int intervalle = 2);
