#include "modes/cinetique/CinetiqueForm.h"

#include <QStatusBar>
#include <QVBoxLayout>

TCinetiqueForm::TCinetiqueForm(QWidget* parent)
    : QWidget(parent, Qt::Window), StatusBar(new QStatusBar(this)) {
    setObjectName(QStringLiteral("CinetiqueForm"));
    setWindowTitle(QStringLiteral("Cinétique suivie par spectrophotomètre Jenway 6400"));
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    auto* page = new QVBoxLayout(this);
    page->addStretch();
    page->addWidget(StatusBar);
}

void TCinetiqueForm::AfficheAide(const QString& texte) {
    StatusBar->showMessage(texte);
}
