#include "shell/AboutBox.h"

#include "base/Boites.h"
#include "base/Controles.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

const QString TAboutBox::AdresseMiseAJour = QStringLiteral("https://www.tablarix.fr/jenway");

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A propos"));

    auto* icone = new QLabel;
    icone->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    auto* textes = new QVBoxLayout;
    for (const char16_t* ligne : {u"Version 1.01 du 28/01/2004", u"Spectrophotomètres",
                                  u"Jenway 6400, 6500", u"pour Tablarix Windows 95"})
        textes->addWidget(new QLabel(QString::fromUtf16(ligne)));
    auto* haut = new QHBoxLayout;
    haut->addWidget(icone, 0, Qt::AlignTop);
    haut->addLayout(textes, 1);

    OKButton = new QPushButton(QStringLiteral("OK"));
    BitBtn1 = new QPushButton(QStringLiteral("Version à jour"));
    Nomme(*OKButton, QStringLiteral("OKButton"));
    Nomme(*BitBtn1, QStringLiteral("BitBtn1"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn1, &QPushButton::clicked, this, &TAboutBox::BitBtn1Click);
    auto* bas = new QHBoxLayout;
    bas->addWidget(BitBtn1);
    bas->addStretch();
    bas->addWidget(OKButton);

    auto* page = new QVBoxLayout(this);
    page->addLayout(haut);
    page->addLayout(bas);
}

void TAboutBox::BitBtn1Click() {
    if (!QDesktopServices::openUrl(QUrl(AdresseMiseAJour)))
        Boites().Affiche({windowTitle(),
                          QStringLiteral("Impossible d'accéder à ") + AdresseMiseAJour,
                          TIconeBoite::Aucune, TBoutonsBoite::Ok});
}
