#pragma once

#include "graph/Canevas.h"

#include <QStringList>

#include <vector>

// Keeps what the graph drew, primitive by primitive, so that a test can read the layout.
// Text widths are 8 pixels a character, whatever the font.
class TCanevasEnregistreur final : public TCanevas {
public:
    struct TLigne {
        int x1, y1, x2, y2;
        TPlume plume;
    };
    struct TTexte {
        int x, y;
        QString texte;
    };

    std::vector<TLigne> Lignes;
    std::vector<TTexte> Textes;
    std::vector<TRectangle> Remplis;
    std::vector<std::pair<TRectangle, TBrosse>> Rectangles;
    TRectangle Zone{0, 0, 640, 480};

    void DeplaceVers(int x, int y) override {
        x_ = x;
        y_ = y;
    }
    void LigneVers(int x, int y) override {
        Lignes.push_back({x_, y_, x, y, Plume});
        x_ = x;
        y_ = y;
    }
    void RemplitRectangle(const TRectangle& r) override { Remplis.push_back(r); }
    void Rectangle(const TRectangle& r) override { Rectangles.emplace_back(r, Brosse); }
    void EcritTexte(int x, int y, const QString& texte) override {
        Textes.push_back({x, y, texte});
    }
    int LargeurTexte(const QString& texte) override { return 8 * static_cast<int>(texte.size()); }
    TRectangle Decoupage() const override { return Zone; }

    void Efface() {
        Lignes.clear();
        Textes.clear();
        Remplis.clear();
        Rectangles.clear();
    }
    QStringList TousLesTextes() const {
        QStringList t;
        for (const TTexte& texte : Textes)
            t << texte.texte;
        return t;
    }
    std::vector<TLigne> LignesDeCouleur(TCouleur couleur) const {
        std::vector<TLigne> choisies;
        for (const TLigne& l : Lignes)
            if (l.plume.Couleur == couleur)
                choisies.push_back(l);
        return choisies;
    }

private:
    int x_ = 0;
    int y_ = 0;
};
