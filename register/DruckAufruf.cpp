#include "register/DruckAufruf.h"

#include "platform/forms/MessageBox.h"

#include <QApplication>

namespace velu::reg {

const QString DruckNochNichtVerfuegbar::Meldung = QStringLiteral("Das Drucken ist noch nicht verfügbar.");

std::optional<int> DokumentArt(std::string_view reType) {
    if (reType.size() != 1) return std::nullopt;
    switch (reType[0]) {
    case 'A':
        return 1;
    case 'R':
        return 2;
    case 'B':
        return 3;
    case 'S':
        return 5;
    case 'E':
        return 6;
    case 'V':
        return 7;
    default:
        return std::nullopt;
    }
}

void DruckNochNichtVerfuegbar::Melden() {
    forms::MsgBox(owner_ ? owner_ : QApplication::activeWindow(), Meldung, forms::MsgButtons::OK,
                  forms::MsgIcon::Information);
}

void DruckNochNichtVerfuegbar::Bericht(int, const QString&, int64_t, const QString&, int64_t) {
    Melden();
}

void DruckNochNichtVerfuegbar::Rechnung(int, const QString&, int, int, int64_t) {
    Melden();
}

void DruckNochNichtVerfuegbar::Zusammenstellung(const std::vector<int64_t>&, const QString&, int, int,
                                                int64_t) {
    Melden();
}

} // namespace velu::reg
