#include "documents/Projektinfo.h"

#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektUmgebung.h"

namespace velu {

namespace {
// A formula text: each apostrophe doubled, so that the text stays one text and prints as typed.
QString Quote(QString text) {
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

std::optional<outside::ProdatSatz> Lies(outside::ProjektUmgebung& umgebung, const QString& pfad) {
    if (!umgebung.DateiExistiert(pfad)) return std::nullopt;
    return outside::LeseProdat(pfad);
}
} // namespace

Projektkopf AllProjektinfo(outside::ProjektUmgebung& umgebung) {
    Projektkopf kopf;
    const auto satz = Lies(umgebung, umgebung.ProjektOrdner() + QStringLiteral("/Prodat"));
    static constexpr int felder[6] = {0, 1, 2, 4, 5, 6};
    for (int i = 0; i < 6; ++i) {
        QString text = satz ? (*satz)[size_t(felder[i])] : QString();
        kopf[size_t(i + 1)] = Quote(text.trimmed());
    }
    const outside::ProjektInfo p = umgebung.AktProjekt();
    kopf[7] = Quote(p.name);
    kopf[8] = Quote(p.nummer);
    return kopf;
}

void GetVorPlanungsdaten(outside::ProjektUmgebung& umgebung, const QString& pfad,
                         std::array<QString, 13>& werte) {
    const auto satz = Lies(umgebung, pfad);
    if (!satz) return;
    for (int i = 1; i <= 11; ++i)
        werte[size_t(i)] = (*satz)[size_t(i + 159)].trimmed();
    werte[12] = (*satz)[0].trimmed();
}

} // namespace velu
