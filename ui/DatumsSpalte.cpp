#include "ui/DatumsSpalte.h"

#include "core/MoneyFormat.h"
#include "platform/forms/Eingabemeldungen.h"

namespace velu {

forms::BoundColumn DatumsSpalte(std::string feld, QString caption) {
    forms::BoundColumn c;
    c.field = std::move(feld);
    c.caption = std::move(caption);
    // No length limit: a date typed in front of the stored one must reach the check and be refused there,
    // not be cut off while the old date stays.
    c.anzeigen = [](const db::Value& v) -> QVariant {
        const auto* s = std::get_if<std::string>(&v);
        if (!s) return QString();
        const auto t = FormatDatum(*s);
        return QString::fromStdString(t ? *t : *s);
    };
    c.lesen = [](const QString& text) -> std::optional<db::Value> {
        if (text.trimmed().isEmpty()) return db::Value();
        const auto iso = ParseDatum(text.trimmed().toStdString());
        if (!iso) return std::nullopt;
        return db::Value(*iso);
    };
    c.ablehnung = [](const QString& text) { return forms::KeinDatumMeldung(text.trimmed()); };
    return c;
}

} // namespace velu
