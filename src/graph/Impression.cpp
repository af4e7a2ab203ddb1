#include "graph/Impression.h"

TTravailImpression::TTravailImpression(const TDestinationImpression& destination,
                                       std::optional<QPageLayout::Orientation> orientation)
    : destination_(destination), imprimante_(QPrinter::HighResolution) {
    if (destination.FichierPdf.isEmpty()) {
        imprimante_.setPrinterName(destination.Imprimante);
    } else {
        imprimante_.setOutputFormat(QPrinter::PdfFormat);
        imprimante_.setOutputFileName(destination.FichierPdf);
    }
    if (orientation)
        imprimante_.setPageOrientation(*orientation);
    imprimante_.setDocName(QStringLiteral("Jenway 6500"));
    canevas_.ChangeSurface(&imprimante_);
    // A screen pixel's width on paper: a one-dot pen would print the dotted grid as a solid
    // hairline, its dots being as small as the printer's.
    canevas_.FixeLargeurPlume(imprimante_.resolution() / 96.0);
}

bool TTravailImpression::Commence() {
    return canevas_.Commence();
}

QString TTravailImpression::MessageEchec() const {
    if (!destination_.FichierPdf.isEmpty())
        return QStringLiteral("Impossible d'écrire le fichier %1").arg(destination_.FichierPdf);
    return QStringLiteral("Impossible d'imprimer sur l'imprimante %1").arg(destination_.Imprimante);
}

bool TTravailImpression::EstPortrait() const {
    return imprimante_.pageLayout().orientation() == QPageLayout::Portrait;
}
