#include "base/Chaine.h"
#include "base/Encodage.h"

#include <gtest/gtest.h>

namespace {

TEST(Encodage, Windows1252AllerRetourSurLes256Octets) {
    QByteArray tous;
    for (int o = 0; o < 256; ++o)
        tous.append(static_cast<char>(o));
    EXPECT_EQ(TexteVersAnsi(AnsiVersTexte(tous)), tous);
    EXPECT_EQ(AnsiVersTexte("\x80\xA3\xE9"), QString::fromUtf8("€£é"));
    EXPECT_EQ(TexteVersAnsi(QString::fromUtf8("Problème 中")), QByteArray("Probl\xE8me ?"));
}

TEST(Encodage, LesOctetsGrecsDeTablarixSAffichentEnGrec) {
    EXPECT_EQ(GlypheTablarix(136), QChar(u'λ'));
    EXPECT_EQ(AnsiVersEcran("\x80\x81\x88\xB5"), QString::fromUtf8("αβλµ"));
    EXPECT_EQ(AnsiVersEcran("\x9C\x96"), QString::fromUtf8("ΣΔ"));
    EXPECT_EQ(AnsiVersEcran("\x89\x91"), QString::fromUtf8("‰‘")); // not Greek in Tablarix
    EXPECT_EQ(EcranVersAnsi(QString::fromUtf8("λ (nm)")), QByteArray("\x88 (nm)"));

    QByteArray tous;
    for (int o = 0; o < 256; ++o)
        tous.append(static_cast<char>(o));
    EXPECT_EQ(EcranVersAnsi(AnsiVersEcran(tous)), tous);
}

TEST(Chaine, CoupeALaCapacite) {
    const TChaine20 courte = "abc";
    EXPECT_EQ(courte.Octets(), "abc");
    const TChaine20 longue = "0123456789012345678901234";
    EXPECT_EQ(longue.Longueur(), 20);
    EXPECT_EQ(TChaine20::DepuisTexte(QString::fromUtf8("été")).Octets(), "\xE9t\xE9");
    EXPECT_EQ(TChaine20("\x88").TexteEcran(), QString::fromUtf8("λ"));
}

} // namespace
