#pragma once

#include <QWidget>

class QStatusBar;

// Scaffolding: the main window shows and hides this mode window; the window's own work (its
// controls, acquisition and graph) is built on top of it.
class TTraceSpectre : public QWidget {
    Q_OBJECT
public:
    explicit TTraceSpectre(QWidget* parent = nullptr);

    // The long part of a hint, shown in the third panel of its status bar.
    void AfficheAide(const QString& texte);

    QStatusBar* StatusBar;
};
