#pragma once

#include "base/Boites.h"
#include "graph/CanevasPeintre.h"

#include <QPageLayout>
#include <QPrinter>

#include <optional>

// One print job on one page, to a printer or to a PDF file. The page goes out at Termine (or
// when the job is destroyed).
class TTravailImpression {
public:
    // Without an orientation the printer keeps its own.
    TTravailImpression(const TDestinationImpression& destination,
                       std::optional<QPageLayout::Orientation> orientation);
    TTravailImpression(const TTravailImpression&) = delete;
    TTravailImpression& operator=(const TTravailImpression&) = delete;

    // Starts the job; false when the printer or the file refuses it.
    bool Commence();
    QString MessageEchec() const;
    TCanevas& Canevas() { return canevas_; }
    // The printable part of the page, in printer pixels.
    TRectangle Page() const { return canevas_.Decoupage(); }
    bool EstPortrait() const;
    void Termine() { canevas_.Termine(); }

private:
    TDestinationImpression destination_;
    QPrinter imprimante_;
    TCanevasPeintre canevas_; // declared last: ends the job before the printer goes
};
