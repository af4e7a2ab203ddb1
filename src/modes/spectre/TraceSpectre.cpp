#include "modes/spectre/TraceSpectre.h"

#include <QStatusBar>
#include <QVBoxLayout>

TTraceSpectre::TTraceSpectre(QWidget* parent)
    : QWidget(parent, Qt::Window), StatusBar(new QStatusBar(this)) {
    setObjectName(QStringLiteral("TraceSpectre"));
    setWindowTitle(QStringLiteral("Tracé de spectre avec le spectrophotomètre JENWAY 6400"));
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    auto* page = new QVBoxLayout(this);
    page->addStretch();
    page->addWidget(StatusBar);
}

void TTraceSpectre::AfficheAide(const QString& texte) {
    StatusBar->showMessage(texte);
}
