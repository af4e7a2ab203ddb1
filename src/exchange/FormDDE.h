#pragma once

#include <QWidget>

// Scaffolding: the invisible window "DDE" that will own the conversations with Tablarix. It is
// created at start in its place among the windows and never shown.
class TFormDDE : public QWidget {
    Q_OBJECT
public:
    explicit TFormDDE(QWidget* parent = nullptr);
};
