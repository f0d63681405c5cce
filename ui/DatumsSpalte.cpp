#include "ui/DatumsSpalte.h"

#include "core/MoneyFormat.h"
#include "platform/forms/Eingabemeldungen.h"

namespace velu {

forms::BoundColumn DatumsSpalte(std::string feld, QString caption) {
    forms::BoundColumn c;
    c.field = std::move(feld);
    c.caption = std::move(caption);
    c.maxLength = 10;
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
